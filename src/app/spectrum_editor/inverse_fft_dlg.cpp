#include "app/spectrum_editor/inverse_fft_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/spectrum_editor/input_number_dlg.h"

namespace tarkemo::app {

InverseFFTDlg::InverseFFTDlg(InversePreview& preview, QWidget* parent) : QDialog(parent), preview_(preview) {
    setWindowTitle("Tarkemo - Inverse DFT");
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Abbrechen", QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &InverseFFTDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeSourceGroup());
    layout->addWidget(MakeSignGroup());
    layout->addWidget(MakeScaleGroup());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Filling in the defaults is a change like any other: the preview is there at once.
    add_->blockSignals(true);
    add_->setText("0");
    add_->blockSignals(false);
    multiplier_->setText("1");
}

QWidget* InverseFFTDlg::MakeSourceGroup() {
    auto* group = new QGroupBox("Pixeldaten erzeugen aus:", this);
    auto* column = new QVBoxLayout(group);
    sources_ = new QButtonGroup(this);
    const std::pair<const char*, InverseSource> choices[] = {{"&Betrag", InverseSource::kMagnitude},
                                                             {"&Phase", InverseSource::kPhase},
                                                             {"&Realteil", InverseSource::kReal},
                                                             {"&Imaginärteil", InverseSource::kImaginary}};
    for (const auto& [text, source] : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), group);
        sources_->addButton(radio, static_cast<int>(source));
        column->addWidget(radio);
    }
    sources_->button(static_cast<int>(InverseSource::kReal))->setChecked(true);
    connect(sources_, &QButtonGroup::idClicked, this, &InverseFFTDlg::SettingsChanged);
    return group;
}

QWidget* InverseFFTDlg::MakeSignGroup() {
    auto* group = new QGroupBox("Vorzeichen:", this);
    auto* row = new QHBoxLayout(group);
    add_ = new QLineEdit(group);
    absolute_ = new QCheckBox("B&etrag bilden", group);
    row->addWidget(add_);
    row->addWidget(new QLabel("addieren, dann", group));
    row->addWidget(absolute_);
    connect(add_, &QLineEdit::textChanged, this, &InverseFFTDlg::SettingsChanged);
    connect(absolute_, &QCheckBox::clicked, this, &InverseFFTDlg::SettingsChanged);
    return group;
}

QWidget* InverseFFTDlg::MakeScaleGroup() {
    auto* group = new QGroupBox("Skalieren", this);
    auto* row = new QHBoxLayout(group);
    multiplier_ = new QLineEdit(group);
    normalise_ = new QCheckBox("&Normalisieren", group);
    row->addWidget(new QLabel("Multiplizieren mit:", group));
    row->addWidget(multiplier_);
    row->addWidget(normalise_);
    connect(multiplier_, &QLineEdit::textChanged, this, &InverseFFTDlg::SettingsChanged);
    connect(normalise_, &QCheckBox::clicked, this, [this] {
        multiplier_->setEnabled(!normalise_->isChecked());
        SettingsChanged();
    });
    return group;
}

QAbstractButton* InverseFFTDlg::SourceButton(InverseSource source) const {
    return sources_->button(static_cast<int>(source));
}

std::optional<InverseSettings> InverseFFTDlg::Settings() const {
    const std::optional<float> add = ReadNumberField(add_->text(), false, false);
    const std::optional<float> multiplier = ReadNumberField(multiplier_->text(), false, false);
    if (!add || !multiplier) return std::nullopt;
    InverseSettings settings;
    settings.source = static_cast<InverseSource>(sources_->checkedId());
    settings.add = *add;
    settings.absolute = absolute_->isChecked();
    settings.multiplier = *multiplier;
    settings.normalise = normalise_->isChecked();
    return settings;
}

void InverseFFTDlg::SettingsChanged() {
    // Both fields are filled in by the constructor; until then there is nothing to show.
    if (multiplier_ == nullptr || ok_ == nullptr) return;
    const std::optional<InverseSettings> settings = Settings();
    ok_->setEnabled(settings.has_value());
    if (settings) preview_.ShowInverse(*settings);
}

void InverseFFTDlg::accept() {
    if (!Settings()) return;
    QDialog::accept();
}

}  // namespace tarkemo::app
