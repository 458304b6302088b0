// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/listing.h"

#include "helppages/helppaths.h"
#include "settings/catalogue.h"
#include "settings/choice.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kr52::ctl {

namespace {

QString helpPageName(const SettingRow &row)
{
    return QFileInfo(helpTopicPath(QString(), qint16(row.helpIndex))).fileName();
}

} // namespace

QString settingsListing()
{
    QString text;
    for (const SettingRow &row : settingsCatalogue()) {
        text += QStringLiteral("%1 (switch %2, help page %3)\n")
                    .arg(settingName(row), QString(QLatin1Char(row.switchId)), helpPageName(row));
        for (const QString &entry : row.entries)
            text += QStringLiteral("    %1\n").arg(entryName(entry));
    }
    return text;
}

QByteArray settingsJson()
{
    QJsonArray settings;
    for (const SettingRow &row : settingsCatalogue()) {
        QJsonArray entries;
        for (const QString &entry : row.entries)
            entries.append(entryName(entry));
        settings.append(QJsonObject{{QStringLiteral("name"), settingName(row)},
                                    {QStringLiteral("list"), row.listName},
                                    {QStringLiteral("switch"), QString(QLatin1Char(row.switchId))},
                                    {QStringLiteral("help"), helpPageName(row)},
                                    {QStringLiteral("entries"), entries}});
    }
    return QJsonDocument(settings).toJson(QJsonDocument::Indented);
}

} // namespace kr52::ctl
