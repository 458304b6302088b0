// SPDX-License-Identifier: GPL-3.0-or-later
// The flags come from the kernel's own terminal header, as the serial line sets them through it.
#include "printer/parity.h"

#include <asm/termbits.h>

#include <array>
#include <type_traits>

namespace kr52 {

namespace {

static_assert(std::is_same_v<tcflag_t, unsigned int>, "a parity's line flags are a terminal's control flags");

constexpr std::array<ParityEntry, 5> parityTable{{
    {Parity::None, 'n', "no parity", 0},
    {Parity::Even, 'e', "even parity", PARENB},
    {Parity::Odd, 'o', "odd parity", PARENB | PARODD},
    {Parity::Mark, 'm', "mark parity", PARENB | PARODD | CMSPAR},
    {Parity::Space, 's', "space parity", PARENB | CMSPAR},
}};

} // namespace

std::span<const ParityEntry> parities()
{
    return parityTable;
}

const ParityEntry &parityEntry(Parity parity)
{
    for (const ParityEntry &entry : parityTable) {
        if (entry.parity == parity)
            return entry;
    }
    return parityTable.front();
}

} // namespace kr52
