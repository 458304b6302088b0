// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace kr52 {

// Asks a printer device (the parallel or the USB printer driver) for its status word; nothing
// when the device does not answer, as a file, a FIFO or a pulled device does.
[[nodiscard]] std::optional<int> readPrinterStatus(int fd);

// Whether the status word names a condition that stops printing (out of paper, off line, an
// error), as opposed to a printer that is merely busy or looks ready.
[[nodiscard]] bool statusStopsPrinting(int status);

// The status in words, the first that holds of: "the printer is out of paper", "the printer is
// off line", "the printer reports an error", "the printer is busy"; "the printer did not take
// the data" when the word names none of these or there is no word at all.
[[nodiscard]] QString describePrinterStatus(std::optional<int> status);

} // namespace kr52
