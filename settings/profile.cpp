// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile.h"

#include "files/boundedfile.h"

#include <QFile>
#include <QStringDecoder>

namespace kr52 {

namespace {

const QString settingsSection = QStringLiteral("settings");
const QString portSection = QStringLiteral("port");
const QString cutOffsetKey = QStringLiteral("cut-offset");

ProfileResult refuse(const QString &why)
{
    return {std::nullopt, why};
}

} // namespace

const QStringList &profilePortKeys()
{
    static const QStringList keys{QStringLiteral("port"), QStringLiteral("device"), QStringLiteral("baud"),
                                  QStringLiteral("data"), QStringLiteral("stop")};
    return keys;
}

ProfileResult parseProfile(const QByteArray &text, const QString &name)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(text);
    if (utf8.hasError())
        return refuse(QStringLiteral("The profile %1 is not UTF-8 text.").arg(name));

    Profile profile;
    QString section;
    const QStringList lines = decoded.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("%1 line %2").arg(name).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            if (section != settingsSection && section != portSection)
                return refuse(QStringLiteral("%1: unknown section \"%2\"; the sections are [settings] and [port].")
                                  .arg(where, line));
            continue;
        }
        QString error;
        const std::optional<Assignment> assignment = splitAssignment(line, where, error);
        if (!assignment)
            return refuse(error);
        if (section.isEmpty())
            return refuse(QStringLiteral("%1: \"%2\" stands before any section; put it under [settings] or [port].")
                              .arg(where, line));
        const QString key = assignment->name.toLower();
        if (section == settingsSection && key == cutOffsetKey) {
            if (profile.cutOffset)
                return refuse(QStringLiteral("%1: the cut offset is given twice.").arg(where));
            profile.cutOffset = assignment->entry;
            profile.cutOffsetOrigin = where;
        } else if (section == settingsSection) {
            profile.settings.append(*assignment);
        } else if (!profilePortKeys().contains(key)) {
            return refuse(QStringLiteral("%1: unknown key \"%2\" in [port]; the keys are %3.")
                              .arg(where, assignment->name, profilePortKeys().join(QStringLiteral(", "))));
        } else if (profile.port.contains(key)) {
            return refuse(QStringLiteral("%1: \"%2\" is given twice in [port].").arg(where, key));
        } else {
            profile.port.insert(key, assignment->entry);
            profile.portOrigins.insert(key, where);
        }
    }
    return {profile, {}};
}

ProfileResult readProfile(const QString &path)
{
    const FileContents read = readRegularFile(QFile::encodeName(path), profileSizeLimit);
    if (read.tooLarge)
        return refuse(QStringLiteral("Could not read the profile %1: it is larger than %2 bytes.")
                          .arg(path)
                          .arg(profileSizeLimit));
    if (!read.error.isEmpty()) {
        const QString reason = read.error.endsWith(QLatin1Char('.')) ? read.error : read.error + QLatin1Char('.');
        return refuse(QStringLiteral("Could not read the profile %1: %2").arg(path, reason));
    }
    return parseProfile(read.bytes, path);
}

} // namespace kr52
