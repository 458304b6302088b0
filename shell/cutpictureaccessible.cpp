// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cutpictureaccessible.h"

#include "shell/cutpicture.h"

#include <QAccessibleWidget>

#include <algorithm>
#include <cmath>

namespace kr52 {

namespace {

class CutPictureAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CutPictureAccessible(CutPicture *picture) : QAccessibleWidget(picture, QAccessible::Slider) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? picture()->offsetText() : QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return picture()->offset(); }
    QVariant minimumValue() const override { return picture()->lowestOffset(); }
    QVariant maximumValue() const override { return picture()->highestOffset(); }
    QVariant minimumStepSize() const override { return 0.1; }

    void setCurrentValue(const QVariant &value) override
    {
        const double wanted = value.toDouble();
        if (std::isnan(wanted))
            return;
        const double within = std::clamp(wanted, picture()->lowestOffset(), picture()->highestOffset());
        emit picture()->offsetStep(int(std::lround((within - picture()->offset()) * 10.0)));
    }

private:
    CutPicture *picture() const { return static_cast<CutPicture *>(widget()); }
};

QAccessibleInterface *cutPictureFactory(const QString &className, QObject *object)
{
    auto *picture = qobject_cast<CutPicture *>(object);
    if (!picture || className != QLatin1String(CutPicture::staticMetaObject.className()))
        return nullptr;
    return new CutPictureAccessible(picture);
}

} // namespace

void describeCutPicturesAsSliders()
{
    static const bool installed = [] {
        QAccessible::installFactory(cutPictureFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kr52
