// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes bytes as the whole content of the file at path, creating it (and its folder) or
// truncating it. A failure
// fails the running test with the path and the system's reason; returns whether it was written.
bool writeFile(const QString &path, const QByteArray &bytes);

// The whole content of the file at path; a file that cannot be read fails the test.
[[nodiscard]] QByteArray readFile(const QString &path);

} // namespace testsupport
