// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "virtual/selftestpage.h"

#include <QImage>

namespace kr52::virt {

// A thermal roll's printable width: 72 mm at 203 dots per inch.
inline constexpr int rollWidthDots = 576;

// The self-test page as it comes out of the printer: black print on a strip of roll paper,
// with a torn edge at the bottom. Needs a QGuiApplication for its fonts.
[[nodiscard]] QImage renderSelfTest(const SelfTestPage &page);

} // namespace kr52::virt
