#include "app/shell/info_box.h"

#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>

#include "document/readout_text.h"

namespace tarkemo::app {

InfoBox::InfoBox(QWidget* owner) : QDialog(owner, Qt::Tool) {
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

}  // namespace tarkemo::app
