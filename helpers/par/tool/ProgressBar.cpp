#include "ProgressBar.h"

#include <algorithm>
#include <string>

namespace velmora::par1 {

ProgressBar::ProgressBar(const Reporter& reporter) : reporter_(reporter) {
    reporter_.write("0%");
}

void ProgressBar::update(double fraction) {
    const int tenths = std::clamp(static_cast<int>(fraction * 10.0 + 1e-9), 0, 10);
    std::string pieces;
    for (; tenthsShown_ < tenths; ++tenthsShown_) {
        const std::string figure = std::to_string((tenthsShown_ + 1) * 10) + "%";
        pieces += std::string(7 - figure.size(), '-') + figure;
    }
    reporter_.write(pieces);
}

void ProgressBar::finish() {
    if (finished_)
        return;
    update(1.0);
    reporter_.write("\n");
    finished_ = true;
}

} // namespace velmora::par1
