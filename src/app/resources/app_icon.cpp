#include "app/resources/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace tarkemo::app {
namespace {

QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QLinearGradient ground(0, 0, s, s);
    ground.setColorAt(0.0, QColor(40, 40, 40));
    ground.setColorAt(1.0, QColor(110, 110, 110));
    painter.setPen(QPen(QColor(20, 20, 20), s / 32.0));
    painter.setBrush(ground);
    painter.drawRoundedRect(QRectF(s / 32, s / 32, s * 30 / 32, s * 30 / 32), s / 8, s / 8);
    // Particles: bright discs fading to the background, as the program counts them.
    const struct {
        double x, y, r;
    } particles[] = {{0.30, 0.32, 0.13}, {0.68, 0.28, 0.09}, {0.55, 0.62, 0.15}, {0.25, 0.72, 0.08}};
    painter.setPen(Qt::NoPen);
    for (const auto& p : particles) {
        QRadialGradient glow(p.x * s, p.y * s, p.r * s);
        glow.setColorAt(0.0, QColor(255, 255, 255));
        glow.setColorAt(0.6, QColor(200, 200, 200, 220));
        glow.setColorAt(1.0, QColor(120, 120, 120, 0));
        painter.setBrush(glow);
        painter.drawEllipse(QPointF(p.x * s, p.y * s), p.r * s, p.r * s);
    }
    return pixmap;
}

}  // namespace

QIcon TarkemoIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(IconPixmap(size));
    return icon;
}

}  // namespace tarkemo::app
