#pragma once
// The heap in use and its peak, counted at every malloc and free of the process (Qt's containers, libstdc++
// and our own code alike). Link HeapMeter.cpp into a benchmark to interpose the allocator.
#include <cstddef>

namespace bench {

struct HeapMeter {
    static std::size_t inUse();
    static std::size_t peak();
    // Starts a new peak from what is in use now.
    static void resetPeak();
};

} // namespace bench
