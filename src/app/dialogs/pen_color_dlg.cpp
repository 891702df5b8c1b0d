#include "app/dialogs/pen_color_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <limits>

namespace tarkemo::app {

std::optional<int64_t> ReadIndexField(const QString& text) {
    int64_t value = 0;
    for (const QChar c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    return value;
}

std::optional<PenColours> PenColoursFromFields(const QString& left, const QString& right) {
    const std::optional<int64_t> l = ReadIndexField(left);
    const std::optional<int64_t> r = ReadIndexField(right);
    if (!l || !r || *l > 255 || *r > 255) return std::nullopt;
    return PenColours{static_cast<uint8_t>(*l), static_cast<uint8_t>(*r)};
}

PenColorDlg::PenColorDlg(int left, int right, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Tarkemo - Farbauswahl");
    left_ = NumberField(left);
    right_ = NumberField(right);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Palettenindex (0-255) für Maustaste:", this), 0, 0, 1, 2);
    grid->addWidget(new QLabel("links", this), 1, 0, Qt::AlignHCenter);
    grid->addWidget(new QLabel("rechts", this), 1, 1, Qt::AlignHCenter);
    grid->addWidget(left_, 2, 0);
    grid->addWidget(right_, 2, 1);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PenColorDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    // Wide enough for the window system to show the whole title.
    layout->addSpacerItem(new QSpacerItem(fontMetrics().horizontalAdvance(windowTitle()) + 120, 0));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(left_, &QLineEdit::textChanged, this, &PenColorDlg::InputChanged);
    connect(right_, &QLineEdit::textChanged, this, &PenColorDlg::InputChanged);
    InputChanged();
    left_->setFocus();
    left_->selectAll();
}

QLineEdit* PenColorDlg::NumberField(int value) {
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setAlignment(Qt::AlignRight);
    // A number field: only digits can be typed; pasted text is checked again by ReadIndexField.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setMaxLength(10);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("00000") + 16);
    return edit;
}

std::optional<PenColours> PenColorDlg::Colours() const {
    return PenColoursFromFields(left_->text(), right_->text());
}

void PenColorDlg::InputChanged() {
    ok_->setEnabled(Colours().has_value());
}

void PenColorDlg::accept() {
    if (!Colours()) return;
    QDialog::accept();
}

}  // namespace tarkemo::app
