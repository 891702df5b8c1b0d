// The one main window: menu bar and shortcuts built from the command table, the image view as its
// centre, the modeless InfoBox, and the document with the application settings. Commands reach the
// document through here; after every command one function recomputes all enabled and checked states.
#pragma once

#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/commands.h"
#include "app/shell/prompter.h"
#include "document/app_settings.h"
#include "document/document_state.h"

class QAction;
class QMenu;

namespace tarkemo::app {

class ClipboardWatch;
class ImageView;
class InfoBox;
class ToolClient;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The window asks every question through `prompter`.
    explicit MainWindow(std::unique_ptr<Prompter> prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    DocumentState& Document() { return document_; }
    AppSettings& Settings() { return settings_; }
    Prompter& Prompt() { return *prompter_; }
    ImageView& View() { return *view_; }
    InfoBox& Info() { return *infoBox_; }
    ClipboardWatch& Clipboard() { return *clipboard_; }

    // Runs command `id` as its menu entry would, whether enabled or not, then recomputes the states.
    // An id the table does not know does nothing.
    void Dispatch(int id, const QString& argument = {});
    // Runs the command once the event loop has started and, for a shown window, once the window
    // system has put the window on the screen (the start-up commands).
    void PostCommand(int id, const QString& argument);

    // The table's action for `id` (nullptr for an unknown id). Triggering it does nothing while
    // it is disabled, exactly like its shortcut.
    QAction* Action(int id) const;
    // Check marks of commands that set their own mark (mouse tool, spectrum size mode, number format).
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    // The menu text of `id` with its "&" but without the keyboard label, as the menu shows it.
    QString CommandText(int id) const;

    // Caption from the document: "Tarkemo", or the path (or "Unbenannt") with the modified mark.
    void UpdateTitle();
    // Enabled state, check mark and undo text of every action, from the document and the clipboard.
    void RecomputeCommandStates();

    // After the document's bitmap was set by open, import or paste: view reset, caption.
    void ShowNewDocument();
    // After the bitmap was released: empty view, caption "Tarkemo".
    void ShowNoDocument();

    // True while Control is held with the move/zoom tool: clicks and the wheel then zoom.
    bool ControlHeld() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void WindowPlaced();
    QMenu* PopupFor(MenuId id);
    void RefreshPointerReadout();
    MenuStateInput StateInput(const ClipboardInfo& clipboard) const;

    std::unique_ptr<Prompter> prompter_;
    DocumentState document_;
    AppSettings settings_;
    ImageView* view_ = nullptr;
    InfoBox* infoBox_ = nullptr;
    std::unique_ptr<ToolClient> toolClient_;
    std::map<int, QAction*> actions_;
    std::map<MenuId, QMenu*> popups_;
    std::map<int, bool> ownMarks_;
    ClipboardWatch* clipboard_ = nullptr;
    bool placed_ = false;
    std::vector<CommandCall> waitingForPlacement_;
};

}  // namespace tarkemo::app
