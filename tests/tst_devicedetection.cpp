// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicedetection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kr52;

namespace {

// A device folder as a test builds it: plain files and FIFOs stand in for devices.
class DeviceFolder {
public:
    DeviceFolder() { QVERIFY(m_folder.isValid()); }

    QString path(const QString &name) const { return QDir(m_folder.path()).canonicalPath() + QLatin1Char('/') + name; }

    void file(const QString &name)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void fifo(const QString &name) { QVERIFY(::mkfifo(QFile::encodeName(path(name)).constData(), 0600) == 0); }
    void folder(const QString &name) { QVERIFY(QDir().mkpath(path(name))); }
    void link(const QString &name, const QString &target)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QVERIFY(QFile::link(target, path(name)));
    }

    DeviceSource source(const QList<SerialPortEntry> &serialPorts) const
    {
        return {path(QString()).chopped(1), [serialPorts] { return serialPorts; }};
    }

private:
    QTemporaryDir m_folder;
};

QStringList rows(const QList<DetectedDevice> &devices, const QString &folder)
{
    QStringList lines;
    for (const DetectedDevice &device : devices)
        lines << QStringList{device.path, device.systemPath, device.details}
                     .join(QLatin1Char('|'))
                     .replace(folder, "DEV");
    return lines;
}

} // namespace

class tst_devicedetection : public QObject {
    Q_OBJECT

private slots:
    void printerDevicesInNumberOrderUsbFirst()
    {
        DeviceFolder dev;
        dev.file("usb/lp10");
        dev.file("usb/lp2");
        dev.fifo("usb/lp0");
        dev.file("lp1");
        dev.fifo("lp0");
        dev.folder("lp5");                 // a folder is no device
        dev.file("usb/hiddev0");           // not a printer
        dev.file("ttyS0");                 // a serial line
        dev.link("lp9", dev.path("gone")); // a dangling link: the device may come back

        QCOMPARE(rows(detectDevices(PortKind::Printer, dev.source({})), dev.path(QString()).chopped(1)),
                 QStringList({"DEV/usb/lp0|DEV/usb/lp0|", "DEV/usb/lp2|DEV/usb/lp2|", "DEV/usb/lp10|DEV/usb/lp10|",
                              "DEV/lp0|DEV/lp0|", "DEV/lp1|DEV/lp1|", "DEV/lp9|DEV/lp9|"}));
    }

    void noPrinterFolderIsAnEmptyList()
    {
        QCOMPARE(detectDevices(PortKind::Printer, {QStringLiteral("/nonexistent"), {}}).size(), 0);
    }

    // Serial ports come from the system's list, each under its stable by-id name where it has one.
    void serialPortsPreferTheirStableNames()
    {
        DeviceFolder dev;
        dev.file("ttyUSB0");
        dev.file("ttyUSB1");
        dev.file("ttyACM0");
        dev.link("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
        dev.link("serial/by-id/usb-Prolific-if00-port0", "../../ttyUSB1");
        dev.link("serial/by-id/usb-gone-if00-port0", "../../ttyUSB9");

        const QList<SerialPortEntry> ports{
            {dev.path("ttyUSB1"), "USB-Serial Controller", "Prolific", "", std::pair{quint16(0x067b), quint16(0x2303)}},
            {dev.path("ttyUSB0"), "FT232R USB UART", "FTDI", "A50285BI", std::pair{quint16(0x0403), quint16(0x6001)}},
            {dev.path("ttyACM0"), "", "", "", std::nullopt},
            {dev.path("ttyS10"), "", "", "", std::nullopt},
            {dev.path("ttyS2"), "16550A", "", "", std::nullopt},
        };
        const QString ftdi = QStringLiteral("DEV/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        const QString prolific = QStringLiteral("DEV/serial/by-id/usb-Prolific-if00-port0");
        QCOMPARE(rows(detectDevices(PortKind::Serial, dev.source(ports)), dev.path(QString()).chopped(1)),
                 QStringList({
                     "DEV/ttyACM0|DEV/ttyACM0|",
                     "DEV/ttyS2|DEV/ttyS2|16550A",
                     "DEV/ttyS10|DEV/ttyS10|",
                     ftdi + "|DEV/ttyUSB0|FT232R USB UART, FTDI, serial number A50285BI, USB 0403:6001",
                     prolific + "|DEV/ttyUSB1|USB-Serial Controller, Prolific, USB 067b:2303",
                 }));
    }
};

QTEST_GUILESS_MAIN(tst_devicedetection)
#include "tst_devicedetection.moc"
