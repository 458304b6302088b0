// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "virtual/selftestpage.h"
#include "virtual/switchbank.h"

#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QWidget>

#include <optional>

namespace kr52::virt {

// The live view: the sixteen switches bit by bit beside the last self-test page.
class PrinterWindow : public QWidget {
    Q_OBJECT

public:
    explicit PrinterWindow(const QString &devicePath, QWidget *parent = nullptr);

    void showSwitches(const SwitchBank &switches);
    void showPage(const QImage &page);

private:
    QTableWidget *m_table;
    QLabel *m_page;
    std::optional<SwitchBank> m_shown; // what the table shows, to mark the bits that change
};

} // namespace kr52::virt
