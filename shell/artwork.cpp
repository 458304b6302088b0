// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/artwork.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>

namespace kr52 {

QPixmap pngPicture(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon windowIconPictures()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(pngPicture(QStringLiteral(":/art/icon%1.png").arg(size)));
    return icon;
}

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

} // namespace kr52
