#pragma once

#include "Reporter.h"

namespace velmora::par1 {

// "0%", then "----10%" ... "----90%", "---100%" on one line as the work advances, each piece
// written as soon as its ten percent are reached, and a line feed at the end.
class ProgressBar {
public:
    explicit ProgressBar(const Reporter& reporter);

    void update(double fraction);
    void finish();

private:
    const Reporter& reporter_;
    int tenthsShown_ = 0;
    bool finished_ = false;
};

} // namespace velmora::par1
