// The filter constructions of the editor's "Filter" menu. Each changes the filter in place and
// re-renders with the filtered spectrum recomputed.
#include <optional>

#include "app/shell/prompter.h"
#include "app/spectrum_editor/editor_commands.h"
#include "app/spectrum_editor/filter_spect_dlg.h"
#include "app/spectrum_editor/input_number_dlg.h"
#include "spectrum/filter_constructions.h"

namespace tarkemo::app {
namespace {

std::optional<FilterShape> ShapeOf(int id) {
    switch (id) {
        case 40118:
            return FilterShape::kPassInsideEllipse;
        case 40119:
            return FilterShape::kPassInsideRect;
        case 40121:
            return FilterShape::kPassOutsideEllipse;
        case 40120:
            return FilterShape::kPassOutsideRect;
        case 40124:
            return FilterShape::kHighPassEllipse;
        case 40125:
            return FilterShape::kHighPassRect;
        case 40122:
            return FilterShape::kLowPassEllipse;
        case 40123:
            return FilterShape::kLowPassRect;
        default:
            return std::nullopt;
    }
}

// 40098: asks for a + bi; false when cancelled or when the answer 1 + 0i changes nothing.
bool MultiplyByAnswer(FilterSpectDlg& editor) {
    NumberRequest request;
    request.prompt = "Bitte geben Sie eine komplexe Zahl ein:";
    request.firstLabel = "Realteil:";
    request.secondLabel = "Imaginärteil:";
    request.first = 1;
    request.second = 0;
    InputNumberDlg dialog(request, &editor);
    if (editor.Prompt().RunDialog(dialog) != QDialog::Accepted) return false;
    return MultiplyFilter(editor.Context().Filter(), request.first, request.second);
}

}  // namespace

void EditorFilterCommand(FilterSpectDlg& editor, int id) {
    SpectrumContext& context = editor.Context();
    const ComplexField filter = context.Filter();
    const Marking marking = OrderedMarking(editor.CurrentMarking());
    if (const std::optional<FilterShape> shape = ShapeOf(id)) {
        ApplyFilterShape(filter, marking, *shape);
    } else if (id == 40102) {
        ResetFilter(filter);
    } else if (id == 40082) {
        CopyField(filter, context.Spectrum());
    } else if (id == 40126) {
        ApplyGaussFilter(filter, marking);
    } else if (id == 40098) {
        if (!MultiplyByAnswer(editor)) return;
    } else if (id == 40099) {
        ReflectFilter(filter);
    } else if (id == 40078) {
        ConjugateFilter(filter);
    } else if (id == 40088) {
        if (!ReciprocalFilter(filter, context.work.get())) {
            ShowError(editor.Prompt(), QString::fromUtf8(kReciprocalZeroText),
                      QString::fromUtf8(kSpectrumEditTitle));
        }
    } else {
        return;
    }
    editor.Render(true);
}

}  // namespace tarkemo::app
