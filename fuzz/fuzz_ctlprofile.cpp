// SPDX-License-Identifier: GPL-3.0-or-later
// A profile as kr52ctl reads it takes any bytes. A dry run of it ends with status 0 or 2; a
// refusal is escaped, names the profile, and says nothing was sent; an accepted profile's
// commands are printed one per line, the self test last.
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "harness.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

class Collecting : public kr52::ctl::Console {
public:
    void out(const QString &line) override { outLines.append(line); }
    void err(const QString &line) override { errors.append(line); }
    void progress(const QString &, int, int) override {}
    QStringList outLines;
    QStringList errors;
};

// Whether line holds no control character and no half of a character.
bool shownWhole(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
        if (c.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("profile.ini"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                "the profile is written for the run");
    }
    Collecting console;
    const int status = kr52::ctl::run(
        {QStringLiteral("kr52ctl"), QStringLiteral("apply"), path, QStringLiteral("--dry-run")}, console);
    require(status == kr52::ctl::Done || status == kr52::ctl::Refused, "a dry run sends nothing, so nothing fails");
    if (status == kr52::ctl::Refused) {
        require(console.errors.size() == 1, "one refusal");
        const QStringList lines = console.errors.first().split(QLatin1Char('\n'));
        require(lines.first().startsWith(QLatin1String("kr52ctl: ")), "a refusal names the program");
        require(lines.last() == QLatin1String("Nothing was sent."), "a refusal says that nothing was sent");
        for (const QString &line : lines)
            require(shownWhole(line), "control characters and lone surrogates are escaped");
        return 0;
    }
    require(!console.outLines.isEmpty() && console.outLines.last().endsWith(QLatin1String("self test")),
            "the self test comes last");
    return 0;
}
