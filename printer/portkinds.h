// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>

#include <optional>
#include <span>

namespace kr52 {

// What the main window's cmode holds: the link its printer actions use. The values are the
// window's property values and stay as they are.
namespace LinkMode {
inline constexpr qint16 None = 0;
inline constexpr qint16 Serial = 1;
inline constexpr qint16 Parallel = 2;
} // namespace LinkMode

// The kind of device a port name stands for: a serial line for "COMn:", a printer for "LPTn:".
enum class PortKind { Serial, Printer };

// One kind of port. Everything that differs between "COMn:" and "LPTn:" is a field here.
struct PortKindInfo {
    PortKind kind;
    QLatin1StringView prefix;        // "COM" in "COM3:"
    int offered;                     // the port dialog and kr52ctl offer prefix1: .. prefix<offered>:
    QLatin1StringView defaultDevice; // port n is this followed by n - 1: "/dev/ttyS" + "2" for "COM3:"
    QLatin1StringView variable;      // port n is overridden by this followed by n: "KR52_COM3"
    qint16 linkMode;                 // the cmode value of a port of this kind
};

[[nodiscard]] std::span<const PortKindInfo> portKinds();
[[nodiscard]] const PortKindInfo &portKindInfo(PortKind kind);

// A port name taken apart: "LPT2:" is the printer kind, number 2.
struct PortName {
    const PortKindInfo *kind = nullptr;
    int number = 0;

    [[nodiscard]] QString text() const;          // "LPT2:"
    [[nodiscard]] QString defaultDevice() const; // "/dev/lp1"
    [[nodiscard]] QString variable() const;      // "KR52_LPT2"
    [[nodiscard]] bool offered() const { return number <= kind->offered; }
};

// "COM1:" .. "COM9:" and "LPT1:" .. "LPT9:", exactly so written; nothing for any other text,
// which is then a device path used as it stands.
[[nodiscard]] std::optional<PortName> parsePortName(const QString &text);

} // namespace kr52
