// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/sendplan.h"

#include <QString>

#include <atomic>
#include <functional>

namespace kr52 {

class PrinterLink;

// How a printer action ended, and exactly what reached the printer.
struct SendOutcome {
    enum class Stage { Open, Send, Close, Done };
    Stage stage = Stage::Open; // where it failed, or Done
    QString reason;            // the link's message (port, device and cause) on failure
    int settingCommandsSent = 0;
    int settingCommandsTotal = 0;
    bool selfTestSent = false;
    bool commandInDoubt = false; // the command after those sent went to the port, perhaps not whole
    bool cancelled = false;
    QString reached; // what reached the printer, in words

    [[nodiscard]] bool succeeded() const { return stage == Stage::Done; }
    // The reason, then on its own line what reached the printer: the text of the warning.
    [[nodiscard]] QString message() const;
};

// Called after each command has been handed to the link: how many of all the plan's commands.
using SendProgress = std::function<void(int sent, int total)>;

// Opens the link, sends the plan's commands in order, and closes the link. The first failure
// stops the run and leaves the link discarded; nothing is sent after it. Everything after the
// open (every command and the final drain) shares one deadline: the time all the plan's bytes
// need at the line rate plus one write timeout. When cancelled is given and becomes true, the
// run stops at the next command, or sooner while the link waits; progress is then called no more.
[[nodiscard]] SendOutcome runSendPlan(PrinterLink &link, const SendPlan &plan, const SendProgress &progress = {},
                                      const std::atomic_bool *cancelled = nullptr);

} // namespace kr52
