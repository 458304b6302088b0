// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/catalogue.h"

#include <QTest>

// Looking up the settings catalogue by a list's control name, for tests that link kr52settings.
namespace testsupport {

// The position of the row whose list is named listName; a missing one fails the test and
// gives -1.
inline int catalogueIndex(const QString &listName)
{
    const auto &catalogue = kr52::settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size(); ++row)
        if (catalogue[row].listName == listName)
            return int(row);
    QTest::qFail(qPrintable(QStringLiteral("no setting's list is named %1").arg(listName)), __FILE__, __LINE__);
    return -1;
}

// The row whose list is named listName; a missing one fails the test and gives an empty row.
inline const kr52::SettingRow &catalogueRow(const QString &listName)
{
    static const kr52::SettingRow none{{}, {}, {}, {}, {}, {}, {}, {}, kr52::SettingsPage::General, {}};
    const int row = catalogueIndex(listName);
    return row < 0 ? none : kr52::settingsCatalogue()[std::size_t(row)];
}

} // namespace testsupport
