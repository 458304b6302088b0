// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace kr52 {

enum class Parity { None, Even, Odd, Mark, Space };

// A parity as each part of the program knows it: its letter in the serial settings text, its
// name in messages, and the terminal driver's control flags that select it.
struct ParityEntry {
    Parity parity;
    char letter;
    const char *name;
    unsigned int lineFlags;
};

// Every parity the serial control takes, no parity first.
[[nodiscard]] std::span<const ParityEntry> parities();

// The entry of a parity; every parity has one.
[[nodiscard]] const ParityEntry &parityEntry(Parity parity);

} // namespace kr52
