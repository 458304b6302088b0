// SPDX-License-Identifier: GPL-3.0-or-later
// The kernel's own termios2 interface, which takes any baud rate; it cannot share a translation
// unit with the C library's <termios.h>.
#include "printer/serialline.h"

#include "printer/systemcalls.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kr52 {

namespace {

// The flags that together select the parity: the entries of the parity table use no others.
tcflag_t parityMask()
{
    tcflag_t mask = 0;
    for (const ParityEntry &entry : parities())
        mask |= entry.lineFlags;
    return mask;
}

struct DataBitsFlags {
    int dataBits;
    tcflag_t flags;
};

constexpr std::array<DataBitsFlags, 4> dataBitsTable{{
    {5, CS5},
    {6, CS6},
    {7, CS7},
    {8, CS8},
}};

struct StandardRate {
    qint32 baudRate;
    tcflag_t code;
};

// Rates with a code of their own are set by that code, as every driver and program knows it;
// any other rate is given as a number ("other rate").
constexpr std::array<StandardRate, 30> standardRates{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
}};

tcflag_t rateCode(qint32 baudRate)
{
    for (const StandardRate &rate : standardRates) {
        if (rate.baudRate == baudRate)
            return rate.code;
    }
    return BOTHER;
}

// Unix 98 pseudo-terminal slaves (majors 136 to 143) have no wire: the driver always runs them
// with 8 data bits and no parity, whatever is asked, and nothing on the other side cares.
bool isPseudoTerminal(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && ::major(info.st_rdev) >= 136 &&
           ::major(info.st_rdev) <= 143;
}

bool getAttributes(int fd, termios2 &attributes)
{
    return systemCalls().ioctl(fd, TCGETS2, &attributes) == 0;
}

// The first setting the line does not run with, in words; empty when all match. A baud rate
// within 2 % counts as taken, as UARTs tolerate that and drivers round to their clock.
QString firstDifference(const SerialSettings &wanted, const LineParameters &line, bool hasWire)
{
    if (qAbs(qint64(line.baudRate) - wanted.baudRate) * 50 > wanted.baudRate)
        return QStringLiteral("the line did not take the baud rate %1 (it runs at %2).")
            .arg(wanted.baudRate)
            .arg(line.baudRate);
    if (hasWire && line.parity != wanted.parity)
        return QStringLiteral("the line did not take %1.").arg(QLatin1String(parityEntry(wanted.parity).name));
    if (hasWire && line.dataBits != wanted.dataBits)
        return QStringLiteral("the line did not take %1 data bits.").arg(wanted.dataBits);
    if (line.stopBits != wanted.stopBits)
        return QStringLiteral("the line did not take %1 stop bits.").arg(stopBitsText(wanted.stopBits));
    return {};
}

} // namespace

std::optional<LineParameters> readLineParameters(int fd)
{
    termios2 attributes{};
    if (!getAttributes(fd, attributes))
        return std::nullopt;
    LineParameters line;
    line.baudRate = qint32(attributes.c_ospeed);
    const tcflag_t parityFlags = attributes.c_cflag & parityMask();
    for (const ParityEntry &entry : parities()) {
        if (parityFlags == entry.lineFlags)
            line.parity = entry.parity;
    }
    for (const DataBitsFlags &entry : dataBitsTable) {
        if ((attributes.c_cflag & CSIZE) == entry.flags)
            line.dataBits = entry.dataBits;
    }
    line.stopBits = (attributes.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
    return line;
}

LineSetup configureLine(int fd, const SerialSettings &settings)
{
    // The terminal interface knows one or two stop bits only.
    if (settings.stopBits == StopBits::OneAndHalf)
        return {0, QStringLiteral(
                       "this line cannot send 1.5 stop bits. Set the printer and the port to 1 or 2 stop bits.")};

    termios2 attributes{};
    if (!getAttributes(fd, attributes))
        return {errno, {}};
    attributes.c_iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    attributes.c_oflag &= ~tcflag_t(OPOST);
    attributes.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    attributes.c_cflag &= ~tcflag_t(CSIZE | parityMask() | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    const tcflag_t rate = rateCode(settings.baudRate);
    attributes.c_cflag |= CREAD | CLOCAL | rate | (rate << IBSHIFT);
    attributes.c_cflag |= parityEntry(settings.parity).lineFlags;
    for (const DataBitsFlags &entry : dataBitsTable) {
        if (entry.dataBits == settings.dataBits)
            attributes.c_cflag |= entry.flags;
    }
    if (settings.stopBits == StopBits::Two)
        attributes.c_cflag |= CSTOPB;
    attributes.c_ispeed = speed_t(settings.baudRate);
    attributes.c_ospeed = speed_t(settings.baudRate);
    attributes.c_cc[VMIN] = 1;
    attributes.c_cc[VTIME] = 0;
    if (systemCalls().ioctl(fd, TCSETS2, &attributes) != 0)
        return {errno, {}};

    // Drivers may quietly keep what they cannot do: read back what the line really runs with.
    const std::optional<LineParameters> line = readLineParameters(fd);
    if (!line)
        return {errno, {}};
    return {0, firstDifference(settings, *line, !isPseudoTerminal(fd))};
}

bool drainLine(int fd)
{
    // tcdrain(): a break of length zero waits until the output has gone.
    return systemCalls().ioctl(fd, TCSBRK, reinterpret_cast<void *>(1)) == 0;
}

std::optional<int> queuedOutput(int fd)
{
    int queued = 0;
    if (systemCalls().ioctl(fd, TIOCOUTQ, &queued) != 0)
        return std::nullopt;
    return queued;
}

bool setExclusive(int fd, bool exclusive)
{
    return systemCalls().ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL, nullptr) == 0;
}

std::optional<bool> isExclusive(int fd)
{
    int exclusive = 0;
    if (systemCalls().ioctl(fd, TIOCGEXCL, &exclusive) != 0)
        return std::nullopt;
    return exclusive != 0;
}

} // namespace kr52
