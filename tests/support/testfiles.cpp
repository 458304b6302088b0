// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace testsupport {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush())
        return true;
    QTest::qFail(qPrintable(QStringLiteral("could not write %1: %2").arg(path, file.errorString())), __FILE__,
                 __LINE__);
    return false;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return file.readAll();
    QTest::qFail(qPrintable(QStringLiteral("could not read %1: %2").arg(path, file.errorString())), __FILE__, __LINE__);
    return {};
}

} // namespace testsupport
