#pragma once

#include <string_view>
#include <vector>

namespace velmora::par1 {

// The instruction sets the Galois-field kernels of both helpers are written for, slowest first.
// Gfni is AVX2 with the Galois-field affine instructions.
enum class SimdKernel { Scalar, Ssse3, Avx2, Gfni };

// What this processor offers, slowest first; the scalar kernel is always there.
std::vector<SimdKernel> availableSimdKernels();
// The fastest kernel this processor runs, found once.
SimdKernel bestSimdKernel();
std::string_view simdKernelName(SimdKernel kernel);

} // namespace velmora::par1
