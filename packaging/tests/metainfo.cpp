// SPDX-License-Identifier: GPL-3.0-or-later
#include "metainfo.h"

#include <QFile>
#include <QXmlStreamReader>

Metainfo readMetainfo(const QString &path)
{
    Metainfo info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        info.error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return info;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        // The first of each is the component's own; releases come newest first.
        if (name == QLatin1String("id") && info.id.isEmpty())
            info.id = xml.readElementText();
        else if (name == QLatin1String("summary") && info.summary.isEmpty())
            info.summary = xml.readElementText();
        else if (name == QLatin1String("p"))
            info.paragraphs.append(xml.readElementText().simplified());
        else if (name == QLatin1String("launchable"))
            info.launchable = xml.readElementText();
        else if (name == QLatin1String("release") && info.newestRelease.isEmpty())
            info.newestRelease = xml.attributes().value(QLatin1String("version")).toString();
    }
    if (xml.hasError())
        info.error = QStringLiteral("%1: %2").arg(path, xml.errorString());
    return info;
}
