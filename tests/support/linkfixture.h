// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class frmMain;

// Shorthands for the tests that drive the main window's printer actions.
namespace linktest {

inline QByteArray bytes(const char *data, int size)
{
    return QByteArray(data, size);
}

// ESC "?" LF NUL.
inline QByteArray selfTest()
{
    return QByteArray("\x1b?\n\0", 4);
}

// ESC "#" switch op mask LF NUL, written out from its parts.
QByteArray switchBytes(char switchId, char operation, const char *mask);

// Every list at a choice (list name, index): the longest "Use Settings" run. With the cut offset
// longestRunCutOffset its bytes are data/usesettings/longest-run.bin (see make-longest-run.py).
const QList<QPair<QString, int>> &longestRunChoices();
inline constexpr const char *longestRunCutOffset = "-12.3mm";

// Removes every KR52_COMn and KR52_LPTn, so each port maps to its standard device.
void clearDeviceOverrides();

// Makes an empty file standing in for a printer device, named name in folder.
QString makeDeviceFile(const QString &folder, const QString &name);

// Points "COMn:" at the device path and puts the main window on that serial port.
void useSerial(frmMain &main, int commPort, const QString &devicePath);
// Points "LPTn:" at the path and puts the main window on that parallel port.
void useParallel(frmMain &main, int lptNumber, const QString &path);

// The whole content of a file.
QByteArray fileContent(const QString &path);

} // namespace linktest
