#include "app/shell/info_box.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "document/readout_text.h"

namespace tarkemo::app {

// The box belongs to the main window for its whole life, so it asks for a title bar without a
// close button; where the window system shows one anyway, closing is refused.
InfoBox::InfoBox(QWidget* owner) : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle("InfoBox");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Mauszeigerposition:", this));
    xLine_ = new QLabel(this);
    yLine_ = new QLabel(this);
    grayLine_ = new QLabel(this);
    for (QLabel* line : {xLine_, yLine_, grayLine_}) {
        line->setTextFormat(Qt::PlainText);
        layout->addWidget(line);
    }
    // Wide enough for the longest line ("X:  8192  (8192)") so the box does not jump while moving.
    setMinimumWidth(fontMetrics().horizontalAdvance("Mauszeigerposition:  ") + 40);
    const ReadoutLines start = ReadoutText(ReadoutSituation::NoImage, {});
    SetLines(QString::fromStdString(start.xLine), QString::fromStdString(start.yLine),
             QString::fromStdString(start.grayLine));
}

void InfoBox::SetLines(const QString& xLine, const QString& yLine, const QString& grayLine) {
    xLine_->setText(xLine);
    yLine_->setText(yLine);
    grayLine_->setText(grayLine);
}

QString InfoBox::XLine() const {
    return xLine_->text();
}

QString InfoBox::YLine() const {
    return yLine_->text();
}

QString InfoBox::GrayLine() const {
    return grayLine_->text();
}

void InfoBox::reject() {}

void InfoBox::closeEvent(QCloseEvent* event) {
    event->ignore();
}

QPoint InfoBoxPosition(const QRect& mainFrame, const QRect& mainClient, const QSize& box,
                       const QRect& available) {
    constexpr int kGap = 8;
    QPoint position(mainFrame.right() + 1 + kGap, mainFrame.top());
    if (!available.isValid()) return position;
    // Right and bottom first, so that on a screen too small for the box its title bar stays visible.
    const QSize frame = box + (mainFrame.size() - mainClient.size());
    position.setX(std::max(std::min(position.x(), available.right() + 1 - frame.width()), available.left()));
    position.setY(std::max(std::min(position.y(), available.bottom() + 1 - frame.height()), available.top()));
    return position;
}

}  // namespace tarkemo::app
