#include "app/spectrum_editor/input_number_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/number_text.h"

namespace tarkemo::app {
namespace {

QString Shown(float value) {
    return QString::fromStdString(FormatSevenDigits(value));
}

}  // namespace

std::optional<float> ReadNumberField(const QString& text, bool notNegative, bool positive) {
    float value = 0;
    if (!text.isEmpty()) {
        const std::optional<double> read = ParseRealText(text.toStdString());
        if (!read) return std::nullopt;
        value = static_cast<float>(*read);
    }
    if (notNegative && value < 0) return std::nullopt;
    if (positive && !(value > 0)) return std::nullopt;
    return value;
}

InputNumberDlg::InputNumberDlg(NumberRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
    setWindowTitle("Tarkemo - Eingabe");
    auto* grid = new QGridLayout;
    firstEdit_ = new QLineEdit(Shown(request.first), this);
    grid->addWidget(new QLabel(request.firstLabel, this), 0, 0);
    grid->addWidget(firstEdit_, 0, 1);
    secondEdit_ = new QLineEdit(Shown(request.second), this);
    auto* secondLabel = new QLabel(request.secondLabel, this);
    grid->addWidget(secondLabel, 1, 0);
    grid->addWidget(secondEdit_, 1, 1);
    const bool two = !request.secondLabel.isEmpty();
    secondLabel->setVisible(two);
    secondEdit_->setVisible(two);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &InputNumberDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(firstEdit_, &QLineEdit::textChanged, this, &InputNumberDlg::FieldsChanged);
    connect(secondEdit_, &QLineEdit::textChanged, this, &InputNumberDlg::FieldsChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(request.prompt, this));
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FieldsChanged();
}

std::optional<float> InputNumberDlg::First() const {
    return ReadNumberField(firstEdit_->text(), request_.firstNotNegative, request_.firstPositive);
}

std::optional<float> InputNumberDlg::Second() const {
    return ReadNumberField(secondEdit_->text(), request_.secondNotNegative, request_.secondPositive);
}

void InputNumberDlg::FieldsChanged() {
    ok_->setEnabled(First() && Second());
}

void InputNumberDlg::accept() {
    const std::optional<float> first = First(), second = Second();
    if (!first || !second) return;
    request_.first = *first;
    if (!request_.secondLabel.isEmpty()) request_.second = *second;
    QDialog::accept();
}

}  // namespace tarkemo::app
