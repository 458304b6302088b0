// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A real pseudo-terminal pair: the program under test opens the device path (the slave side) as
// its serial port, and the test reads what arrived from the master side.
class PseudoTerminal {
public:
    // Raw, or as the kernel makes a new terminal: cooked, with echo and output processing
    // (OPOST|ONLCR turns each LF into CR LF), as a serial port is before any program set it.
    enum class Start { Raw, KernelDefaults };

    explicit PseudoTerminal(Start start = Start::Raw);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0; }
    [[nodiscard]] QString devicePath() const { return m_path; }
    // Everything that has arrived so far, waiting up to settleMs for more to come.
    [[nodiscard]] QByteArray readAll(int settleMs = 100);
    // Closes the master side, as when a USB adapter is pulled out: the device path stays, but
    // writes to it fail from now on.
    void hangUp();
    // Stops the line's output (tcflow TCOOFF), as a printer holding the line busy: writes to
    // the device take nothing until it is resumed.
    void stopOutput();
    void resumeOutput();

private:
    int m_master = -1;
    int m_slaveKeeper = -1; // keeps the line up between opens, so nothing written is dropped
    QString m_path;
};
