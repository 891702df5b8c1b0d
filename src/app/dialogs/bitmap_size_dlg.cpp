#include "app/dialogs/bitmap_size_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/shell/prompter.h"

namespace tarkemo::app {
namespace {

QComboBox* SizeBox(std::optional<int32_t> side, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const int32_t entry : SizeListEntries(side)) box->addItem(QString::number(entry));
    return box;
}

QLineEdit* DigitsEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

}  // namespace

BitmapSizeDlg::BitmapSizeDlg(const SizeSettings& start, std::optional<ImageExtent> image, Prompter& prompter,
                             QWidget* parent)
    : QDialog(parent), image_(image), prompter_(prompter), settings_(start) {
    setWindowTitle("Tarkemo - Bitmapgröße");
    BuildControls();
    ShowStart(start);
    UpdateEnabling();
    Revalidate();
    for (QComboBox* box : {width_, height_})
        connect(box, &QComboBox::editTextChanged, this, [this] { Revalidate(); });
    for (QLineEdit* edit : {offsetX_, offsetY_, gray_})
        connect(edit, &QLineEdit::textChanged, this, [this] { Revalidate(); });
    for (QCheckBox* box : {centreX_, centreY_, meanGray_}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            UpdateEnabling();
            Revalidate();
        });
    }
    for (QRadioButton* button : {grayButton_, algorithmButton_}) {
        connect(button, &QRadioButton::toggled, this, [this] {
            UpdateEnabling();
            Revalidate();
        });
    }
    connect(rules_, &QComboBox::currentIndexChanged, this, [this] { Revalidate(); });
}

void BitmapSizeDlg::BuildControls() {
    auto* sizeGroup = new QGroupBox("Neue Größe:", this);
    auto* sizeRow = new QHBoxLayout(sizeGroup);
    width_ = SizeBox(image_ ? std::optional<int32_t>(image_->width) : std::nullopt, sizeGroup);
    height_ = SizeBox(image_ ? std::optional<int32_t>(image_->height) : std::nullopt, sizeGroup);
    sizeRow->addWidget(new QLabel("Breite:", sizeGroup));
    sizeRow->addWidget(width_);
    sizeRow->addWidget(new QLabel("X", sizeGroup));
    sizeRow->addWidget(new QLabel("Höhe:", sizeGroup));
    sizeRow->addWidget(height_);

    auto* offsetGroup = new QGroupBox("Offset der alten Bitmap innerhalb der neuen:", this);
    auto* offsetGrid = new QGridLayout(offsetGroup);
    offsetX_ = DigitsEdit(offsetGroup);
    offsetY_ = DigitsEdit(offsetGroup);
    centreX_ = new QCheckBox("Zentrieren", offsetGroup);
    centreY_ = new QCheckBox("Zentrieren", offsetGroup);
    offsetGrid->addWidget(new QLabel("X:", offsetGroup), 0, 0);
    offsetGrid->addWidget(offsetX_, 0, 1);
    offsetGrid->addWidget(new QLabel("Y:", offsetGroup), 0, 2);
    offsetGrid->addWidget(offsetY_, 0, 3);
    offsetGrid->addWidget(centreX_, 1, 1);
    offsetGrid->addWidget(centreY_, 1, 3);

    auto* fillGroup = new QGroupBox("Entstehenden Rand auffüllen mit:", this);
    auto* fillGrid = new QGridLayout(fillGroup);
    grayButton_ = new QRadioButton("Grauwert:", fillGroup);
    gray_ = DigitsEdit(fillGroup);
    meanGray_ = new QCheckBox("Mittlerer Grauwert der bisherigen Bitmap", fillGroup);
    algorithmButton_ = new QRadioButton("Algorithmus:", fillGroup);
    rules_ = new QComboBox(fillGroup);
    rules_->addItems({"Spiegeln inklusive Randpixel", "Spiegeln ohne Randpixel", "Periodisch wiederholen",
                      "Lokale Mittelwerte"});
    fillGrid->addWidget(grayButton_, 0, 0);
    fillGrid->addWidget(gray_, 0, 1);
    fillGrid->addWidget(new QLabel("(0-255)", fillGroup), 0, 2);
    fillGrid->addWidget(meanGray_, 1, 0, 1, 3);
    fillGrid->addWidget(algorithmButton_, 2, 0);
    fillGrid->addWidget(rules_, 2, 1, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton("A&bbrechen", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &BitmapSizeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BitmapSizeDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeGroup);
    layout->addWidget(offsetGroup);
    layout->addWidget(fillGroup);
    layout->addWidget(buttons);
}

void BitmapSizeDlg::ShowStart(const SizeSettings& start) {
    width_->setEditText(QString::number(start.width));
    height_->setEditText(QString::number(start.height));
    offsetX_->setText(QString::number(start.offsetX));
    offsetY_->setText(QString::number(start.offsetY));
    centreX_->setChecked(start.centreX);
    centreY_->setChecked(start.centreY);
    const int32_t rule = DialogFillRule(start.fillRule);
    algorithmButton_->setChecked(rule < 0);
    grayButton_->setChecked(rule >= 0);
    rules_->setCurrentIndex(rule < 0 ? -rule - 1 : 0);
    meanGray_->setChecked(rule == 256);
    gray_->setText(QString::number(rule >= 0 && rule <= 255 ? rule : 0));
}

void BitmapSizeDlg::UpdateEnabling() {
    offsetX_->setEnabled(!centreX_->isChecked());
    offsetY_->setEnabled(!centreY_->isChecked());
    const bool byGray = grayButton_->isChecked();
    rules_->setEnabled(!byGray);
    meanGray_->setEnabled(byGray);
    gray_->setEnabled(byGray && !meanGray_->isChecked());
}

SizeDialogFields BitmapSizeDlg::Fields() const {
    SizeDialogFields fields;
    fields.width = width_->currentText().toStdString();
    fields.height = height_->currentText().toStdString();
    fields.offsetX = offsetX_->text().toStdString();
    fields.offsetY = offsetY_->text().toStdString();
    fields.centreX = centreX_->isChecked();
    fields.centreY = centreY_->isChecked();
    fields.algorithm = algorithmButton_->isChecked();
    fields.rulePosition = rules_->currentIndex();
    fields.meanGray = meanGray_->isChecked();
    fields.gray = gray_->text().toStdString();
    return fields;
}

void BitmapSizeDlg::Revalidate() {
    ok_->setEnabled(SizeFieldsValid(Fields(), image_));
}

bool BitmapSizeDlg::RaiseSidesToPowersOfTwo() {
    bool changed = false;
    for (QComboBox* box : {width_, height_}) {
        const int64_t value = box->currentText().toLongLong();
        const int64_t raised = RaiseToPowerOfTwo(value);
        if (raised == value) continue;
        box->setEditText(QString::number(raised));
        changed = true;
    }
    return changed;
}

void BitmapSizeDlg::accept() {
    if (!SizeFieldsValid(Fields(), image_)) return;
    if (!image_ && RaiseSidesToPowersOfTwo()) {
        prompter_.Message(MessageRequest{kPowerOfTwoText, kPowerOfTwoCaption, MessageIcon::kInformation,
                                         MessageButtons::kOk, Answer::kOk});
        return;
    }
    settings_ = SettingsFromFields(Fields());
    QDialog::accept();
}

}  // namespace tarkemo::app
