#include "app/dialogs/particle_params_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <limits>

namespace tarkemo::app {

std::optional<uint32_t> ReadUnsignedField(const QString& text) {
    uint64_t value = 0;
    for (const QChar c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - '0');
        if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

ParticleParamsDlg::ParticleParamsDlg(const ParticleParams& start, ThresholdPreview& preview, QWidget* parent)
    : QDialog(parent), preview_(preview) {
    setWindowTitle("Partikel-Parameter");
    auto* grid = new QGridLayout;
    minGray_ = AddRow(grid, 0, "Minimaler Grauwert:", "(1-255)", start.minGray);
    minArea_ = AddRow(grid, 1, "Minimale Fläche:", "Pixel ²", start.minArea);
    maxArea_ = AddRow(grid, 2, "Maximale Fläche:", "Pixel ²", start.maxArea);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("A&bbrechen", QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ParticleParamsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setSizeGripEnabled(false);

    // Connected only now, so that filling the fields above does not preview three times.
    connect(minGray_, &QLineEdit::textChanged, this, [this] { InputChanged(true); });
    connect(minArea_, &QLineEdit::textChanged, this, [this] { InputChanged(false); });
    connect(maxArea_, &QLineEdit::textChanged, this, [this] { InputChanged(false); });
    InputChanged(true);
}

QLineEdit* ParticleParamsDlg::AddRow(QGridLayout* grid, int row, const QString& label, const QString& unit,
                                     uint32_t value) {
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setAlignment(Qt::AlignRight);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("0000000000") + 12);
    auto* name = new QLabel(label, this);
    name->setBuddy(edit);
    grid->addWidget(name, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(unit, this), row, 2);
    return edit;
}

std::optional<ParticleParams> ParticleParamsDlg::Params() const {
    const std::optional<uint32_t> minGray = ReadUnsignedField(minGray_->text());
    const std::optional<uint32_t> minArea = ReadUnsignedField(minArea_->text());
    const std::optional<uint32_t> maxArea = ReadUnsignedField(maxArea_->text());
    if (!minGray || !minArea || !maxArea) return std::nullopt;
    const ParticleParams params{*minGray, *minArea, *maxArea};
    if (!ParticleParamsValid(params)) return std::nullopt;
    return params;
}

void ParticleParamsDlg::InputChanged(bool grayField) {
    const std::optional<ParticleParams> params = Params();
    ok_->setEnabled(params.has_value());
    if (!params) {
        preview_.ShowOwnColours();
    } else if (grayField) {
        preview_.ShowThreshold(params->minGray);
    }
    // A valid change of an area field leaves the colours as they are until the threshold changes.
}

void ParticleParamsDlg::accept() {
    if (!Params()) return;
    QDialog::accept();
}

void ParticleParamsDlg::done(int result) {
    preview_.ShowOwnColours();
    QDialog::done(result);
}

}  // namespace tarkemo::app
