// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profilechoices.h"

#include "settings/catalogue.h"
#include "settings/choice.h"
#include "settings/numbers.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

namespace kr52 {

namespace {

constexpr int cutOffsetLimitTenths = 299;

ProfileChoices refuse(const QString &why)
{
    return {{}, std::nullopt, why};
}

// "Start Position Adjustment=Adjust as below", as a profile line reads.
QString adjustLine(std::size_t row)
{
    const SettingRow &setting = settingsCatalogue()[row];
    return settingName(setting) + QLatin1Char('=') + entryName(setting.entries.value(1));
}

// Where the profile puts the cut offset's row at "Adjust as below".
QString originOfAdjust(const QList<Assignment> &settings, std::size_t row)
{
    for (const Assignment &assignment : settings) {
        const ChosenSettings alone = chooseSettings({assignment});
        if (alone.error.isEmpty() && alone.indexes[row] == 1)
            return assignment.origin;
    }
    return {};
}

} // namespace

std::optional<int> strictCutOffsetTenths(QStringView text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    // Far past the limit, the tenths would be clamped before they are compared.
    if (!(std::abs(leadingNumber(text)) < 1000.0))
        return std::nullopt;
    const int tenths = cutOffsetTenths(text);
    if (std::abs(tenths) > cutOffsetLimitTenths)
        return std::nullopt;
    return tenths;
}

ProfileChoices choicesOfProfile(const Profile &profile)
{
    const ChosenSettings chosen = chooseSettings(profile.settings);
    if (!chosen.error.isEmpty())
        return refuse(chosen.error);
    ProfileChoices choices{chosen.indexes, std::nullopt, {}};

    const std::size_t row = cutOffsetRow();
    const bool adjusts = row < chosen.indexes.size() && chosen.indexes[row] == 1;
    if (profile.cutOffset) {
        choices.cutOffsetTenths = strictCutOffsetTenths(*profile.cutOffset);
        if (!choices.cutOffsetTenths)
            return refuse(QStringLiteral("%1: the cut offset \"%2\" is not a number of millimetres from -29.9 to "
                                         "29.9, such as -1.5.")
                              .arg(profile.cutOffsetOrigin, *profile.cutOffset));
        if (!adjusts)
            return refuse(QStringLiteral("%1: a cut offset is sent only with \"%2\"; add it, or leave the cut "
                                         "offset out.")
                              .arg(profile.cutOffsetOrigin, adjustLine(row)));
    } else if (adjusts) {
        return refuse(QStringLiteral("%1: \"%2\" needs the cut offset in mm: add cut-offset=MM under [settings].")
                          .arg(originOfAdjust(profile.settings, row), adjustLine(row)));
    }
    return choices;
}

} // namespace kr52
