#include "pictures/worker_count.h"

#include <algorithm>
#include <limits>

std::size_t pictureWorkerCount(unsigned hardwareThreads, std::size_t jobs, std::size_t pointerBytes) {
    constexpr std::size_t MostIn32Bits = 4;
    const std::size_t cap = pointerBytes <= 4 ? MostIn32Bits : std::numeric_limits<std::size_t>::max();
    return std::min({std::max<std::size_t>(1, hardwareThreads), jobs, cap});
}
