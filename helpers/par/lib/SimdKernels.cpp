#include "SimdKernels.h"

namespace velmora::par1 {

namespace {

bool processorHas(SimdKernel kernel) {
#if VELMORA_PAR_X86_KERNELS
    switch (kernel) {
    case SimdKernel::Gfni:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni");
    case SimdKernel::Avx2:
        return __builtin_cpu_supports("avx2");
    case SimdKernel::Ssse3:
        return __builtin_cpu_supports("ssse3");
    case SimdKernel::Scalar:
        return true;
    }
    return false;
#else
    return kernel == SimdKernel::Scalar;
#endif
}

} // namespace

std::vector<SimdKernel> availableSimdKernels() {
    std::vector<SimdKernel> kernels;
    for (SimdKernel kernel :
         {SimdKernel::Scalar, SimdKernel::Ssse3, SimdKernel::Avx2, SimdKernel::Gfni}) {
        if (processorHas(kernel))
            kernels.push_back(kernel);
    }
    return kernels;
}

SimdKernel bestSimdKernel() {
    static const SimdKernel best = availableSimdKernels().back();
    return best;
}

std::string_view simdKernelName(SimdKernel kernel) {
    switch (kernel) {
    case SimdKernel::Gfni:
        return "gfni";
    case SimdKernel::Avx2:
        return "avx2";
    case SimdKernel::Ssse3:
        return "ssse3";
    case SimdKernel::Scalar:
        return "scalar";
    }
    return "unknown";
}

} // namespace velmora::par1
