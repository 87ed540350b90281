#pragma once

// The memory of this process and all its descendants (the web engine's
// QtWebEngineProcess children included), from /proc/<pid>/smaps_rollup.

#include <cstdint>

struct TreeMemory {
    int processes = 0;
    std::int64_t rssKiB = 0;
    std::int64_t pssKiB = 0;
};

TreeMemory measureProcessTree();
