// SPDX-License-Identifier: GPL-3.0-or-later
#include "sample.h"

#include <QFile>

#include <cstdio>

int main()
{
    QFile data(QStringLiteral(":/data.txt"));
    if (!data.open(QIODevice::ReadOnly))
        return 1;
    std::printf("%s %s\n", qPrintable(Sample::origin()), data.readAll().constData());
    return 0;
}
