// SPDX-License-Identifier: GPL-3.0-or-later
#include "portdialog/devicechooser.h"

#include "printer/devicedetection.h"
#include "printer/devicemap.h"
#include "printer/remembereddevices.h"
#include "ui/controls.h"
#include "ui/messagebox.h"
#include "ui/uifont.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

using namespace kr52;

namespace {

constexpr int pollMilliseconds = 1000;

QString noteFor(const QString &portName)
{
    QString note = QStringLiteral("The default for %1 is %2.").arg(portName, defaultDevicePathFor(portName));
    if (deviceMappingFor(portName).origin == DeviceOrigin::Environment)
        note += QStringLiteral(" %1 is set for this run: it wins over the device chosen here until it is unset.")
                    .arg(overrideVariableFor(portName));
    return note;
}

QListWidgetItem *itemFor(const DetectedDevice &device)
{
    QString text = device.path;
    if (!device.details.isEmpty())
        text += QLatin1Char('\n') + device.details;
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, device.path);
    item->setToolTip(device.systemPath == device.path
                         ? device.path
                         : QStringLiteral("%1, now %2").arg(device.path, device.systemPath));
    return item;
}

} // namespace

DeviceChooser::DeviceChooser(QWidget *parent, const QString &portName) : QDialog(parent), m_portName(portName)
{
    setObjectName(QStringLiteral("frmDevice"));
    setWindowTitle(QStringLiteral("Device for %1").arg(portName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setFont(uiFont());

    m_listCaption = makeLabel(this, QStringLiteral("labDevices"), QString(), uiFont());
    m_devices = new QListWidget(this);
    m_devices->setObjectName(QStringLiteral("lstDevices"));
    m_devices->setAccessibleName(QStringLiteral("Devices found"));
    m_listCaption->setBuddy(m_devices);

    auto *pathCaption = makeLabel(this, QStringLiteral("labDevicePath"), QStringLiteral("Device pa&th:"), uiFont());
    m_path = new QLineEdit(deviceMappingFor(portName).path, this);
    m_path->setObjectName(QStringLiteral("txtDevicePath"));
    m_path->setAccessibleName(QStringLiteral("Device path"));
    pathCaption->setBuddy(m_path);

    m_note = makeLabel(this, QStringLiteral("labDeviceNote"), noteFor(portName), uiFont());
    m_note->setWordWrap(true);

    m_use = makeButton(this, QStringLiteral("comUseDevice"), QStringLiteral("&Use"),
                       QStringLiteral("Map %1 to this device from now on").arg(portName));
    m_default = makeButton(this, QStringLiteral("comDefaultDevice"), QStringLiteral("&Default"),
                           QStringLiteral("Map %1 to %2 again").arg(portName, defaultDevicePathFor(portName)));
    m_cancel = makeButton(this, QStringLiteral("comCancelDevice"), QStringLiteral("&Cancel"));
    m_use->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_default);
    buttons->addStretch();
    buttons->addWidget(m_use);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listCaption);
    layout->addWidget(m_devices, 1);
    layout->addWidget(pathCaption);
    layout->addWidget(m_path);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    resize(440, 300);
    // Tab runs as the buttons stand.
    setTabOrder(m_path, m_default);
    setTabOrder(m_default, m_use);
    setTabOrder(m_use, m_cancel);
    m_devices->installEventFilter(this);

    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &DeviceChooser::listDevices);
    // Selection only: the list's current row also moves when it merely takes the focus, and that
    // must not replace the device the chooser opened with.
    connect(m_devices, &QListWidget::itemSelectionChanged, this, [this] {
        if (const QList<QListWidgetItem *> chosen = m_devices->selectedItems(); !chosen.isEmpty())
            m_path->setText(chosen.first()->data(Qt::UserRole).toString());
    });
    connect(m_devices, &QListWidget::itemActivated, this, &DeviceChooser::useRow);
    connect(m_use, &QPushButton::clicked, this, &DeviceChooser::useTypedPath);
    connect(m_default, &QPushButton::clicked, this, &DeviceChooser::useDefault);
    connect(m_cancel, &QPushButton::clicked, this, &DeviceChooser::reject);

    listDevices();
}

bool DeviceChooser::eventFilter(QObject *watched, QEvent *event)
{
    // Taking the focus makes a row current; it is selected too, so the row the operator hears
    // and sees highlighted is the one in the path box.
    if (watched == m_devices && event->type() == QEvent::FocusIn && m_devices->count() > 0
        && m_devices->selectedItems().isEmpty())
        m_devices->setCurrentRow(std::max(0, m_devices->currentRow()), QItemSelectionModel::ClearAndSelect);
    // Enter on a row uses that row, once: the list would also pass the key on to "Use".
    if (watched == m_devices && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_devices->currentItem()) {
            useRow(m_devices->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DeviceChooser::showEvent(QShowEvent *event)
{
    // The focus is drawn from the start, not only after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
    m_poll.start();
    QDialog::showEvent(event);
}

void DeviceChooser::hideEvent(QHideEvent *event)
{
    m_poll.stop();
    QDialog::hideEvent(event);
}

void DeviceChooser::listDevices()
{
    const PortKind kind = portKindOf(m_portName);
    const QList<DetectedDevice> found = detectDevices(kind);
    if (found == m_listed)
        return;
    m_listed = found;

    // Rebuilt only when something changed, without touching a path the operator is typing.
    const QSignalBlocker quiet(m_devices);
    m_devices->clear();
    for (const DetectedDevice &device : found) {
        m_devices->addItem(itemFor(device));
        if (device.path == m_path->text())
            m_devices->setCurrentRow(m_devices->count() - 1);
    }
    const QString kindName =
        kind == PortKind::Serial ? QStringLiteral("Serial ports") : QStringLiteral("Printer devices");
    m_listCaption->setText(found.isEmpty()
                               ? QStringLiteral("%1: none found. Type the device's path below.").arg(kindName)
                               : QStringLiteral("&%1 on this computer:").arg(kindName));
}

void DeviceChooser::useRow(QListWidgetItem *row)
{
    m_path->setText(row->data(Qt::UserRole).toString());
    useTypedPath();
}

void DeviceChooser::useTypedPath()
{
    finishWith(rememberDevice(m_portName, m_path->text().trimmed()));
}

void DeviceChooser::useDefault()
{
    finishWith(forgetDevice(m_portName));
}

void DeviceChooser::finishWith(const QString &failure)
{
    if (failure.isEmpty()) {
        accept();
        return;
    }
    showMessage(applicationTitle(), QStringLiteral("The device for %1 was not changed. %2").arg(m_portName, failure),
                QMessageBox::Warning, this);
}
