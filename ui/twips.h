// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/uifont.h"

#include <QWidget>

#include <cmath>

namespace kr52 {

// The windows were designed in twips, 1/1440 inch: 15 make a pixel at 96 dpi.
inline constexpr int twipsPerPixel = 15;

// To the nearest pixel, grown with the desktop's text (layoutScale()).
[[nodiscard]] inline int px(int twips)
{
    return int(std::lround(twips * layoutScale() / twipsPerPixel));
}

// Places a control at left, top with the given size, all in twips, inside its parent.
inline void placeInTwips(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(px(left), px(top), px(width), px(height));
}

} // namespace kr52
