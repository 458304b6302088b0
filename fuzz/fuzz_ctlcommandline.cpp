// SPDX-License-Identifier: GPL-3.0-or-later
// kr52ctl's command line takes any arguments (the input split at NUL bytes, bytes that are not
// UTF-8 kept). The parser refuses with a reason or gives a request; what is refused or run
// without touching a printer (a dry run, the settings, a profile to standard output) ends with
// status 0 or 2, and every refusal is escaped, ends in one full stop and says nothing was sent.
#include "ctl/commandline.h"
#include "ctl/ctl.h"
#include "ctl/messages.h"
#include "ctlrun.h"
#include "harness.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

namespace {

bool touchesNothing(const kr52::ctl::Request &request)
{
    using kr52::ctl::Command;
    if (request.profilePath == QLatin1String("-"))
        return false; // would wait for standard input
    switch (request.command) {
    case Command::Settings:
        return true;
    case Command::Profile:
        return request.outputPath.isEmpty();
    case Command::Send:
    case Command::SelfTest:
    case Command::Apply:
        return request.dryRun;
    case Command::Devices:
        return false;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    using kr52::fuzz::shownWhole;
    QStringList arguments{QStringLiteral("kr52ctl")};
    for (const QByteArray &argument : QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0'))
        arguments.append(kr52::ctl::argumentText(argument));
    require(kr52::ctl::pathBytes(arguments.last()) ==
                QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0').last(),
            "an argument's bytes are kept exactly");

    const kr52::ctl::ParsedCommandLine parsed = kr52::ctl::parseCommandLine(arguments);
    if (parsed.kind == kr52::ctl::ParsedCommandLine::Kind::Refused) {
        require(!parsed.text.isEmpty() && parsed.text.endsWith(QLatin1Char('.')) &&
                    !parsed.text.endsWith(QLatin1String("..")),
                "a refusal is one sentence");
        require(!parsed.text.contains(QLatin1Char('\n')), "a refusal of the command line is one line");
    }
    if (parsed.kind != kr52::ctl::ParsedCommandLine::Kind::Run || !touchesNothing(parsed.request))
        return 0;
    kr52::fuzz::CollectingConsole console;
    const int status = kr52::ctl::run(arguments, console);
    require(status == kr52::ctl::Done || status == kr52::ctl::Refused, "nothing is sent, so nothing fails");
    require((status == kr52::ctl::Refused) == !console.errLines.isEmpty(), "a refusal, and only a refusal, is said");
    for (const QString &error : console.errLines) {
        const QStringList lines = error.split(QLatin1Char('\n'));
        require(lines.first().startsWith(QLatin1String("kr52ctl: ")), "a refusal names the program");
        require(lines.last() == QLatin1String("Nothing was sent.") ||
                    lines.last() == QLatin1String("No profile was written."),
                "a refusal says that nothing was sent");
        for (const QString &line : lines)
            require(shownWhole(line), "control characters and lone surrogates are escaped");
    }
    return 0;
}
