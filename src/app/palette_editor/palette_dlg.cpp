#include "app/palette_editor/palette_dlg.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

#include "app/dialogs/pen_color_dlg.h"
#include "app/palette_editor/palette_canvas.h"
#include "image/palette_files.h"

namespace tarkemo::app {
namespace {

const char* const kLoadCaption = "Tarkemo - Palette einladen";
const char* const kSqueezeQuestion =
    "Sie haben einen Farbbereich markiert. Die neu eingeladene Farbpalette wird\n"
    "grundsätzlich nur in diesem Bereich eingefügt.\n\n"
    "Wollen Sie die neu eingeladene Palette auf die Breite der Markierung stauchen?";
const char* const kMoveQuestion =
    "Da die neu eingeladene Palette nicht gestaucht werden soll, beinhaltet sie mehr neue Farbwerte\n"
    "als die Markierung breit ist. Alle Einträge, die sich außerhalb dieser Markierung befinden, werden\n"
    "abgeschnitten.\n\n"
    "Soll der Anfang der neuen Palettenwerte an den Anfang der Markierung verschoben werden?";

// The client area left free for the drawing square: the square from (10, 10) to (265, 265), its
// frame one pixel around it, and a margin of ten pixels.
constexpr int kSquareArea = 276;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

FileRequest PaletteFileRequest(FileRequest::Mode mode) {
    FileRequest request;
    request.mode = mode;
    request.filters = FiltersWithAllFiles("Paletten-Dateien (*.PAL)", "*.pal");
    request.defaultSuffix = "pal";
    request.confirmOverwrite = true;
    return request;
}

Answer AskLoadQuestion(Prompter& prompter, const char* text) {
    return prompter.Message(MessageRequest{QString::fromUtf8(text), kLoadCaption, MessageIcon::kQuestion,
                                           MessageButtons::kYesNoCancel, Answer::kYes});
}

QPushButton* PlainButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    // Enter belongs to the exponent field: no button is ever pressed by it.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

PaletteDlg::PaletteDlg(PaletteEditorHost& host, ColourRange& range, QWidget* parent)
    : QDialog(parent), host_(host), state_(range) {
    setWindowTitle("Tarkemo - Palette bearbeiten");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    state_.histogram = ComputeGrayHistogram(host_.Bitmap());
    host_.ShowGrayLine("  (Grauwerte)");
    canvas_ = new PaletteCanvas(state_, host_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_);
    BuildMenus();
    BuildButtons();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PaletteDlg::~PaletteDlg() = default;

void PaletteDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Showing a modal dialog makes the main window's view report the pointer as gone, which rewrites
    // the InfoBox; the editor's gray line goes in after that.
    QTimer::singleShot(0, this, [this] { host_.ShowGrayLine("  (Grauwerte)"); });
}

QWidget& PaletteDlg::Canvas() {
    return *canvas_;
}

QAction* PaletteDlg::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QPushButton* PaletteDlg::Button(const QString& text) const {
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->text() == text) return button;
    }
    return nullptr;
}

void PaletteDlg::BuildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    const auto add = [this](QMenu* menu, int id, const QString& text, void (PaletteDlg::*slot)()) {
        QAction* action = menu->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, this, slot);
        actions_[id] = action;
    };
    QMenu* file = bar->addMenu("&Datei");
    add(file, 40001, "Palette &öffnen...", &PaletteDlg::Load);
    add(file, 40003, "Palette &speichern...", &PaletteDlg::Save);
    QMenu* marking = bar->addMenu("&Markierung");
    add(marking, 40032, "&Manuell eingeben...", &PaletteDlg::EnterRange);
    add(marking, 40044, "&Löschen", &PaletteDlg::ClearRange);
    // Removing a range does something only while one is marked.
    connect(marking, &QMenu::aboutToShow, this,
            [this] { actions_[40044]->setEnabled(state_.range.Marked()); });
}

void PaletteDlg::BuildButtons() {
    auto* grid = new QGridLayout(canvas_);
    grid->setContentsMargins(0, 0, 10, 10);
    grid->addItem(new QSpacerItem(kSquareArea, kSquareArea, QSizePolicy::Fixed, QSizePolicy::Fixed), 0, 0);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 10, 0, 0);
    const auto add = [this, column](const QString& text, void (PaletteDlg::*slot)()) {
        QPushButton* button = PlainButton(text, canvas_);
        connect(button, &QPushButton::clicked, this, slot);
        column->addWidget(button);
        return button;
    };
    add("&Laden...", &PaletteDlg::Load);
    add("&Speichern...", &PaletteDlg::Save);
    add("&Normalisieren", &PaletteDlg::Normalise);
    column->addSpacing(12);
    column->addWidget(new QLabel("Exponent:", canvas_));
    exponent_ = new QLineEdit("1", canvas_);
    column->addWidget(exponent_);
    powerButton_ = add("&Potentiell", &PaletteDlg::Power);
    column->addStretch(1);
    grid->addLayout(column, 0, 1);
    connect(exponent_, &QLineEdit::textChanged, this, &PaletteDlg::ExponentChanged);
    connect(exponent_, &QLineEdit::returnPressed, this, &PaletteDlg::Power);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    QPushButton* apply = PlainButton("&Anwenden", canvas_);
    QPushButton* cancel = PlainButton("Ab&brechen", canvas_);
    connect(apply, &QPushButton::clicked, this, &PaletteDlg::Apply);
    connect(cancel, &QPushButton::clicked, this, &PaletteDlg::reject);
    bottom->addWidget(apply);
    bottom->addWidget(cancel);
    bottom->addStretch(1);
    grid->addLayout(bottom, 1, 0);
    ExponentChanged();
}

void PaletteDlg::Beep() {
    ++beeps_;
    QApplication::beep();
}

void PaletteDlg::ExponentChanged() {
    powerButton_->setEnabled(ParseExponent(exponent_->text().toStdString()).has_value());
}

void PaletteDlg::Normalise() {
    if (!NormaliseMapping(state_.mapping, state_.histogram, state_.range)) Beep();
    canvas_->MappingChanged();
}

void PaletteDlg::Power() {
    const std::optional<float> exponent = ParseExponent(exponent_->text().toStdString());
    if (!exponent) {
        Beep();
        return;
    }
    PowerMapping(state_.mapping, *exponent, state_.range);
    canvas_->MappingChanged();
}

void PaletteDlg::Save() {
    const std::optional<QString> path =
        host_.Prompt().ChooseFile(PaletteFileRequest(FileRequest::Mode::kSave));
    if (!path) return;
    const PaletteFileResult result = WriteGrayPaletteFile(path->toStdString(), state_.mapping);
    if (!result) ShowError(host_.Prompt(), Text(result.message), Text(result.caption));
}

void PaletteDlg::Load() {
    const std::optional<QString> path =
        host_.Prompt().ChooseFile(PaletteFileRequest(FileRequest::Mode::kOpen));
    if (!path) return;
    GrayLevels table{};
    const PaletteFileResult result = ReadGrayPaletteFile(path->toStdString(), table);
    if (!result) {
        ShowError(host_.Prompt(), Text(result.message), Text(result.caption));
        return;
    }
    if (PlaceLoadedTable(table)) canvas_->MappingChanged();
}

// Puts a loaded table into the mapping as the person chooses; false when a question was cancelled.
bool PaletteDlg::PlaceLoadedTable(const GrayLevels& table) {
    LoadedTablePlacement placement = LoadedTablePlacement::kSamePositions;
    if (state_.range.Marked()) {
        const Answer squeeze = AskLoadQuestion(host_.Prompt(), kSqueezeQuestion);
        if (squeeze == Answer::kCancel) return false;
        if (squeeze == Answer::kYes) {
            placement = LoadedTablePlacement::kSqueeze;
        } else if (state_.range.start != 0) {
            const Answer move = AskLoadQuestion(host_.Prompt(), kMoveQuestion);
            if (move == Answer::kCancel) return false;
            if (move == Answer::kYes) placement = LoadedTablePlacement::kMoveToStart;
        }
    }
    InsertLoadedTable(state_.mapping, table, state_.range, placement);
    return true;
}

void PaletteDlg::Apply() {
    host_.ApplyMapping(state_.mapping);
    state_.applied = true;
    state_.mapping = IdentityMapping();
    state_.histogram = ComputeGrayHistogram(host_.Bitmap());
    state_.range = ColourRange{};
    canvas_->MappingChanged();
}

void PaletteDlg::EnterRange() {
    const bool marked = state_.range.Marked();
    PenColorDlg entry(marked ? state_.range.start : 0, marked ? state_.range.end : 255, this);
    if (host_.Prompt().RunDialog(entry) != QDialog::Accepted) return;
    const std::optional<PenColours> ends = entry.Colours();
    if (!ends) return;
    state_.range = OrderedRange(ColourRange{ends->left, ends->right});
    canvas_->update();
}

void PaletteDlg::ClearRange() {
    state_.range = ColourRange{};
    canvas_->update();
}

void PaletteDlg::reject() {
    host_.ShowColourTable(GrayRampTable());
    done(state_.applied ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace tarkemo::app
