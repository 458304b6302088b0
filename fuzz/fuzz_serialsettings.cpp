// SPDX-License-Identifier: GPL-3.0-or-later
// The serial settings parser takes any text; what it accepts, written back plainly, reads back
// the same, and what it refuses comes with a reason.
#include "harness.h"
#include "printer/serialsettings.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const kr52::SerialSettingsResult result = kr52::parseSerialSettings(text);
    require(result.settings.has_value() == result.error.isEmpty(), "a refusal, and only a refusal, has a reason");
    if (!result.settings)
        return 0;
    const kr52::SerialSettings &settings = *result.settings;
    require(settings.baudRate > 0, "an accepted baud rate is positive");
    require(settings.dataBits >= 5 && settings.dataBits <= 8, "accepted data bits are 5 to 8");
    const QString plain = QStringLiteral("%1,%2,%3,%4")
                              .arg(settings.baudRate)
                              .arg(QLatin1Char(kr52::parityEntry(settings.parity).letter))
                              .arg(settings.dataBits)
                              .arg(kr52::stopBitsText(settings.stopBits));
    const kr52::SerialSettingsResult again = kr52::parseSerialSettings(plain);
    require(again.settings.has_value(), "accepted settings written back are accepted");
    const kr52::SerialSettings &back = again.settings.value();
    require(back.baudRate == settings.baudRate && back.parity == settings.parity &&
                back.dataBits == settings.dataBits && back.stopBits == settings.stopBits,
            "accepted settings written back read the same");
    return 0;
}
