// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52 {

namespace {

const QString settingsSection = QStringLiteral("settings");
const QString portSection = QStringLiteral("port");
const QString cutOffsetKey = QStringLiteral("cut-offset");

ProfileResult refuse(const QString &why)
{
    return {std::nullopt, why};
}

QString systemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
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
        } else if (section == settingsSection) {
            profile.settings.append(*assignment);
        } else if (!profilePortKeys().contains(key)) {
            return refuse(QStringLiteral("%1: unknown key \"%2\" in [port]; the keys are %3.")
                              .arg(where, assignment->name, profilePortKeys().join(QStringLiteral(", "))));
        } else if (profile.port.contains(key)) {
            return refuse(QStringLiteral("%1: \"%2\" is given twice in [port].").arg(where, key));
        } else {
            profile.port.insert(key, assignment->entry);
        }
    }
    return {profile, {}};
}

ProfileResult readProfile(const QString &path)
{
    const auto unreadable = [&](const QString &why) {
        return refuse(QStringLiteral("Could not read the profile %1: %2").arg(path, why));
    };
    // Non-blocking, so that a FIFO cannot hold the program before it is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return unreadable(systemReason(errno) + QLatin1Char('.'));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(file.errorString() + QLatin1Char('.'));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return unreadable(systemReason(errno) + QLatin1Char('.'));
    if (!S_ISREG(info.st_mode))
        return unreadable(QStringLiteral("it is not a regular file."));
    if (info.st_size > profileSizeLimit)
        return unreadable(QStringLiteral("it is larger than %1 bytes.").arg(profileSizeLimit));
    // The file may grow between the check and the read; read no more than the limit allows.
    const QByteArray text = file.read(profileSizeLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString() + QLatin1Char('.'));
    if (text.size() > profileSizeLimit)
        return unreadable(QStringLiteral("it is larger than %1 bytes.").arg(profileSizeLimit));
    return parseProfile(text, path);
}

} // namespace kr52
