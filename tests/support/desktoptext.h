// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QFont>

// The desktop's text size as the platform hands it to the program, for as long as it lives.
class DesktopText {
public:
    explicit DesktopText(double points) : m_before(QApplication::font())
    {
        QFont font = m_before;
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }
    ~DesktopText() { QApplication::setFont(m_before); }
    DesktopText(const DesktopText &) = delete;
    DesktopText &operator=(const DesktopText &) = delete;

private:
    QFont m_before;
};
