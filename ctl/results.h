// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kr52::ctl {

// How one printer's run ended, for its result line and the JSON document.
struct PrinterResult {
    QString kind;        // "port", "device" or "output"
    QString name;        // "COM1:", or the path as given
    QString devicePath;  // what it was sent to
    QString description; // "COM1: (/dev/ttyS0)", as result lines start
    bool done = false;
    int sent = 0;
    int total = 0;
    QString message; // what reached the printer, or why it failed and what reached it, on one line
};

// "COM1: (/dev/ttyS0): done. All 5 setting commands were sent ..." or "...: FAILED. ...".
[[nodiscard]] QString resultLine(const PrinterResult &result);
// "2 of 3 printers done, 1 failed."
[[nodiscard]] QString summaryLine(const QList<PrinterResult> &results);
// {"printers": [{"port": "COM1:", "path": "/dev/ttyS0", "result": "done", "sent": 5, "total": 5,
//   "message": "..."}, ...], "done": 1, "failed": 0, "total": 1}
[[nodiscard]] QByteArray resultsJson(const QList<PrinterResult> &results);

} // namespace kr52::ctl
