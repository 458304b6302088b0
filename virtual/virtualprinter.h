// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "virtual/commandstream.h"
#include "virtual/selftestpage.h"
#include "virtual/switchbank.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace kr52::virt {

// The printer's logic: reads the command stream, keeps the switches (in the state file when it has
// one), and prints a self-test page when asked. Never stops on bad input: what it cannot read is
// reported and skipped.
class VirtualPrinter : public QObject {
    Q_OBJECT

public:
    explicit VirtualPrinter(QObject *parent = nullptr);

    // Takes the switches from the state file at path and keeps them there from now on. On failure
    // returns the reason and leaves the printer as it was, without a state file.
    [[nodiscard]] QString useStateFile(const QString &path);
    [[nodiscard]] QString stateFile() const { return m_statePath; }

    [[nodiscard]] const SwitchBank &switches() const { return m_switches; }
    // Stores new switches as a command would (saved, switchesChanged()).
    void setSwitches(const SwitchBank &switches);

    // Handles bytes as they come off the link; a command may be split over several calls.
    void receive(QByteArrayView bytes);

signals:
    // "set 0001 on switch 2: 0000 -> 0001"
    void commandApplied(const QString &description);
    // "ignored 3 bytes: 1B 23 5A"
    void bytesIgnored(const QString &report);
    void switchesChanged();
    void selfTestPrinted(const kr52::virt::SelfTestPage &page);
    // The state file could not be written; the switches are still held in memory.
    void stateNotSaved(const QString &message);

private:
    void save();

    SwitchBank m_switches;
    CommandStreamParser m_parser;
    QString m_statePath;
};

} // namespace kr52::virt
