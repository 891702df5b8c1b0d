// "Tarkemo - Spektrum bearbeiten": the modal spectrum editor. It shows one field of a spectrum
// run (unfiltered spectrum, filter or filtered spectrum) in the run's working bitmap, lets the
// person build the filter from markings, strokes, files and constructions, and ends either with
// cancel or with the filtered spectrum shifted back for the inverse transform.
#pragma once

#include <QDialog>
#include <map>
#include <memory>

#include "document/app_settings.h"
#include "document/marking.h"
#include "spectrum/spectrum_context.h"
#include "spectrum/spectrum_view.h"

class QAction;
class QMenu;
class QMenuBar;

namespace tarkemo::app {

class ClipboardWatch;
class EditorToolClient;
class ImageView;
class InfoBox;
class Prompter;
enum class EditorMenu;

inline constexpr int kEditorFinishId = 40005;
inline constexpr int kEditorCancelId = 40068;

class FilterSpectDlg : public QDialog {
    Q_OBJECT

  public:
    // Opens on a context whose spectrum has been transformed forward: the zero frequency is moved
    // to the middle, the filter set to 1 + 0i, and the spectrum shown on the power-law scale with
    // the remembered exponent. The read-out goes to `infoBox` when there is one; the clipboard
    // imports ask `clipboard` (the main window's kept answer) or, without one, the clipboard itself.
    FilterSpectDlg(SpectrumContext& context, SpectrumEditorMemory& memory, Prompter& prompter,
                   InfoBox* infoBox = nullptr, ClipboardWatch* clipboard = nullptr,
                   QWidget* parent = nullptr);
    ~FilterSpectDlg() override;

    // Runs menu command `id` of the editor, then updates the check marks. Ignored while a mouse
    // drag or stroke is in progress.
    void Dispatch(int id);
    QAction* Action(int id) const;

    SpectrumContext& Context() { return context_; }
    SpectrumEditorMemory& Memory() { return memory_; }
    Prompter& Prompt() { return prompter_; }
    ImageView& View() { return *view_; }
    SpectrumViewSettings& ViewSettings() { return viewSettings_; }

    // The marking in grid coordinates; the whole grid when nothing is marked.
    const Marking& CurrentMarking() const;
    void SetMarking(const Marking& marking);
    int PenSize() const { return penSize_; }
    void SetPenSize(int size) { penSize_ = size; }
    int Tool() const { return tool_; }
    void SetTool(int toolId);

    // Draws the current field into the working bitmap (after recomputing the filtered spectrum
    // when `recompute` is set) under the wait cursor, and repaints.
    void Render(bool recompute);
    // The working bitmap's pixels or colour table changed outside Render: repaint.
    void BitmapChanged();

    // Check marks of the groups and the enabled state of the clipboard imports.
    void RecomputeStates();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenus(QMenuBar* bar);
    QMenu* PopupFor(QMenuBar* bar, EditorMenu id);

    SpectrumContext& context_;
    SpectrumEditorMemory& memory_;
    Prompter& prompter_;
    ImageView* view_ = nullptr;
    std::unique_ptr<EditorToolClient> toolClient_;
    ClipboardWatch* clipboard_ = nullptr;
    SpectrumViewSettings viewSettings_;
    int penSize_ = 1;
    int tool_ = 40027;
    bool placed_ = false;
    std::map<int, QAction*> actions_;
    std::map<EditorMenu, QMenu*> popups_;
};

}  // namespace tarkemo::app
