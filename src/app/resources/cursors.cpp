#include "app/resources/cursors.h"

#include <QPainter>
#include <QPixmap>

namespace tarkemo::app {

QCursor ZoomGlassCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A white outline under the black drawing keeps the glass visible on dark and bright images.
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 4.0}, std::pair{QColor(Qt::black), 2.0}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(12, 12), 8, 8);
        painter.drawLine(QPointF(18, 18), QPointF(28, 28));
    }
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(8, 12), QPointF(16, 12));
    painter.drawLine(QPointF(12, 8), QPointF(12, 16));
    painter.end();
    return QCursor(pixmap, 12, 12);
}

}  // namespace tarkemo::app
