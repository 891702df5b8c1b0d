#include "app/dialogs/about_box.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/resources/app_icon.h"
#include "tarkemo_version.h"

namespace tarkemo::app {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Über Tarkemo");
    auto* icon = new QLabel(this);
    icon->setPixmap(TarkemoIcon().pixmap(64, 64));
    auto* text = new QLabel(QString("<b>Tarkemo</b> Version %1<br><br>"
                                    "Untersuchung und Bearbeitung von Bildern mit 256 Graustufen<br>"
                                    "und Zählung der Partikel darin.")
                                .arg(QString::fromUtf8(kVersion)),
                            this);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // A fixed dialog like every other message of the program: nothing to resize or maximise.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tarkemo::app
