// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace kr52 {

// A straight line inside a picture, as a line control has it: its ends X1, Y1 and X2, Y2 in the
// picture's scale, its colour and width. The picture draws it.
class LineControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(double X1 MEMBER m_x1 NOTIFY changed)
    Q_PROPERTY(double Y1 MEMBER m_y1 NOTIFY changed)
    Q_PROPERTY(double X2 MEMBER m_x2 NOTIFY changed)
    Q_PROPERTY(double Y2 MEMBER m_y2 NOTIFY changed)
    Q_PROPERTY(QColor BorderColor MEMBER m_color NOTIFY changed)
    Q_PROPERTY(int BorderWidth MEMBER m_width NOTIFY changed)

public:
    using QObject::QObject;
    [[nodiscard]] double y1() const { return m_y1; }
    [[nodiscard]] double y2() const { return m_y2; }
    [[nodiscard]] double x1() const { return m_x1; }
    [[nodiscard]] double x2() const { return m_x2; }
    [[nodiscard]] QColor color() const { return m_color; }
    [[nodiscard]] int width() const { return m_width; }
    // Moves both ends to one height, as the adjuster always does.
    void setHeight(double y);
    void setEnds(double x1, double x2);

signals:
    void changed();

private:
    double m_x1 = 0;
    double m_y1 = 0;
    double m_x2 = 0;
    double m_y2 = 0;
    QColor m_color = Qt::red;
    int m_width = 1;
};

// The paper-strip picture of the cut-position adjuster. Heights are in its own scale: 0 at the
// top edge, one unit 27.5453 twips (1.83635 pixels at 96 dpi), growing downward. It reports
// presses, moves and releases with the pointer's height in that scale, as a real number; Qt
// keeps sending moves and the release to it after a press even when the pointer has left it.
// With the focus it also takes the keys that move the line, and shows a focus mark.
class CutPicture : public QWidget {
    Q_OBJECT

public:
    static constexpr double pixelsPerUnit = 27.5453 / 15.0;
    static constexpr double unitsPerWidthPixel = 1.0 / 26.0;

    explicit CutPicture(const QPixmap &strip, QWidget *parent = nullptr);
    [[nodiscard]] LineControl *line() const { return m_line; }

    // What assistive tools read as the picture's value: the offset in millimetres that the line
    // stands for, with its text as the cut-offset box shows it, within the adjuster's range.
    void setOffset(double millimetres, const QString &text);
    void setOffsetRange(double lowest, double highest);
    [[nodiscard]] double offset() const { return m_offset; }
    [[nodiscard]] QString offsetText() const { return m_offsetText; }
    [[nodiscard]] double lowestOffset() const { return m_lowest; }
    [[nodiscard]] double highestOffset() const { return m_highest; }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, float x, float y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
    // A key, or an assistive tool, moving the line: by tenths of a millimetre from where it is,
    // or to zero.
    void offsetStep(int tenths);
    void offsetHome();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap m_strip;
    double m_scale; // the window's growth with the desktop's text (1 as designed)
    LineControl *m_line;
    double m_offset = 0;
    QString m_offsetText;
    double m_lowest = 0;
    double m_highest = 0;
};

} // namespace kr52
