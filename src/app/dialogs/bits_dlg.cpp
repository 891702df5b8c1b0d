#include "app/dialogs/bits_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarkemo::app {
namespace {

// The field's value: empty or unreadable counts as 0; anything above 255 as 256.
int FieldValue(const QString& text) {
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) return 0;
        value = value * 10 + c.digitValue();
        if (value > 255) return 256;
    }
    return value;
}

}  // namespace

QString BitsDialogTitle(const QString& menuText) {
    QString clean = menuText;
    clean.remove('&');
    clean.remove('.');
    return "Bitauswahl für " + clean;
}

BitsDlg::BitsDlg(uint8_t& constant, const QString& menuText, BitPreview& preview, QWidget* parent)
    : QDialog(parent), constant_(constant), preview_(preview) {
    setWindowTitle(BitsDialogTitle(menuText));
    decimal_ = new QLineEdit(this);
    decimal_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), decimal_));
    auto* group = new QGroupBox("Gesetzte Bits:", this);
    auto* row = new QHBoxLayout(group);
    for (int bit = 7; bit >= 0; --bit) {
        auto* box = new QCheckBox(QString::number(bit), group);
        bits_[static_cast<size_t>(bit)] = box;
        row->addWidget(box);
        connect(box, &QCheckBox::clicked, this, &BitsDlg::BoxClicked);
    }
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &BitsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BitsDlg::reject);
    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel("Dezimal:", this));
    field->addWidget(decimal_);
    field->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(group);
    connect(decimal_, &QLineEdit::textChanged, this, &BitsDlg::DecimalChanged);
    decimal_->setText(QString::number(constant_));
    DecimalChanged();
}

uint8_t BitsDlg::BoxesValue() const {
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (bits_[static_cast<size_t>(bit)]->isChecked()) value |= 1 << bit;
    }
    return static_cast<uint8_t>(value);
}

void BitsDlg::DecimalChanged() {
    const int value = FieldValue(decimal_->text());
    ok_->setEnabled(value <= 255);
    if (value > 255) return;
    constant_ = static_cast<uint8_t>(value);
    for (int bit = 0; bit < 8; ++bit) {
        const QSignalBlocker quiet(bits_[static_cast<size_t>(bit)]);
        bits_[static_cast<size_t>(bit)]->setChecked((value >> bit & 1) != 0);
    }
    preview_.ShowConstant(constant_);
}

void BitsDlg::BoxClicked() {
    decimal_->setText(QString::number(BoxesValue()));
}

}  // namespace tarkemo::app
