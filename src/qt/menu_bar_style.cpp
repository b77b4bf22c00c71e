#include "qt/menu_bar_style.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace zemtori {

namespace {

// A double chevron pointing right (or down), in the text colour.
QIcon overflow_arrow(bool down, const QColor& colour) {
    QIcon icon;
    for (const int size : {8, 16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(colour, size / 8.0 + 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (down) p.translate(size, 0), p.rotate(90);
        for (const double x : {size * 0.2, size * 0.5}) {
            const QPointF points[] = {{x, size * 0.2}, {x + size * 0.3, size * 0.5}, {x, size * 0.8}};
            p.drawPolyline(points, 3);
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon MenuBarStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton) {
        const QPalette palette = widget ? widget->palette() : standardPalette();
        return overflow_arrow(icon == SP_ToolBarVerticalExtensionButton, palette.color(QPalette::ButtonText));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

}  // namespace zemtori
