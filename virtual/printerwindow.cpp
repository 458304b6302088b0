// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/printerwindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kr52::virt {

namespace {

constexpr int bitColumns = 16;
constexpr int hexColumn = bitColumns;

} // namespace

PrinterWindow::PrinterWindow(const QString &devicePath, QWidget *parent)
    : QWidget(parent), m_table(new QTableWidget(SwitchBank::count, bitColumns + 1, this)),
      m_page(new QLabel(tr("No self-test page printed yet."), this))
{
    setWindowTitle(tr("Virtual KR52 on %1").arg(devicePath));

    QStringList columns;
    for (int bit = bitColumns - 1; bit >= 0; --bit)
        columns.append(QString::number(bit));
    columns.append(tr("Hex"));
    m_table->setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (int i = 0; i < SwitchBank::count; ++i)
        rows.append(tr("Switch %1").arg(QLatin1Char(designatorOf(i))));
    m_table->setVerticalHeaderLabels(rows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (int row = 0; row < SwitchBank::count; ++row)
        for (int column = 0; column <= hexColumn; ++column) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(row, column, item);
        }

    m_page->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_page);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(620);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addWidget(scroll);
    resize(1280, 720);
}

void PrinterWindow::showSwitches(const SwitchBank &switches)
{
    for (int row = 0; row < SwitchBank::count; ++row) {
        const quint16 value = switches.value(row);
        const quint16 changed = m_shown ? quint16(value ^ m_shown->value(row)) : 0;
        for (int bit = 0; bit < bitColumns; ++bit) {
            QTableWidgetItem *item = m_table->item(row, bitColumns - 1 - bit);
            item->setText((value >> bit) & 1 ? QStringLiteral("1") : QStringLiteral("0"));
            // Bits the last commands changed stand out until the next change.
            item->setBackground((changed >> bit) & 1 ? QBrush(QColor(255, 230, 150)) : QBrush());
        }
        m_table->item(row, hexColumn)->setText(hexWord(value));
    }
    m_shown = switches;
}

void PrinterWindow::showPage(const QImage &page)
{
    m_page->setPixmap(QPixmap::fromImage(page));
}

} // namespace kr52::virt
