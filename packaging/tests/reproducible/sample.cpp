// SPDX-License-Identifier: GPL-3.0-or-later
#include "sample.h"

QString Sample::origin()
{
    return QString::fromLatin1(__FILE__);
}
