#include "app/spectrum_editor/filter_spect_dlg.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/clipboard_watch.h"
#include "app/shell/info_box.h"
#include "app/shell/wait_cursor.h"
#include "app/spectrum_editor/editor_menu.h"
#include "app/spectrum_editor/editor_tool_client.h"
#include "app/view/image_view.h"

namespace tarkemo::app {

FilterSpectDlg::FilterSpectDlg(SpectrumContext& context, SpectrumEditorMemory& memory, Prompter& prompter,
                               InfoBox* infoBox, ClipboardWatch* clipboard, QWidget* parent)
    : QDialog(parent),
      context_(context),
      memory_(memory),
      prompter_(prompter),
      toolClient_(std::make_unique<EditorToolClient>(*this)),
      clipboard_(clipboard) {
    setWindowTitle(QString::fromUtf8(kSpectrumEditTitle));
    setSizeGripEnabled(true);
    resize(720, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    view_ = new ImageView(this);
    view_->SetToolClient(toolClient_.get());
    if (infoBox != nullptr) connect(view_, &ImageView::ReadoutChanged, infoBox, &InfoBox::SetLines);
    layout->addWidget(view_);
    BuildMenus(bar);

    BeginSpectrumEditing(context_);
    viewSettings_.exponent = memory_.exponent;
    view_->SetBitmap(&context_.working);
    view_->ResetForNewImage();
    view_->ShowToolCursor(ToolCursor::kCross);
    Render(false);
    RecomputeStates();
}

FilterSpectDlg::~FilterSpectDlg() {
    view_->SetBitmap(nullptr);
}

void FilterSpectDlg::BuildMenus(QMenuBar* bar) {
    std::map<EditorGroup, QActionGroup*> groups;
    for (const EditorRow& row : EditorMenuTable()) {
        auto* action = new QAction(QString::fromUtf8(row.text), this);
        if (row.group != EditorGroup::kNone) {
            action->setCheckable(true);
            QActionGroup*& group = groups[row.group];
            if (group == nullptr) group = new QActionGroup(this);
            group->addAction(action);
        }
        const int id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        actions_[id] = action;
        QMenu* menu = PopupFor(bar, row.menu);
        menu->addAction(action);
        if (row.separatorAfter) menu->addSeparator();
    }
}

QMenu* FilterSpectDlg::PopupFor(QMenuBar* bar, EditorMenu id) {
    if (const auto found = popups_.find(id); found != popups_.end()) return found->second;
    const EditorPopup* popup = FindEditorPopup(id);
    const QString text = QString::fromUtf8(popup->text);
    QMenu* menu = popup->parent == id ? bar->addMenu(text) : PopupFor(bar, popup->parent)->addMenu(text);
    // The pen size's mark and the clipboard imports are brought up to date whenever a menu opens.
    connect(menu, &QMenu::aboutToShow, this, &FilterSpectDlg::RecomputeStates);
    popups_[id] = menu;
    return menu;
}

void FilterSpectDlg::Dispatch(int id) {
    // A command mid-drag would leave the saved marking or the drawing backup behind the display.
    if (view_->Tools().DragInProgress()) return;
    const EditorRow* row = FindEditorRow(id);
    if (row != nullptr && row->handler != nullptr) row->handler(*this, id);
    RecomputeStates();
}

QAction* FilterSpectDlg::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

const Marking& FilterSpectDlg::CurrentMarking() const {
    return view_->CurrentMarking();
}

void FilterSpectDlg::SetMarking(const Marking& marking) {
    view_->SetMarking(marking);
}

void FilterSpectDlg::SetTool(int toolId) {
    tool_ = toolId;
}

void FilterSpectDlg::Render(bool recompute) {
    {
        WaitCursor wait;
        RenderSpectrumView(context_, viewSettings_, recompute);
    }
    BitmapChanged();
}

void FilterSpectDlg::BitmapChanged() {
    view_->BitmapChanged();
}

void FilterSpectDlg::RecomputeStates() {
    const ClipboardInfo clipboard = clipboard_ != nullptr ? clipboard_->Info(true) : ClipboardImageInfo(true);
    const bool gridSized =
        clipboard.size.width == context_.width &&
        (clipboard.size.height == context_.height || clipboard.size.height == -context_.height);
    for (const EditorRow& row : EditorMenuTable()) {
        QAction* action = actions_.at(row.id);
        if (IsClipboardImport(row.id)) action->setEnabled(gridSized);
        if (row.handler == nullptr) action->setEnabled(false);
        switch (row.group) {
            case EditorGroup::kField:
                action->setChecked(static_cast<int>(viewSettings_.field) == row.value);
                break;
            case EditorGroup::kQuantity:
                action->setChecked(static_cast<int>(viewSettings_.quantity) == row.value);
                break;
            case EditorGroup::kScale:
                action->setChecked(static_cast<int>(viewSettings_.scale) == row.value);
                break;
            case EditorGroup::kTool:
                action->setChecked(tool_ == row.value);
                break;
            case EditorGroup::kPen:
                action->setChecked(penSize_ == row.value);
                break;
            case EditorGroup::kNone:
                break;
        }
    }
}

void FilterSpectDlg::keyPressEvent(QKeyEvent* event) {
    // Escape only ends a marking drag; it never closes the editor and loses the filter.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Control) {
        if (!event->isAutoRepeat()) view_->ToolKeyDown(event->key());
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FilterSpectDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only now is the client area's size known: the grid goes to its middle at 1:1.
    if (!placed_) {
        placed_ = true;
        CentreImage(view_->MutableState());
        ClampOrigin(view_->MutableState());
        view_->update();
    }
}

void FilterSpectDlg::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) view_->ToolKeyUp(event->key());
    QDialog::keyReleaseEvent(event);
}

}  // namespace tarkemo::app
