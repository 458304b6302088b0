// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/values.h"

#include "ctl/messages.h"
#include "settings/catalogue.h"
#include "settings/numbers.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

namespace kr52::ctl {

namespace {

constexpr int cutOffsetLimitTenths = 299;

} // namespace

std::optional<int> cutOffsetTenthsGiven(QStringView text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    // Far past the limit the tenths would be clamped before they are compared.
    if (!(std::abs(leadingNumber(text)) < 1000.0))
        return std::nullopt;
    const int tenths = cutOffsetTenths(text);
    if (std::abs(tenths) > cutOffsetLimitTenths)
        return std::nullopt;
    return tenths;
}

QString cutOffsetRefusal(const QString &origin, const QString &text)
{
    return QStringLiteral("%1: the cut offset \"%2\" is not a number of millimetres from -29.9 to 29.9 (such as "
                          "-1.5 or 12)")
        .arg(origin, visible(text));
}

QString cutOffsetText(int tenths)
{
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(std::abs(tenths) / 10)
        .arg(std::abs(tenths) % 10);
}

} // namespace kr52::ctl
