// SPDX-License-Identifier: GPL-3.0-or-later
// A profile as kr52ctl reads it takes any bytes. A dry run of it ends with status 0 or 2; a
// refusal is escaped, names the profile, and says nothing was sent; an accepted profile's
// commands are printed one per line, the self test last.
#include "ctl/ctl.h"
#include "ctlrun.h"
#include "harness.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    using kr52::fuzz::shownWhole;
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("profile.ini"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                "the profile is written for the run");
    }
    kr52::fuzz::CollectingConsole console;
    const int status = kr52::ctl::run(
        {QStringLiteral("kr52ctl"), QStringLiteral("apply"), path, QStringLiteral("--dry-run")}, console);
    require(status == kr52::ctl::Done || status == kr52::ctl::Refused, "a dry run sends nothing, so nothing fails");
    if (status == kr52::ctl::Refused) {
        require(console.errLines.size() == 1, "one refusal");
        const QStringList lines = console.errLines.first().split(QLatin1Char('\n'));
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
