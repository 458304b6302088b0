// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kr52 {

// Lets assistive tools see the cut-position picture as a slider: its value is the offset the
// line stands for, read as the cut-offset box shows it, and setting a value moves the line as
// the keys do. Calling it again does nothing.
void describeCutPicturesAsSliders();

} // namespace kr52
