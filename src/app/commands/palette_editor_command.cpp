#include "app/commands/palette_editor_command.h"

#include <QDialog>

#include "app/palette_editor/palette_dlg.h"
#include "app/palette_editor/palette_editor_host.h"
#include "app/shell/info_box.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"

namespace tarkemo::app {
namespace {

// The palette editor's view of the main window: the document's bitmap, the view and the InfoBox.
class WindowPaletteHost : public PaletteEditorHost {
  public:
    explicit WindowPaletteHost(MainWindow& window) : window_(window) {}

    const GrayBitmap& Bitmap() const override { return *window_.Document().Bitmap(); }

    void ShowColourTable(const ColourTable& table) override {
        WriteColourTable(*window_.Document().Bitmap(), table);
        window_.View().BitmapChanged();
    }

    void ApplyMapping(const GrayLevels& mapping) override {
        DocumentState& document = window_.Document();
        GrayBitmap& bitmap = *document.Bitmap();
        WaitCursor wait;
        SetGrayRamp(bitmap);
        // Without memory for the copy the mapping is still applied; it just cannot be undone.
        TakeUndoSnapshot(document.undo, bitmap, kPaletteEditorUndoName);
        ApplyGrayLevels(bitmap, mapping);
        document.grayRamp = true;
        window_.View().BitmapChanged();
        window_.RecomputeCommandStates();
    }

    void ShowPointer(const QString& xLine, const QString& yLine) override {
        InfoBox& info = window_.Info();
        info.SetLines(xLine, yLine, info.GrayLine());
    }

    void ShowGrayLine(const QString& grayLine) override {
        InfoBox& info = window_.Info();
        info.SetLines(info.XLine(), info.YLine(), grayLine);
    }

    Prompter& Prompt() override { return window_.Prompt(); }

  private:
    MainWindow& window_;
};

}  // namespace

void PaletteEditorCommand(MainWindow& window, const CommandCall&) {
    // The editor maps gray values: it works only on an image shown through the plain gray table.
    if (!window.Document().HasDocument() || !window.Document().grayRamp) return;
    WindowPaletteHost host(window);
    PaletteDlg dialog(host, window.Settings().paletteRange, &window);
    const bool applied = window.Prompt().RunDialog(dialog) == QDialog::Accepted;
    window.Document().grayRamp = IsIdentityGrayRamp(window.Document().Bitmap()->colours);
    if (applied && MarkModified(window.Document())) window.UpdateTitle();
    window.View().BitmapChanged();
}

}  // namespace tarkemo::app
