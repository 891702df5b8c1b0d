// "Spektrum bearbeiten..." end to end, headless: the grid the editor opens on, what its views show,
// that a filtered result equals the command line's, and that every way of cancelling leaves the
// document exactly as it was.
#include "app/commands/spectrum_commands.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/dialogs/bitmap_size_dlg.h"
#include "app/dialogs/select_manual_dlg.h"
#include "app/spectrum_editor/filter_spect_dlg.h"
#include "app/spectrum_editor/input_number_dlg.h"
#include "app/spectrum_editor/inverse_fft_dlg.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "spectrum/centred_marking.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;

std::vector<uint8_t> Pixels(const GrayBitmap& bitmap) {
    return {bitmap.pixels.data(), bitmap.pixels.data() + bitmap.ByteCount()};
}

// Every pixel of the working bitmap, as its distinct values.
std::vector<uint8_t> DistinctValues(const GrayBitmap& bitmap) {
    std::vector<uint8_t> values;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        for (int32_t x = 0; x < bitmap.width; ++x) values.push_back(bitmap.At(x, y));
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

class SpectrumCommandsTest : public AppTest {
  protected:
    // Queues `inEditor` as the editor's script; the editor ends as the script leaves it.
    void QueueEditor(std::function<void(FilterSpectDlg&)> inEditor) {
        prompter_->AnswerDialog([inEditor](QDialog& dialog) {
            auto& editor = dynamic_cast<FilterSpectDlg&>(dialog);
            inEditor(editor);
            return editor.result();
        });
    }

    // Runs F9 with `inEditor` as the editor's script.
    void EditSpectrum(std::function<void(FilterSpectDlg&)> inEditor) {
        QueueEditor(std::move(inEditor));
        Trigger(kSpectrumEditId);
    }

    // The command line's result for the same image and steps.
    GrayBitmap CommandLineResult(const QString& input, const QStringList& steps) {
        const QString output = folder_.filePath("cli.bmp");
        QProcess cli;
        cli.start(TARKEMO_CLI_PATH, QStringList{"spectrum", input, output} + steps);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        std::optional<LoadedBitmap> loaded = ReadBmpFile(output.toStdString());
        return loaded ? std::move(loaded->bitmap) : GrayBitmap{};
    }

    // Answers the inverse dialog with OK (after `change`) or cancel.
    void AnswerInverse(bool ok, std::function<void(InverseFFTDlg&)> change = {}) {
        prompter_->AnswerDialog([ok, change](QDialog& dialog) {
            auto& inverse = dynamic_cast<InverseFFTDlg&>(dialog);
            if (change) change(inverse);
            if (ok) inverse.OkButton()->click();
            return ok ? static_cast<int>(QDialog::Accepted) : static_cast<int>(QDialog::Rejected);
        });
    }

    const GrayBitmap& Document() { return *window_->Document().Bitmap(); }
};

TEST_F(SpectrumCommandsTest, OpensOnTheAutomaticGridWithTheZeroFrequencyBrightest) {
    OpenPattern(100, 60);
    const std::vector<uint8_t> before = Pixels(Document());
    EditSpectrum([](FilterSpectDlg& editor) {
        const GrayBitmap& shown = editor.Context().working;
        ASSERT_EQ(shown.width, 256);
        ASSERT_EQ(shown.height, 128);
        EXPECT_EQ(editor.windowTitle(), QString("Tarkemo - Spektrum bearbeiten"));
        int brightest = 0;
        for (int32_t y = 0; y < shown.height; ++y) {
            for (int32_t x = 0; x < shown.width; ++x) brightest = std::max<int>(brightest, shown.At(x, y));
        }
        EXPECT_GE(brightest, 254);  // the float factor may leave the top at 254
        EXPECT_EQ(shown.At(128, 64), brightest);
        editor.Dispatch(kEditorCancelId);
    });
    EXPECT_EQ(Pixels(Document()), before);
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_FALSE(Enabled(kUndoCommandId));
}

TEST_F(SpectrumCommandsTest, PhaseOfAFreshFilterShows254OnThePowerScaleAnd0InDecibels) {
    OpenPattern(100, 60);
    EditSpectrum([this](FilterSpectDlg& editor) {
        editor.Dispatch(40070);  // the filter
        editor.Dispatch(40073);  // its phase
        EXPECT_EQ(DistinctValues(editor.Context().working), std::vector<uint8_t>{254});
        editor.Dispatch(40077);
        EXPECT_EQ(DistinctValues(editor.Context().working), std::vector<uint8_t>{0});
        EXPECT_TRUE(editor.Action(40077)->isChecked());
        // The exponent dialog: 0 keeps OK disabled, cancel keeps the decibel scale.
        prompter_->AnswerDialog([](QDialog& dialog) {
            auto& number = dynamic_cast<InputNumberDlg&>(dialog);
            number.FirstEdit()->setText("0");
            EXPECT_FALSE(number.OkButton()->isEnabled());
            return static_cast<int>(QDialog::Rejected);
        });
        editor.Dispatch(40076);
        EXPECT_TRUE(editor.Action(40077)->isChecked());
        editor.Dispatch(kEditorCancelId);
    });
}

TEST_F(SpectrumCommandsTest, LowPassThenInverseEqualsTheCommandLineAndUndoes) {
    const QString input = OpenPattern(100, 60);
    const std::vector<uint8_t> before = Pixels(Document());
    QueueEditor([](FilterSpectDlg& editor) {
        const SpectrumContext& context = editor.Context();
        editor.SetMarking(*CentredMarking(0, 0, 20, 10, context.width, context.height));
        editor.Dispatch(40122);  // low pass, elliptic
        editor.Dispatch(kEditorFinishId);
    });
    AnswerInverse(true);
    Trigger(kSpectrumEditId);

    const GrayBitmap expected = CommandLineResult(input, {"mark-centred=0,0,20,10", "lowpass-ellipse"});
    EXPECT_EQ(Pixels(Document()), Pixels(expected));
    EXPECT_NE(Pixels(Document()), before);
    EXPECT_TRUE(window_->Document().modified);
    ASSERT_TRUE(Enabled(kUndoCommandId));
    EXPECT_EQ(window_->Action(kUndoCommandId)->text().section('\t', 0, 0),
              QString("&Rückgängig: Spektrum bearbeiten"));
    Trigger(kUndoCommandId);
    EXPECT_EQ(Pixels(Document()), before);
}

TEST_F(SpectrumCommandsTest, CancellingTheInverseDialogRestoresEveryPixel) {
    OpenPattern(100, 60);
    const std::vector<uint8_t> before = Pixels(Document());
    QueueEditor([](FilterSpectDlg& editor) {
        editor.Dispatch(40102);
        editor.Dispatch(kEditorFinishId);
    });
    AnswerInverse(false, [](InverseFFTDlg& inverse) {
        inverse.SourceButton(InverseSource::kImaginary)->click();
        inverse.NormaliseBox()->click();
    });
    Trigger(kSpectrumEditId);
    EXPECT_EQ(Pixels(Document()), before);
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_FALSE(Enabled(kUndoCommandId));
}

TEST_F(SpectrumCommandsTest, RefusedFrequencyFilesLeaveSpectrumAndFilterAsTheyWere) {
    OpenPattern(100, 60);
    const QString saved = folder_.filePath("filter.fft");
    const QString cut = folder_.filePath("cut.fft");
    EditSpectrum([&](FilterSpectDlg& editor) {
        SpectrumContext& context = editor.Context();
        prompter_->AnswerFile(saved);
        editor.Dispatch(40090);  // the fresh filter: 1 + 0i everywhere
        QFile::copy(saved, cut);
        QFile file(cut);
        ASSERT_TRUE(file.resize(file.size() - 4));
        editor.Dispatch(40102);
        context.filterRe[5] = 0.5f;  // a filter that differs from the file
        editor.Dispatch(40069);
        const std::vector<float> filter(context.filterRe.get(), context.filterRe.get() + context.Count());
        const std::vector<float> spectrum(context.spectrumRe.get(),
                                          context.spectrumRe.get() + context.Count());
        prompter_->AnswerFile(cut);
        editor.Dispatch(40089);
        EXPECT_EQ(prompter_->LastMessage().text, QString("Fehler beim Öffnen bzw. Laden der Datei!"));
        EXPECT_EQ(std::vector<float>(context.filterRe.get(), context.filterRe.get() + context.Count()),
                  filter);
        EXPECT_EQ(std::vector<float>(context.spectrumRe.get(), context.spectrumRe.get() + context.Count()),
                  spectrum);
        prompter_->AnswerFile(saved);
        editor.Dispatch(40089);
        EXPECT_EQ(context.filterRe[5], 1.0f);
        editor.Dispatch(kEditorCancelId);
    });
}

// Window point of grid point (x, y) in the editor's view.
QPoint GridPoint(const ImageView& view, int32_t x, int32_t y) {
    const ViewState& state = view.State();
    const GrayBitmap& grid = *view.Bitmap();
    return QPoint(static_cast<int>(WindowXOfColumn(state, grid.width, grid.height, x)),
                  static_cast<int>(WindowYOfRowTop(state, grid.width, grid.height, y)));
}

TEST_F(SpectrumCommandsTest, AStrokeBlocksTheFilterInsideTheMarkingOnlyAndRendersOnRelease) {
    OpenPattern(100, 60);
    EditSpectrum([](FilterSpectDlg& editor) {
        editor.resize(700, 500);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        SpectrumContext& context = editor.Context();
        ImageView& view = editor.View();
        const Marking marking{120, 70, 135, 60};
        editor.SetMarking(marking);
        editor.Dispatch(40028);  // drawing
        editor.Dispatch(40043);  // pen 3 x 3
        editor.Dispatch(40070);  // show the filter: all 1 + 0i, so it renders as one value
        const std::vector<uint8_t> shownBefore = Pixels(context.working);
        QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, GridPoint(view, 110, 65));
        QTest::mouseMove(&view, GridPoint(view, 128, 65));
        QTest::mouseMove(&view, GridPoint(view, 150, 65));
        EXPECT_EQ(context.filterRe[context.Filter().Index(128, 65)], 0.0f);
        QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, GridPoint(view, 150, 65));
        int blocked = 0;
        for (int32_t y = 0; y < context.height; ++y) {
            for (int32_t x = 0; x < context.width; ++x) {
                const size_t i = context.Filter().Index(x, y);
                const bool inside = x >= 120 && x <= 135 && y >= 60 && y <= 70;
                if (!inside) {
                    ASSERT_EQ(context.filterRe[i], 1.0f) << x << "," << y;
                }
                blocked += context.filterRe[i] == 0.0f && context.filterIm[i] == 0.0f;
            }
        }
        EXPECT_EQ(blocked, 16 * 3);  // columns 120..135 of rows 64..66
        EXPECT_NE(Pixels(context.working), shownBefore);
        EXPECT_EQ(context.working.At(128, 65), 0);  // the re-render shows the blocked points dark
        editor.Dispatch(kEditorCancelId);
    });
}

TEST_F(SpectrumCommandsTest, TypedMarkingIsCentredAndCancelRestoresTheEarlierOne) {
    OpenPattern(100, 60);
    EditSpectrum([this](FilterSpectDlg& editor) {
        const Marking whole = editor.CurrentMarking();
        prompter_->AnswerDialog([&editor](QDialog& dialog) {
            auto& manual = dynamic_cast<SelectManualDlg&>(dialog);
            manual.XEdit()->setText("-3");
            manual.YEdit()->setText("2");
            manual.WidthEdit()->setText("4");
            manual.HeightEdit()->setText("1");
            EXPECT_EQ(editor.CurrentMarking(), (Marking{121, 67, 129, 65}));  // live while typing
            manual.WidthEdit()->setText("200");
            EXPECT_FALSE(manual.OkButton()->isEnabled());
            manual.WidthEdit()->setText("4");
            manual.OkButton()->click();
            return manual.result();
        });
        editor.Dispatch(40039);
        EXPECT_EQ(editor.CurrentMarking(), (Marking{121, 67, 129, 65}));
        prompter_->AnswerDialog([](QDialog& dialog) {
            dynamic_cast<SelectManualDlg&>(dialog).XEdit()->setText("0");
            return static_cast<int>(QDialog::Rejected);
        });
        editor.Dispatch(40039);
        EXPECT_EQ(editor.CurrentMarking(), (Marking{121, 67, 129, 65}));
        EXPECT_NE(editor.CurrentMarking(), whole);
        editor.Dispatch(kEditorCancelId);
    });
}

TEST_F(SpectrumCommandsTest, ManualSizeIsChosenOnlyOnOkAndChecksTheImageWhenComputing) {
    OpenPattern(100, 60);
    prompter_->AnswerDialog([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    Trigger(kSpectrumManualSizeId);
    EXPECT_TRUE(window_->Action(kSpectrumAutoSizeId)->isChecked());
    EXPECT_FALSE(window_->Action(kSpectrumManualSizeId)->isChecked());

    // 64 x 64 cannot hold the 100 x 60 image: no question now, the size message on F9.
    prompter_->AnswerDialog([](QDialog& dialog) {
        auto& size = dynamic_cast<BitmapSizeDlg&>(dialog);
        size.WidthBox()->setEditText("64");
        size.HeightBox()->setEditText("64");
        size.OkButton()->click();
        return size.result();
    });
    Trigger(kSpectrumManualSizeId);
    EXPECT_TRUE(window_->Action(kSpectrumManualSizeId)->isChecked());
    EXPECT_FALSE(window_->Action(kSpectrumAutoSizeId)->isChecked());
    Trigger(kSpectrumEditId);
    EXPECT_EQ(prompter_->LastMessage().caption, QString("Spektrum berechnen - Fehlerhafte Größenangabe"));

    // 128 x 64 holds it, centred: the question, then the editor on that grid.
    prompter_->AnswerDialog([](QDialog& dialog) {
        auto& size = dynamic_cast<BitmapSizeDlg&>(dialog);
        size.WidthBox()->setEditText("128");
        size.HeightBox()->setEditText("64");
        size.CentreXBox()->setChecked(true);
        size.CentreYBox()->setChecked(true);
        size.OkButton()->click();
        return size.result();
    });
    prompter_->AnswerMessage(Answer::kYes);
    QueueEditor([](FilterSpectDlg& editor) {
        EXPECT_EQ(editor.Context().width, 128);
        EXPECT_EQ(editor.Context().height, 64);
        EXPECT_EQ(editor.Context().offsetX, 14);
        EXPECT_EQ(editor.Context().offsetY, 2);
        editor.Dispatch(kEditorCancelId);
    });
    Trigger(kSpectrumManualSizeId);
}

}  // namespace
}  // namespace tarkemo::app
