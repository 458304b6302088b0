// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/artwork.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>
#include <QWidget>

namespace kr52 {

QPixmap pngPicture(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

namespace {

// The window icon, read from its pictures only when someone first asks for it: a desktop asks
// when the window is made, the offscreen platform never, and the first frame needs no icon.
class WindowIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new WindowIconEngine; }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull()) {
            for (int size : {16, 32, 48})
                m_icon.addPixmap(pngPicture(QStringLiteral(":/art/icon%1.png").arg(size)));
        }
        return m_icon;
    }

    QIcon m_icon;
};

} // namespace

QIcon windowIconPictures()
{
    return QIcon(new WindowIconEngine);
}

namespace {

QPixmap drawnAtSize(const QString &drawing, const QWidget *control)
{
    const qreal ratio = control->devicePixelRatioF();
    QPixmap pixmap(control->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(drawing).render(&painter, QRectF(QPointF(0, 0), QSizeF(control->size())));
    return pixmap;
}

} // namespace

QImage printerRenderedAhead()
{
    constexpr QSize size(160, 132);
    const QResource pixels(QStringLiteral(":/art/printer.rgba"));
    if (pixels.compressionAlgorithm() != QResource::NoCompression ||
        pixels.size() != qint64{4} * size.width() * size.height())
        return {};
    // The resource's bytes stay where they are; the pixmap made from the image copies them.
    return QImage(pixels.data(), size.width(), size.height(), QImage::Format_RGBA8888);
}

QPixmap printerPicture(const QWidget *label)
{
    // Parsing and drawing the SVG took a twentieth of the window's start.
    if (const QImage ahead = printerRenderedAhead(); label->devicePixelRatioF() == 1.0 && label->size() == ahead.size())
        return QPixmap::fromImage(ahead);
    return drawnAtSize(QStringLiteral(":/art/printer.svg"), label);
}

} // namespace kr52
