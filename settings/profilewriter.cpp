// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profilewriter.h"

#include "settings/catalogue.h"
#include "settings/choice.h"

#include <cstdlib>

namespace kr52 {

namespace {

const QString cutOffsetKey = QStringLiteral("cut-offset");

// Why text cannot stand as what (a name, an entry, a value) in a profile line, or nothing.
QString unwritable(const QString &text, const QString &what)
{
    if (text.isEmpty())
        return QStringLiteral("an empty %1 cannot be written to a profile.").arg(what);
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QStringLiteral("the %1 \"%2\" holds a line break, which a profile cannot hold.")
            .arg(what, QString(text)
                           .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
                           .replace(QLatin1Char('\r'), QStringLiteral("\\r")));
    if (text != text.trimmed())
        return QStringLiteral("the %1 \"%2\" has blanks at its ends, which a profile drops.").arg(what, text);
    // A lone surrogate would be written as "?" and read back as that.
    if (!text.isValidUtf16())
        return QStringLiteral("the %1 \"%2\" is not valid Unicode text.").arg(what, text);
    return {};
}

// Why name cannot stand before "=" in a profile line, or nothing.
QString unwritableName(const QString &name)
{
    if (const QString why = unwritable(name, QStringLiteral("name")); !why.isEmpty())
        return why;
    if (name.contains(QLatin1Char('=')))
        return QStringLiteral("the name \"%1\" holds \"=\", which ends a name in a profile.").arg(name);
    if (name.startsWith(QLatin1Char(';')) || name.startsWith(QLatin1Char('#')) || name.startsWith(QLatin1Char('[')))
        return QStringLiteral("the name \"%1\" would start a comment or a section in a profile.").arg(name);
    return {};
}

QByteArray line(const QString &name, const QString &value)
{
    return (name + QLatin1Char('=') + value + QLatin1Char('\n')).toUtf8();
}

ProfileText refuse(const QString &why)
{
    return {std::nullopt, QStringLiteral("The profile cannot be written: %1").arg(why)};
}

QString tenthsText(int tenths)
{
    const int magnitude = std::abs(tenths);
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

} // namespace

ProfileText formatProfile(const Profile &profile, const QString &comment)
{
    QByteArray text;
    if (!comment.isEmpty()) {
        for (const QString &commentLine : comment.split(QLatin1Char('\n')))
            text +=
                (QStringLiteral("; ") + QString(commentLine).remove(QLatin1Char('\r')) + QLatin1Char('\n')).toUtf8();
    }
    text += "[settings]\n";
    for (const Assignment &setting : profile.settings) {
        if (const QString why = unwritableName(setting.name); !why.isEmpty())
            return refuse(why);
        if (setting.name.compare(cutOffsetKey, Qt::CaseInsensitive) == 0)
            return refuse(QStringLiteral("a setting named \"%1\" would be read as the cut offset.").arg(setting.name));
        if (const QString why = unwritable(setting.entry, QStringLiteral("entry")); !why.isEmpty())
            return refuse(why);
        text += line(setting.name, setting.entry);
    }
    if (profile.cutOffset) {
        if (const QString why = unwritable(*profile.cutOffset, QStringLiteral("cut offset")); !why.isEmpty())
            return refuse(why);
        text += line(cutOffsetKey, *profile.cutOffset);
    }
    for (auto key = profile.port.keyBegin(); key != profile.port.keyEnd(); ++key) {
        if (!profilePortKeys().contains(*key))
            return refuse(QStringLiteral("\"%1\" is no key of [port]; the keys are %2.")
                              .arg(*key, profilePortKeys().join(QStringLiteral(", "))));
    }
    if (!profile.port.isEmpty())
        text += "\n[port]\n";
    for (const QString &key : profilePortKeys()) {
        if (!profile.port.contains(key))
            continue;
        const QString value = profile.port.value(key);
        if (const QString why = unwritable(value, QStringLiteral("value of %1").arg(key)); !why.isEmpty())
            return refuse(why);
        text += line(key, value);
    }
    return {text, {}};
}

Profile profileOfChoices(const std::vector<int> &indexes, QStringView cutOffsetText)
{
    Profile profile;
    const std::vector<SettingRow> &catalogue = settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size() && row < indexes.size(); ++row) {
        const int index = indexes[row];
        if (index <= 0 || index >= catalogue[row].entries.size())
            continue;
        profile.settings.append({settingName(catalogue[row]), entryName(catalogue[row].entries[index]), {}});
        if (catalogue[row].kind == RowKind::CutOffset && index == 1)
            profile.cutOffset = tenthsText(cutOffsetTenths(cutOffsetText));
    }
    return profile;
}

} // namespace kr52
