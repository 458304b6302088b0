// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace kr52 {

// The windows were designed in twips, 1/1440 inch: 15 make a pixel at 96 dpi.
inline constexpr int twipsPerPixel = 15;

[[nodiscard]] constexpr int px(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

// Places a control at left, top with the given size, all in twips, inside its parent.
inline void placeInTwips(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(px(left), px(top), px(width), px(height));
}

} // namespace kr52
