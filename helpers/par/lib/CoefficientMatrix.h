#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::par1 {

// A dense matrix over GF(2^8), stored row by row.
class CoefficientMatrix {
public:
    CoefficientMatrix(std::size_t rows, std::size_t columns);

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }
    std::uint8_t at(std::size_t row, std::size_t column) const {
        return cells_[row * columns_ + column];
    }
    std::uint8_t& at(std::size_t row, std::size_t column) {
        return cells_[row * columns_ + column];
    }

    CoefficientMatrix multipliedBy(const CoefficientMatrix& right) const;
    // The inverse of a square matrix, or an empty (0 x 0) matrix when it is singular.
    CoefficientMatrix inverted() const;

private:
    std::size_t rows_;
    std::size_t columns_;
    std::vector<std::uint8_t> cells_;
};

} // namespace velmora::par1
