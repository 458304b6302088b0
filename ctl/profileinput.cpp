// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/profileinput.h"

#include "ctl/messages.h"
#include "files/boundedfile.h"

#include <QFile>

namespace kr52::ctl {

namespace {

ProfileResult refuse(const QString &why)
{
    return {std::nullopt, why};
}

ProfileResult fromStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return refuse(QStringLiteral("Could not read the profile from standard input: %1").arg(input.errorString()));
    const QByteArray bytes = input.read(profileSizeLimit + 1);
    if (bytes.size() > profileSizeLimit)
        return refuse(QStringLiteral("Could not read the profile from standard input: it is larger than %1 bytes")
                          .arg(profileSizeLimit));
    if (input.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("Could not read the profile from standard input: %1").arg(input.errorString()));
    return parseProfile(bytes, QStringLiteral("standard input"));
}

} // namespace

ProfileResult readProfileInput(const QString &path)
{
    if (path == QLatin1String("-"))
        return fromStandardInput();
    const QString name = visible(path);
    const FileContents read = readRegularFile(pathBytes(path), profileSizeLimit);
    if (read.tooLarge)
        return refuse(QStringLiteral("Could not read the profile %1: it is larger than %2 bytes")
                          .arg(name)
                          .arg(profileSizeLimit));
    if (!read.error.isEmpty())
        return refuse(QStringLiteral("Could not read the profile %1: %2").arg(name, read.error));
    return parseProfile(read.bytes, name);
}

} // namespace kr52::ctl
