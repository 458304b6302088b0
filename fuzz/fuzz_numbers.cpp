// SPDX-License-Identifier: GPL-3.0-or-later
// The leading-number reader takes any text; number text reads back as the very same number.
#include "harness.h"
#include "settings/numbers.h"

#include <QString>

#include <cmath>
#include <cstring>

namespace {

using kr52::fuzz::require;

void roundTrips(double value)
{
    if (std::isfinite(value))
        require(kr52::leadingNumber(kr52::numberText(value)) == value, "a double's text reads back as itself");
    const float narrow = float(value);
    if (std::isfinite(narrow))
        require(float(kr52::leadingNumber(kr52::numberText(narrow))) == narrow, "a float's text reads back as itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first eight bytes, when there are so many, are also taken as a number's own bits.
    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        roundTrips(bits);
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double read = kr52::leadingNumber(text);
    require(!std::isnan(read), "a text never reads as NaN");
    roundTrips(read);
    return 0;
}
