// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// Where the pages live, under the program's folder. Needs no page reading, so that kr52ctl can
// name a setting's page without the RTF reader.
[[nodiscard]] QString helpTopicPath(const QString &programDir, qint16 item);
[[nodiscard]] QString faqPagePath(const QString &programDir);
[[nodiscard]] QString manualPagePath(const QString &programDir);

} // namespace kr52
