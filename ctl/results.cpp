// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/results.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace kr52::ctl {

namespace {

qsizetype doneCount(const QList<PrinterResult> &results)
{
    return std::count_if(results.begin(), results.end(), [](const PrinterResult &result) { return result.done; });
}

} // namespace

QString resultLine(const PrinterResult &result)
{
    return QStringLiteral("%1: %2. %3")
        .arg(result.description, result.done ? QStringLiteral("done") : QStringLiteral("FAILED"), result.message);
}

QString summaryLine(const QList<PrinterResult> &results)
{
    const qsizetype done = doneCount(results);
    return QStringLiteral("%1 of %2 %3 done, %4 failed.")
        .arg(done)
        .arg(results.size())
        .arg(results.size() == 1 ? QStringLiteral("printer") : QStringLiteral("printers"))
        .arg(results.size() - done);
}

QByteArray resultsJson(const QList<PrinterResult> &results)
{
    QJsonArray printers;
    for (const PrinterResult &result : results)
        printers.append(
            QJsonObject{{result.kind, result.name},
                        {QStringLiteral("path"), result.devicePath},
                        {QStringLiteral("result"), result.done ? QStringLiteral("done") : QStringLiteral("failed")},
                        {QStringLiteral("sent"), result.sent},
                        {QStringLiteral("total"), result.total},
                        {QStringLiteral("message"), result.message}});
    const qsizetype done = doneCount(results);
    return QJsonDocument(QJsonObject{{QStringLiteral("printers"), printers},
                                     {QStringLiteral("done"), done},
                                     {QStringLiteral("failed"), results.size() - done},
                                     {QStringLiteral("total"), results.size()}})
        .toJson(QJsonDocument::Indented);
}

} // namespace kr52::ctl
