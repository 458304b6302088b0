#include "shell/uifont.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace kr52 {

QFont uiFont(double pointSize, bool bold)
{
    static const bool substituted = [] {
        const QString face = QStringLiteral("MS Sans Serif");
        if (!QFontDatabase::hasFamily(face))
            QFont::insertSubstitution(face, QGuiApplication::font().family());
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace kr52
