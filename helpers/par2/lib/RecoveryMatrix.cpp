#include "RecoveryMatrix.h"

#include "Gf16.h"

#include <utility>

namespace velmora::par2 {
namespace {

using Square = std::vector<std::vector<std::uint16_t>>;

// Gauss-Jordan elimination; false when the matrix is singular.
bool invert(Square& matrix, Square& inverse) {
    const std::size_t n = matrix.size();
    inverse.assign(n, std::vector<std::uint16_t>(n, 0));
    for (std::size_t i = 0; i < n; ++i)
        inverse[i][i] = 1;
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        while (pivot < n && matrix[pivot][column] == 0)
            ++pivot;
        if (pivot == n)
            return false;
        std::swap(matrix[pivot], matrix[column]);
        std::swap(inverse[pivot], inverse[column]);
        const std::uint16_t scale = Gf16::inverse(matrix[column][column]);
        for (std::size_t k = 0; k < n; ++k) {
            matrix[column][k] = Gf16::multiply(matrix[column][k], scale);
            inverse[column][k] = Gf16::multiply(inverse[column][k], scale);
        }
        for (std::size_t row = 0; row < n; ++row) {
            const std::uint16_t factor = matrix[row][column];
            if (row == column || factor == 0)
                continue;
            for (std::size_t k = 0; k < n; ++k) {
                matrix[row][k] ^= Gf16::multiply(factor, matrix[column][k]);
                inverse[row][k] ^= Gf16::multiply(factor, inverse[column][k]);
            }
        }
    }
    return true;
}

} // namespace

std::optional<RecoveryMatrix> RecoveryMatrix::solve(const std::vector<std::uint32_t>& missing,
                                                    const std::vector<std::uint32_t>& present,
                                                    const std::vector<std::uint32_t>& exponents) {
    const std::size_t m = missing.size();
    Square system(m, std::vector<std::uint16_t>(m));
    for (std::size_t r = 0; r < m; ++r) {
        for (std::size_t j = 0; j < m; ++j)
            system[r][j] = Gf16::power(Gf16::inputConstant(missing[j]), exponents[r]);
    }
    Square inverse;
    if (!invert(system, inverse))
        return std::nullopt;
    RecoveryMatrix result(m, present.size() + m);
    std::vector<std::uint16_t> powers(m);
    for (std::size_t i = 0; i < present.size(); ++i) {
        const std::uint16_t constant = Gf16::inputConstant(present[i]);
        for (std::size_t r = 0; r < m; ++r)
            powers[r] = Gf16::power(constant, exponents[r]);
        for (std::size_t j = 0; j < m; ++j) {
            std::uint16_t sum = 0;
            for (std::size_t r = 0; r < m; ++r)
                sum ^= Gf16::multiply(inverse[j][r], powers[r]);
            result.cells_[j * result.columns_ + i] = sum;
        }
    }
    for (std::size_t j = 0; j < m; ++j) {
        for (std::size_t r = 0; r < m; ++r)
            result.cells_[j * result.columns_ + present.size() + r] = inverse[j][r];
    }
    return result;
}

} // namespace velmora::par2
