// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "virtual/switchbank.h"

#include <QString>

#include <optional>

namespace kr52::virt {

// The switches kept between runs, as the printer keeps them in non-volatile memory: a small text
// file of sixteen lines "0=0000" .. "F=0000" after a comment line.
struct StateLoad {
    std::optional<SwitchBank> switches; // empty when the file could not be read
    QString error;                      // names the file and, for a bad line, its number
};

// A missing file is a printer that never stored anything: all switches 0000.
[[nodiscard]] StateLoad loadState(const QString &path);

// Writes the whole file at once, making its folder when needed; returns an error naming the file
// and the system's reason, or an empty text.
[[nodiscard]] QString saveState(const QString &path, const SwitchBank &switches);

} // namespace kr52::virt
