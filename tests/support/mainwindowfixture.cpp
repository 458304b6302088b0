// SPDX-License-Identifier: GPL-3.0-or-later
// The shorthands of linkfixture.h that drive the main window; only window tests link them.
#include "support/linkfixture.h"

#include "printer/mscomm.h"
#include "shell/frmMain.h"

#include <QtGlobal>

namespace linktest {

void useSerial(frmMain &main, int commPort, const QString &devicePath)
{
    qputenv(QStringLiteral("KR52_COM%1").arg(commPort).toLatin1().constData(), devicePath.toLocal8Bit());
    main.serialControl()->setCommPort(commPort);
    main.setProperty("cmode", QVariant::fromValue<qint16>(1));
}

void useParallel(frmMain &main, int lptNumber, const QString &path)
{
    qputenv(QStringLiteral("KR52_LPT%1").arg(lptNumber).toLatin1().constData(), path.toLocal8Bit());
    main.setProperty("lptport", QStringLiteral("LPT%1:").arg(lptNumber));
    main.setProperty("cmode", QVariant::fromValue<qint16>(2));
}

} // namespace linktest
