// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/remembereddevices.h"

#include "app/configfolder.h"
#include "printer/devicemap.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kr52 {

namespace {

// Only full paths: QDir would also call a resource path (":/...") absolute.
bool isFullPath(const QString &path)
{
    return path.startsWith(QLatin1Char('/'));
}

// "COM1:" is kept under devices/COM1.
QString keyFor(const QString &portName)
{
    return QStringLiteral("devices/") + portName.chopped(1);
}

QString whyNotSaved(const QString &file, QSettings::Status status)
{
    return status == QSettings::FormatError
               ? QStringLiteral("%1 is not a settings file this program can read.").arg(file)
               : QStringLiteral("%1 could not be written.").arg(file);
}

// Writes one change through QSettings, which replaces the file whole.
template <typename Change>
QString saveChange(const QString &portName, Change change)
{
    const QString file = rememberedDevicesFile();
    if (!isMappedPortName(portName))
        return QStringLiteral("\"%1\" is not a port name.").arg(portName);
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 could not be made.").arg(folder);
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return whyNotSaved(file, settings.status());
    change(settings);
    settings.sync();
    return settings.status() == QSettings::NoError ? QString() : whyNotSaved(file, settings.status());
}

} // namespace

QString rememberedDevicesFile()
{
    return configFolder() + QStringLiteral("/devices.conf");
}

QString rememberedDeviceFor(const QString &portName)
{
    if (!isMappedPortName(portName))
        return {};
    const QString file = rememberedDevicesFile();
    if (!QFileInfo::exists(file))
        return {};
    const QString path = QSettings(file, QSettings::IniFormat).value(keyFor(portName)).toString();
    return isFullPath(path) ? path : QString();
}

QString rememberDevice(const QString &portName, const QString &path)
{
    if (!isFullPath(path))
        return QStringLiteral("\"%1\" is not a full device path: it must start with \"/\".").arg(path);
    return saveChange(portName, [&](QSettings &settings) { settings.setValue(keyFor(portName), path); });
}

QString forgetDevice(const QString &portName)
{
    if (isMappedPortName(portName) && !QFileInfo::exists(rememberedDevicesFile()))
        return {};
    return saveChange(portName, [&](QSettings &settings) { settings.remove(keyFor(portName)); });
}

} // namespace kr52
