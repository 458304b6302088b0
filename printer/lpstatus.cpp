// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lpstatus.h"

#include "printer/systemcalls.h"

#include <linux/lp.h>

#include <array>

namespace kr52 {

namespace {

struct StatusCondition {
    bool (*holds)(int status);
    const char *words;
    bool stopsPrinting;
};

// In the order the printer drivers themselves check them. Busy and error lines are active low.
constexpr std::array<StatusCondition, 4> conditions{{
    {[](int status) { return (status & LP_POUTPA) != 0; }, "the printer is out of paper", true},
    {[](int status) { return (status & LP_PSELECD) == 0; }, "the printer is off line", true},
    {[](int status) { return (status & LP_PERRORP) == 0; }, "the printer reports an error", true},
    {[](int status) { return (status & LP_PBUSY) == 0; }, "the printer is busy", false},
}};

const StatusCondition *firstCondition(int status)
{
    for (const StatusCondition &condition : conditions) {
        if (condition.holds(status))
            return &condition;
    }
    return nullptr;
}

} // namespace

std::optional<int> readPrinterStatus(int fd)
{
    int status = 0;
    if (systemCalls().ioctl(fd, LPGETSTATUS, &status) != 0)
        return std::nullopt;
    return status;
}

bool statusStopsPrinting(int status)
{
    const StatusCondition *condition = firstCondition(status);
    return condition && condition->stopsPrinting;
}

QString describePrinterStatus(std::optional<int> status)
{
    const StatusCondition *condition = status ? firstCondition(*status) : nullptr;
    return QString::fromLatin1(condition ? condition->words : "the printer did not take the data");
}

} // namespace kr52
