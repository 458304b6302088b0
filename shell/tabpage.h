// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace kr52 {

// A page of the main window's tab control. Its controls are laid out in the tab control's own
// coordinates, counted from its top-left corner with the tab row included, so they sit on
// canvas(), which keeps itself placed so that those coordinates land where they should
// whatever height the style gives the tab row.
class TabPage : public QWidget {
    Q_OBJECT

public:
    explicit TabPage(QWidget *tabControl);
    [[nodiscard]] QWidget *canvas() const { return m_canvas; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void alignCanvas();

    QWidget *m_tabControl;
    QWidget *m_canvas;
};

} // namespace kr52
