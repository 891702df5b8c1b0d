#include "app/dialogs/select_manual_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <utility>

namespace tarkemo::app {
namespace {

QLabel* ReadOnlyNumber(int32_t value, QWidget* parent) {
    auto* label = new QLabel(QString::number(value), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

SelectManualDlg::SelectManualDlg(const Marking& lastEntry, int32_t imageWidth, int32_t imageHeight,
                                 MarkingChanged changed, QWidget* parent)
    : QDialog(parent), imageWidth_(imageWidth), imageHeight_(imageHeight), changed_(std::move(changed)) {
    setWindowTitle("Markierung manuell eingeben");
    const ManualFields start = ManualFieldsFor(lastEntry);

    auto* marking = new QGroupBox("Markierung", this);
    auto* markingGrid = new QGridLayout(marking);
    markingGrid->addWidget(new QLabel("Untere, linke Ecke:", marking), 0, 0, 1, 4);
    x_ = AddField(markingGrid, 1, 0, "X:", start.x);
    y_ = AddField(markingGrid, 1, 2, "Y:", start.y);
    markingGrid->addWidget(new QLabel("Abmessungen:", marking), 2, 0, 1, 4);
    width_ = AddField(markingGrid, 3, 0, "Breite:", start.width);
    height_ = AddField(markingGrid, 3, 2, "Höhe:", start.height);

    auto* bitmap = new QGroupBox("Bitmap", this);
    auto* bitmapGrid = new QGridLayout(bitmap);
    bitmapGrid->addWidget(new QLabel("Abmessungen:", bitmap), 0, 0, 1, 4);
    bitmapGrid->addWidget(new QLabel("Breite:", bitmap), 1, 0);
    bitmapGrid->addWidget(ReadOnlyNumber(imageWidth, bitmap), 1, 1);
    bitmapGrid->addWidget(new QLabel("Höhe:", bitmap), 1, 2);
    bitmapGrid->addWidget(ReadOnlyNumber(imageHeight, bitmap), 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectManualDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(marking);
    layout->addWidget(bitmap);
    layout->addWidget(buttons);
    // Wide enough for the window system to show the whole title.
    layout->addSpacerItem(new QSpacerItem(fontMetrics().horizontalAdvance(windowTitle()) + 120, 0));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit* field : {x_, y_, width_, height_}) {
        connect(field, &QLineEdit::textChanged, this, &SelectManualDlg::InputChanged);
    }
    // Filling in the start values counts as a change: the marking follows them at once.
    InputChanged();
    x_->setFocus();
    x_->selectAll();
}

QLineEdit* SelectManualDlg::AddField(QGridLayout* grid, int row, int column, const QString& label,
                                     const std::string& value) {
    auto* edit = new QLineEdit(QString::fromStdString(value), this);
    edit->setAlignment(Qt::AlignRight);
    // Only digits can be typed; pasted text is checked again by the field rules.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("0000000") + 16);
    auto* name = new QLabel(label, this);
    name->setBuddy(edit);
    grid->addWidget(name, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

ManualMarking SelectManualDlg::Entry() const {
    const ManualFields fields{x_->text().toStdString(), y_->text().toStdString(),
                              width_->text().toStdString(), height_->text().toStdString()};
    return ManualMarkingFromFields(fields, imageWidth_, imageHeight_);
}

void SelectManualDlg::InputChanged() {
    const ManualMarking entry = Entry();
    ok_->setEnabled(entry.valid);
    if (changed_) changed_(entry.marking);
}

void SelectManualDlg::accept() {
    if (!Entry().valid) return;
    QDialog::accept();
}

}  // namespace tarkemo::app
