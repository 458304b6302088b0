// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Each fuzz target defines this one entry point: libFuzzer calls it with generated inputs, and
// the replay program (replay.cpp) with every file of the target's corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace kr52::fuzz {

// A broken property is a finding like a crash: say which, and stop so that the input is kept.
[[noreturn]] inline void propertyFailed(const char *what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

inline void require(bool holds, const char *what)
{
    if (!holds)
        propertyFailed(what);
}

} // namespace kr52::fuzz
