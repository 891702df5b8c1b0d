#include "app/dialogs/loc_op_size_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tarkemo::app {
namespace {

QComboBox* SizeList(int32_t side, int32_t stored, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (const int32_t size : OddWindowSizes(side)) list->addItem(QString::number(size));
    const std::optional<int> position = WindowListPosition(stored, side);
    list->setCurrentIndex(position ? *position : -1);
    return list;
}

QLineEdit* NumberField(int32_t value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

}  // namespace

LocOpSizeDlg::LocOpSizeDlg(const LocalOpSettings& start, LocalOpKind kind, int32_t width, int32_t height,
                           QWidget* parent)
    : QDialog(parent), kind_(kind), start_(start) {
    setWindowTitle("Tarkemo - Bereich für lokale Operation");
    const bool rank = kind == LocalOpKind::kRank;
    width_ = SizeList(width, start.windowWidth, this);
    height_ = SizeList(height, start.windowHeight, this);
    number_ = NumberField(start.rankOrContrast, this);
    compare_ = NumberField(start.compareWith, this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Breite:", this), 0, 0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(new QLabel("Höhe:", this), 1, 0);
    grid->addWidget(height_, 1, 1);
    grid->addWidget(new QLabel(rank ? "Rangordnung:" : "Max-Min mindestens:", this), 2, 0);
    grid->addWidget(number_, 2, 1);
    auto* compareLabel = new QLabel("sonst vergleichen mit:", this);
    grid->addWidget(compareLabel, 3, 0);
    grid->addWidget(compare_, 3, 1);
    compareLabel->setVisible(!rank);
    compare_->setVisible(!rank);
    auto* shortcuts = new QHBoxLayout;
    minimum_ = new QPushButton("M&inimum", this);
    median_ = new QPushButton("M&edian", this);
    maximum_ = new QPushButton("M&aximum", this);
    for (QPushButton* button : {minimum_, median_, maximum_}) {
        button->setAutoDefault(false);
        button->setVisible(rank);
        shortcuts->addWidget(button);
    }
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton("A&bbrechen", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &LocOpSizeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LocOpSizeDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(shortcuts);
    layout->addWidget(buttons);

    connect(minimum_, &QPushButton::clicked, this, [this] { SetRankFromWindow(0); });
    connect(median_, &QPushButton::clicked, this, [this] { SetRankFromWindow(1); });
    connect(maximum_, &QPushButton::clicked, this, [this] { SetRankFromWindow(2); });
    for (QLineEdit* edit : {number_, compare_})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { Revalidate(edit); });
    for (QComboBox* list : {width_, height_})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { Revalidate(nullptr); });
    Revalidate(number_);
}

std::optional<int32_t> LocOpSizeDlg::Chosen(const QComboBox* list) const {
    if (list->currentIndex() < 0) return std::nullopt;
    return 2 * list->currentIndex() + 1;
}

void LocOpSizeDlg::SetRankFromWindow(int which) {
    const int64_t n = int64_t{Chosen(width_).value_or(0)} * Chosen(height_).value_or(0);
    const int64_t rank = which == 0 ? 1 : (which == 1 ? n / 2 + 1 : n);
    number_->setText(QString::number(rank));
}

// The rank is checked against the window on every change, so OK never passes a rank the chosen
// window cannot hold; the normalisation checks the number field edited last.
void LocOpSizeDlg::Revalidate(const QLineEdit* edited) {
    if (edited != nullptr) lastEdited_ = edited;
    const std::optional<int32_t> width = Chosen(width_);
    const std::optional<int32_t> height = Chosen(height_);
    if (kind_ == LocalOpKind::kRank) {
        ok_->setEnabled(RankInputValid(width, height, number_->text().toStdString()));
    } else {
        ok_->setEnabled(NormalizeInputValid(width, height, lastEdited_->text().toStdString()));
    }
}

LocalOpSettings LocOpSizeDlg::Settings() const {
    LocalOpSettings settings = start_;
    settings.windowWidth = Chosen(width_).value_or(start_.windowWidth);
    settings.windowHeight = Chosen(height_).value_or(start_.windowHeight);
    settings.rankOrContrast = static_cast<int32_t>(UnsignedField(number_->text().toStdString()).value_or(0));
    if (kind_ == LocalOpKind::kNormalize)
        settings.compareWith =
            static_cast<int32_t>(UnsignedField(compare_->text().toStdString()).value_or(0));
    return settings;
}

void LocOpSizeDlg::accept() {
    if (ok_->isEnabled()) QDialog::accept();
}

}  // namespace tarkemo::app
