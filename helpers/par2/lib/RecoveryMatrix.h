#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::par2 {

// The coefficients that rebuild missing input slices. Each recovery slice is the sum of every
// input slice times its constant raised to the recovery slice's exponent; with as many recovery
// slices as missing inputs this is a square system in the missing ones. Its inverse, applied to
// the recovery slices minus the present inputs' share, gives each missing slice as one linear
// combination of the present inputs followed by the recovery slices.
class RecoveryMatrix {
public:
    // missing and present hold input slice numbers; exponents the recovery slices used, one per
    // missing slice. Empty when the system is singular.
    static std::optional<RecoveryMatrix> solve(const std::vector<std::uint32_t>& missing,
                                               const std::vector<std::uint32_t>& present,
                                               const std::vector<std::uint32_t>& exponents);

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }
    std::uint16_t at(std::size_t row, std::size_t column) const {
        return cells_[row * columns_ + column];
    }

private:
    RecoveryMatrix(std::size_t rows, std::size_t columns)
        : rows_(rows), columns_(columns), cells_(rows * columns) {}

    std::size_t rows_;
    std::size_t columns_;
    std::vector<std::uint16_t> cells_;
};

} // namespace velmora::par2
