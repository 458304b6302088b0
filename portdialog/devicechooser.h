// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/devicedetection.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Chooses the device one port name stands for: the devices of the port's kind found on this
// computer, or a path typed by hand. "Use" remembers the choice in the user's configuration,
// "Default" forgets it, so the port is back on its default device; neither touches the link
// state. The list is looked at again every second while the chooser is shown.
class DeviceChooser : public QDialog {
    Q_OBJECT

public:
    DeviceChooser(QWidget *parent, const QString &portName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void listDevices();
    // Uses the device of a row chosen by Enter or a double click, whatever the path box held.
    void useRow(QListWidgetItem *row);
    void useTypedPath();
    void useDefault();
    // Closes the chooser when saved; otherwise says why and stays open.
    void finishWith(const QString &failure);

    QString m_portName;
    std::optional<QList<kr52::DetectedDevice>> m_listed; // as last shown
    QLabel *m_listCaption;
    QListWidget *m_devices;
    QLineEdit *m_path;
    QLabel *m_note;
    QPushButton *m_use;
    QPushButton *m_default;
    QPushButton *m_cancel;
    QTimer m_poll;
};
