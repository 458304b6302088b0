// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kr52 {

// A command's bytes as upper-case hex pairs: "1B 23 32 2B 30 30 30 31 0A 00".
[[nodiscard]] QString hexBytes(QByteArrayView bytes);

// A memory-switch command in words: "sets bit 0 of switch 2", "sets bits 0, 1, 3 of switch 1",
// "clears bits 0-11 of switch E", "sets no bits of switch 1". A mask that is not four hex digits
// is quoted as it is.
[[nodiscard]] QString describeSwitchBits(char switchId, bool set, QByteArrayView mask);

} // namespace kr52
