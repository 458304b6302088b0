// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace kr52::virt {

// The printer's sixteen 16-bit memory switches, "0" to "F".
class SwitchBank {
public:
    static constexpr int count = 16;

    [[nodiscard]] quint16 value(int switchIndex) const { return m_values.at(std::size_t(switchIndex)); }
    void setValue(int switchIndex, quint16 value) { m_values.at(std::size_t(switchIndex)) = value; }

    // Sets or clears exactly the mask's bits and leaves the others as they are.
    void apply(int switchIndex, bool set, quint16 mask);

    friend bool operator==(const SwitchBank &, const SwitchBank &) = default;

private:
    std::array<quint16, count> m_values{};
};

// The switch designator "0" .. "F" (upper case only) as an index, or nothing.
[[nodiscard]] std::optional<int> switchIndexOf(char designator);
[[nodiscard]] char designatorOf(int switchIndex);
// Four upper-case hex digits, as a mask is written: "000B".
[[nodiscard]] QString hexWord(quint16 value);

} // namespace kr52::virt
