// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/choice.h"

#include "settings/catalogue.h"

namespace kr52 {

namespace {

QString listed(const QStringList &choices)
{
    QString text;
    for (const QString &choice : choices)
        text += QStringLiteral("\n  ") + choice;
    return text;
}

QStringList settingNames()
{
    QStringList names;
    for (const SettingRow &row : settingsCatalogue())
        names.append(settingName(row));
    return names;
}

QStringList entryNames(const SettingRow &row)
{
    QStringList names;
    for (const QString &entry : row.entries)
        names.append(entryName(entry));
    return names;
}

} // namespace

QString settingName(const SettingRow &row)
{
    return row.qualifier.isEmpty() ? row.caption : row.caption + QLatin1Char(' ') + row.qualifier;
}

QString entryName(const QString &entry)
{
    return entry.trimmed();
}

std::optional<Assignment> splitAssignment(const QString &text, const QString &origin, QString &error)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    const QString name = text.left(equals).trimmed();
    const QString entry = equals < 0 ? QString() : text.mid(equals + 1).trimmed();
    if (equals < 0 || name.isEmpty() || entry.isEmpty()) {
        error = QStringLiteral("\"%1\" (%2) is not of the form NAME=ENTRY, such as \"Print Speed=Half Speed\".")
                    .arg(text, origin);
        return std::nullopt;
    }
    return Assignment{name, entry, origin};
}

int matchChoice(const QStringList &candidates, const QString &wanted, QStringList &ambiguous)
{
    ambiguous.clear();
    for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        QList<int> found;
        for (int i = 0; i < candidates.size(); ++i)
            if (candidates[i].compare(wanted, sensitivity) == 0)
                found.append(i);
        if (found.size() == 1)
            return found.first();
        if (found.size() > 1) {
            for (int i : found)
                ambiguous.append(candidates[i]);
            return -1;
        }
    }
    return -1;
}

ChosenSettings chooseSettings(const QList<Assignment> &assignments)
{
    const std::vector<SettingRow> &catalogue = settingsCatalogue();
    ChosenSettings chosen{std::vector<int>(catalogue.size(), 0), {}};
    std::vector<const Assignment *> namedBy(catalogue.size(), nullptr);
    const QStringList names = settingNames();
    for (const Assignment &assignment : assignments) {
        QStringList ambiguous;
        const int row = matchChoice(names, assignment.name, ambiguous);
        if (row < 0) {
            chosen.error = ambiguous.isEmpty() ? QStringLiteral("There is no setting \"%1\" (%2). The settings are:%3")
                                                     .arg(assignment.name, assignment.origin, listed(names))
                                               : QStringLiteral("\"%1\" (%2) names more than one setting:%3")
                                                     .arg(assignment.name, assignment.origin, listed(ambiguous));
            return chosen;
        }
        const SettingRow &setting = catalogue[std::size_t(row)];
        if (const Assignment *earlier = namedBy[std::size_t(row)]) {
            chosen.error = QStringLiteral("\"%1\" is set twice (%2 and %3); set each setting once.")
                               .arg(settingName(setting), earlier->origin, assignment.origin);
            return chosen;
        }
        namedBy[std::size_t(row)] = &assignment;
        const QStringList entries = entryNames(setting);
        const int entry = matchChoice(entries, assignment.entry, ambiguous);
        if (entry < 0) {
            chosen.error = ambiguous.isEmpty()
                               ? QStringLiteral("\"%1\" has no entry \"%2\" (%3). Its entries are:%4")
                                     .arg(settingName(setting), assignment.entry, assignment.origin, listed(entries))
                               : QStringLiteral("\"%1\" (%2) names more than one entry of \"%3\":%4")
                                     .arg(assignment.entry, assignment.origin, settingName(setting), listed(ambiguous));
            return chosen;
        }
        chosen.indexes[std::size_t(row)] = entry;
    }
    return chosen;
}

} // namespace kr52
