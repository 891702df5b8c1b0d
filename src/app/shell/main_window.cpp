#include "app/shell/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "app/commands/tool_commands.h"
#include "app/resources/app_icon.h"
#include "app/shell/clipboard_watch.h"
#include "app/shell/document_commands.h"
#include "app/shell/info_box.h"
#include "app/view/image_view.h"
#include "document/title_text.h"

namespace tarkemo::app {

MainWindow::MainWindow(std::unique_ptr<Prompter> prompter, QWidget* parent)
    : QMainWindow(parent), prompter_(std::move(prompter)), clipboard_(new ClipboardWatch(this)) {
    setWindowTitle(kProductName);
    setWindowIcon(TarkemoIcon());
    view_ = new ImageView(this);
    setCentralWidget(view_);
    toolClient_ = MakeMainToolClient(*this);
    view_->SetToolClient(toolClient_.get());
    infoBox_ = new InfoBox(this);
    infoBox_->setAttribute(Qt::WA_ShowWithoutActivating);
    connect(view_, &ImageView::ReadoutChanged, infoBox_, &InfoBox::SetLines);
    BuildMenus();
    // The clipboard is asked when it changes, not when a menu opens.
    connect(clipboard_, &ClipboardWatch::Changed, this, &MainWindow::RecomputeCommandStates);
    RecomputeCommandStates();
}

MainWindow::~MainWindow() {
    // The view must not paint a bitmap that is being destroyed with the document.
    view_->SetBitmap(nullptr);
    view_->SetToolClient(nullptr);
}

void MainWindow::BuildMenus() {
    for (const CommandRow& row : CommandTable()) {
        auto* action = new QAction(MenuEntryText(row), this);
        if (row.key != nullptr) {
            action->setShortcut(QKeySequence(QString::fromLatin1(row.key), QKeySequence::PortableText));
            // Like the accelerators of the original window loop, the keys also work while the
            // InfoBox has the focus; modal dialogs still block them.
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        if (row.check != CheckRule::kNone) action->setCheckable(true);
        if (row.check == CheckRule::kOwnMark) ownMarks_[row.id] = row.checkValue != 0;
        const int id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        actions_[row.id] = action;
        if (row.menu == MenuId::kReserved) continue;
        QMenu* menu = PopupFor(row.menu);
        menu->addAction(action);
        if (row.separatorAfter) menu->addSeparator();
    }
    // The four mouse tools show as one exclusive group; their marks still come from the table.
    auto* tools = new QActionGroup(this);
    for (const int id : {kMoveZoomToolId, kMarkingToolId, kDrawingToolId, kOriginShiftToolId}) {
        tools->addAction(actions_.at(id));
    }
}

QMenu* MainWindow::PopupFor(MenuId id) {
    if (const auto found = popups_.find(id); found != popups_.end()) return found->second;
    const MenuPopup* popup = FindPopup(id);
    const QString text = QString::fromUtf8(popup->text);
    QMenu* menu = popup->parent == id ? menuBar()->addMenu(text) : PopupFor(popup->parent)->addMenu(text);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::RecomputeCommandStates);
    popups_[id] = menu;
    return menu;
}

void MainWindow::Dispatch(int id, const QString& argument) {
    // A command in the middle of a drag or stroke would change the image under the saved marking
    // and the drawing backup. The states are recomputed all the same: a checkable entry has already
    // toggled its own mark.
    const CommandRow* row = FindCommand(id);
    if (row != nullptr && row->handler != nullptr && !view_->Tools().DragInProgress()) {
        row->handler(*this, CommandCall{id, argument});
    }
    RecomputeCommandStates();
}

void MainWindow::PostCommand(int id, const QString& argument) {
    // Until the window system has placed a shown window, a message would not stand over it and
    // the pointer read-out would measure from the wrong place.
    if (isVisible() && !placed_) {
        waitingForPlacement_.push_back(CommandCall{id, argument});
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, id, argument] { Dispatch(id, argument); }, Qt::QueuedConnection);
}

QAction* MainWindow::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool MainWindow::IsChecked(int id) const {
    const auto found = ownMarks_.find(id);
    return found != ownMarks_.end() && found->second;
}

void MainWindow::SetChecked(int id, bool checked) {
    if (ownMarks_.contains(id)) ownMarks_[id] = checked;
    RecomputeCommandStates();
}

QString MainWindow::CommandText(int id) const {
    const QAction* action = Action(id);
    return action == nullptr ? QString() : action->text().section('\t', 0, 0);
}

void MainWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(DocumentTitle(document_)));
}

MenuStateInput MainWindow::StateInput(const ClipboardInfo& clipboard) const {
    MenuStateInput input;
    input.hasDocument = document_.HasDocument();
    input.hasPath = !document_.path.empty();
    input.grayRamp = document_.grayRamp;
    input.undoMatches = SnapshotMatches(document_.undo, document_.Bitmap());
    input.clipboardHasImage = clipboard.hasImage;
    input.documentWidth = document_.geometry.width;
    input.documentHeight = document_.geometry.height;
    input.clipboardWidth = clipboard.size.width;
    input.clipboardHeight = clipboard.size.height;
    input.penSize = settings_.penSize;
    return input;
}

void MainWindow::RecomputeCommandStates() {
    // The clipboard operands compare sizes, which are read only once a document needs them.
    const MenuStateInput input = StateInput(clipboard_->Info(document_.HasDocument()));
    for (const CommandRow& row : CommandTable()) {
        QAction* action = actions_.at(row.id);
        action->setEnabled(RuleEnables(row.enable, input));
        if (row.check != CheckRule::kNone) action->setChecked(RuleChecks(row, input, IsChecked(row.id)));
    }
    actions_.at(kUndoCommandId)
        ->setText(QString::fromStdString(UndoMenuText(document_.undo, document_.Bitmap())));
}

void MainWindow::ShowNewDocument() {
    view_->SetBitmap(document_.Bitmap());
    view_->ResetForNewImage();
    UpdateTitle();
    RefreshPointerReadout();
}

void MainWindow::ShowNoDocument() {
    view_->SetBitmap(nullptr);
    view_->Clear();
    UpdateTitle();
    RefreshPointerReadout();
}

void MainWindow::RefreshPointerReadout() {
    const QPoint pointer = view_->mapFromGlobal(QCursor::pos());
    view_->UpdateReadout(pointer.x(), pointer.y());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (document_.HasDocument() && document_.modified &&
        !AskYesNo(*prompter_, kCloseModifiedText, "Tarkemo beenden")) {
        event->ignore();
        return;
    }
    view_->SetBitmap(nullptr);
    ReleaseBitmap(document_);
    DiscardUndo(document_.undo);
    infoBox_->hide();
    event->accept();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window system places the main window only after it was shown; its first expose tells
    // when that has happened.
    if (!placed_ && windowHandle() != nullptr) windowHandle()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() && !placed_ &&
        windowHandle()->isExposed()) {
        placed_ = true;
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindow::WindowPlaced, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

// The InfoBox goes beside the placed window, then the start-up commands run.
void MainWindow::WindowPlaced() {
    infoBox_->adjustSize();
    const QScreen* where = screen();
    const QRect available = where != nullptr ? where->availableGeometry() : QRect();
    infoBox_->move(InfoBoxPosition(frameGeometry(), geometry(), infoBox_->size(), available));
    infoBox_->show();
    for (const CommandCall& call : std::exchange(waitingForPlacement_, {})) {
        PostCommand(call.id, call.argument);
    }
}

bool MainWindow::ControlHeld() const {
    return view_->Tools().ControlFlag();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys do nothing without a document; Escape and Control belong to the mouse tools.
    if (document_.HasDocument() && view_->ToolKeyDown(event->key())) return;
    QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (view_->ToolKeyUp(event->key())) return;
    QMainWindow::keyReleaseEvent(event);
}

}  // namespace tarkemo::app
