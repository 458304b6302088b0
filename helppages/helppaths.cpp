// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/helppaths.h"

#include "settings/numbers.h"

namespace kr52 {

QString helpTopicPath(const QString &programDir, qint16 item)
{
    // The number text carries a leading blank for zero and up: trimmed, 7 gives "help7.rtf".
    return programDir + QStringLiteral("/help/help") + (numberText(int(item)) + QStringLiteral(".rtf")).trimmed();
}

QString faqPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help/faq.rtf");
}

QString manualPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help/manual.rtf");
}

} // namespace kr52
