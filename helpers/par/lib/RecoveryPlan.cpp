#include "RecoveryPlan.h"

#include "GaloisField.h"

#include <algorithm>
#include <utility>

namespace velmora::par1 {
namespace {

// Volume v holds sum over files i of (i + 1)^(v - 1) * D_i.
std::uint8_t volumeCoefficient(std::uint64_t volume, std::size_t file) {
    return GaloisField::power(static_cast<std::uint8_t>(file + 1), volume - 1);
}

std::vector<std::uint8_t> equationFor(std::uint64_t volume, const std::vector<std::size_t>& files) {
    std::vector<std::uint8_t> row;
    for (std::size_t file : files)
        row.push_back(volumeCoefficient(volume, file));
    return row;
}

// Row reduction against the rows kept so far; a row that does not vanish is independent of them.
class IndependentRows {
public:
    bool addIfIndependent(std::vector<std::uint8_t> row) {
        for (const auto& [pivot, kept] : reduced_) {
            const std::uint8_t factor = row[pivot];
            if (factor == 0)
                continue;
            for (std::size_t c = 0; c < row.size(); ++c)
                row[c] ^= GaloisField::multiply(factor, kept[c]);
        }
        const auto nonZero = std::find_if(row.begin(), row.end(), [](auto v) { return v != 0; });
        if (nonZero == row.end())
            return false;
        const auto pivot = static_cast<std::size_t>(nonZero - row.begin());
        const std::uint8_t scale = GaloisField::inverse(row[pivot]);
        for (auto& value : row)
            value = GaloisField::multiply(value, scale);
        reduced_.emplace_back(pivot, std::move(row));
        return true;
    }

private:
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> reduced_;
};

} // namespace

RecoveryPlan::RecoveryPlan(std::vector<std::size_t> intactFiles, std::vector<std::uint64_t> volumes,
                           CoefficientMatrix coefficients)
    : intactFiles_(std::move(intactFiles)), volumes_(std::move(volumes)),
      coefficients_(std::move(coefficients)) {}

std::optional<RecoveryPlan> RecoveryPlan::choose(std::size_t parityFileCount,
                                                 const std::vector<std::size_t>& missing,
                                                 const std::vector<std::uint64_t>& available) {
    const std::size_t k = missing.size();
    std::vector<std::uint64_t> chosen;
    IndependentRows rows;
    for (std::uint64_t volume : available) {
        if (chosen.size() == k)
            break;
        if (rows.addIfIndependent(equationFor(volume, missing)))
            chosen.push_back(volume);
    }
    if (chosen.size() < k)
        return std::nullopt;

    std::vector<std::size_t> intact;
    for (std::size_t file = 0; file < parityFileCount; ++file) {
        if (std::find(missing.begin(), missing.end(), file) == missing.end())
            intact.push_back(file);
    }
    CoefficientMatrix missingPart(k, k);
    CoefficientMatrix intactPart(k, intact.size());
    for (std::size_t r = 0; r < k; ++r) {
        for (std::size_t c = 0; c < k; ++c)
            missingPart.at(r, c) = volumeCoefficient(chosen[r], missing[c]);
        for (std::size_t c = 0; c < intact.size(); ++c)
            intactPart.at(r, c) = volumeCoefficient(chosen[r], intact[c]);
    }
    // missingPart * X = P + intactPart * D (subtraction is addition here), so
    // X = inverse * intactPart * D + inverse * P.
    const CoefficientMatrix inverse = missingPart.inverted();
    if (inverse.rows() != k)
        return std::nullopt;
    const CoefficientMatrix fromIntact = inverse.multipliedBy(intactPart);
    CoefficientMatrix coefficients(k, intact.size() + k);
    for (std::size_t r = 0; r < k; ++r) {
        for (std::size_t c = 0; c < intact.size(); ++c)
            coefficients.at(r, c) = fromIntact.at(r, c);
        for (std::size_t c = 0; c < k; ++c)
            coefficients.at(r, intact.size() + c) = inverse.at(r, c);
    }
    return RecoveryPlan(std::move(intact), std::move(chosen), std::move(coefficients));
}

} // namespace velmora::par1
