// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// The port dialog's line about the device the chosen entry maps to, and the button that opens
// the device chooser. The line follows the selection at once and, while the dialog is shown,
// is looked at again every second, so an adapter plugged in or pulled out shows; nothing runs
// while the dialog is hidden.
class DeviceLine : public QObject {
    Q_OBJECT

public:
    // Places the button in dialog below its designed controls, at top (twips), and the line
    // under it, with room for a long device path wrapped over several rows.
    DeviceLine(QWidget *dialog, QComboBox *portList, int top);

    // The height in twips that the line and the button take.
    static constexpr int heightInTwips = 1650;

    [[nodiscard]] QPushButton *chooseButton() const { return m_choose; }

signals:
    // A port now maps to another device (chosen, or back to its default).
    void mappingChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void chooseDevice();

    QWidget *m_dialog;
    QComboBox *m_ports;
    QLabel *m_line;
    QPushButton *m_choose;
    QTimer m_poll;
};
