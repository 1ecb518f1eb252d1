#include "CoefficientMatrix.h"

#include "GaloisField.h"

#include <utility>

namespace velmora::par1 {

CoefficientMatrix::CoefficientMatrix(std::size_t rows, std::size_t columns)
    : rows_(rows), columns_(columns), cells_(rows * columns, 0) {}

CoefficientMatrix CoefficientMatrix::multipliedBy(const CoefficientMatrix& right) const {
    CoefficientMatrix product(rows_, right.columns_);
    for (std::size_t r = 0; r < rows_; ++r) {
        for (std::size_t c = 0; c < right.columns_; ++c) {
            std::uint8_t sum = 0;
            for (std::size_t i = 0; i < columns_; ++i)
                sum ^= GaloisField::multiply(at(r, i), right.at(i, c));
            product.at(r, c) = sum;
        }
    }
    return product;
}

CoefficientMatrix CoefficientMatrix::inverted() const {
    const std::size_t n = rows_;
    CoefficientMatrix work = *this;
    CoefficientMatrix inverse(n, n);
    for (std::size_t i = 0; i < n; ++i)
        inverse.at(i, i) = 1;
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        while (pivot < n && work.at(pivot, column) == 0)
            ++pivot;
        if (pivot == n)
            return CoefficientMatrix(0, 0);
        for (std::size_t c = 0; c < n; ++c) {
            std::swap(work.at(pivot, c), work.at(column, c));
            std::swap(inverse.at(pivot, c), inverse.at(column, c));
        }
        const std::uint8_t scale = GaloisField::inverse(work.at(column, column));
        for (std::size_t c = 0; c < n; ++c) {
            work.at(column, c) = GaloisField::multiply(work.at(column, c), scale);
            inverse.at(column, c) = GaloisField::multiply(inverse.at(column, c), scale);
        }
        for (std::size_t r = 0; r < n; ++r) {
            const std::uint8_t factor = work.at(r, column);
            if (r == column || factor == 0)
                continue;
            for (std::size_t c = 0; c < n; ++c) {
                work.at(r, c) ^= GaloisField::multiply(factor, work.at(column, c));
                inverse.at(r, c) ^= GaloisField::multiply(factor, inverse.at(column, c));
            }
        }
    }
    return inverse;
}

} // namespace velmora::par1
