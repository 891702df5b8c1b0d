#include "app/commands/bit_point_commands.h"

#include <QDialog>

#include "app/dialogs/bits_dlg.h"
#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/view/image_view.h"
#include "ops/bit_ops.h"
#include "ops/normalize.h"

namespace tarkemo::app {
namespace {

bool TakesConstant(int id) {
    return id == kBitAnd || id == kBitOr || id == kBitXor;
}

// The dialog's preview on the document's image: a permuted copy of the image's own table, shown
// at once. Whatever happens, the own table is back when the preview ends.
class DocumentBitPreview final : public BitPreview {
  public:
    DocumentBitPreview(MainWindow& window, int id)
        : window_(window), id_(id), own_(window.Document().Bitmap()->colours) {}
    ~DocumentBitPreview() override { Show(own_); }
    DocumentBitPreview(const DocumentBitPreview&) = delete;
    DocumentBitPreview& operator=(const DocumentBitPreview&) = delete;

    void ShowConstant(uint8_t constant) override { Show(BitPreviewTable(own_, id_, constant)); }

  private:
    void Show(const ColourTable& table) {
        WriteColourTable(*window_.Document().Bitmap(), table);
        window_.View().repaint();
    }

    MainWindow& window_;
    int id_;
    ColourTable own_;
};

}  // namespace

void BitOperationCommand(MainWindow& window, const CommandCall& call) {
    if (!window.Document().HasDocument()) return;
    const QString text = window.CommandText(call.id);
    uint8_t constant = 0;
    if (TakesConstant(call.id)) {
        DocumentBitPreview preview(window, call.id);
        BitsDlg dialog(window.Settings().bitConstant, text, preview, &window);
        if (window.Prompt().RunDialog(dialog) != QDialog::Accepted) return;
        constant = dialog.BoxesValue();
    }
    const int id = call.id;
    RunChangingCommand(window, text.toStdString(), [id, constant](GrayBitmap& bitmap) {
        return ApplyBitOperation(bitmap, id, constant);
    });
}

void NormalizeCommand(MainWindow& window, const CommandCall& /*call*/) {
    RunChangingCommand(window, "Normalisieren", [](GrayBitmap& bitmap) { return NormalizeRange(bitmap); });
}

}  // namespace tarkemo::app
