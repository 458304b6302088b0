// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/catalogue.h"
#include "virtual/switchbank.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kr52::virt {

// One setting read back from the switches.
struct DecodedSetting {
    QString label;       // the caption, with its second line where it has one
    QStringList entries; // the list entries the bits fit; usually one, none when nothing fits
    QString value;       // what the page prints after the label
};

// Reads one row's setting from the switches through the catalogue: an entry fits when sending its
// commands would leave the row's bits as they stand. For the cut offset the sign (bit 12) and
// three decimal digits (bits 0-11) are read and the value is checked the same way. Where no entry
// fits, or more than one, the value shows the row's bits.
[[nodiscard]] DecodedSetting decodeSetting(const SettingRow &row, const SwitchBank &switches);

// What the printer prints on a self test: the sixteen switches and the twenty-two settings.
struct SelfTestPage {
    SwitchBank switches;
    std::vector<DecodedSetting> settings; // in catalogue order

    [[nodiscard]] static SelfTestPage of(const SwitchBank &switches);
    [[nodiscard]] QString title() const;
    // Four lines of four switches: "0: 0000  1: 000B  2: 0001  3: 0100".
    [[nodiscard]] QStringList switchLines() const;
    // The whole page as plain text, one line each, ending with a line feed.
    [[nodiscard]] QString text() const;
};

} // namespace kr52::virt
