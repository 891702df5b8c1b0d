// The image operations through the main window, driven by a scripted person: every family of
// commands gives exactly the bytes of the engine call that `tarkemo-cli apply` makes for the same
// step, names itself in the undo entry (or discards it for geometry), marks the document and
// undoes to the earlier image; a cancelled long operation leaves image, undo entry and modified
// mark exactly as they were; refused operands and filter files change nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/bitmap_size_dlg.h"
#include "app/dialogs/bits_dlg.h"
#include "app/dialogs/loc_op_size_dlg.h"
#include "app/shell/clipboard_adapter.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "ops/bit_ops.h"
#include "ops/border_extension.h"
#include "ops/builtin_kernels.h"
#include "ops/combine.h"
#include "ops/filter_file.h"
#include "ops/geometry.h"
#include "ops/linear_filter.h"
#include "ops/local_ops.h"
#include "ops/normalize.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;
using testing::PatternBitmap;
using testing::ScriptedPrompter;
using Kind = ScriptedPrompter::Asked::Kind;

// A second image of the pattern's size with other values.
GrayBitmap Operand(int32_t width, int32_t height) {
    GrayBitmap other = *CreateGrayBitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            other.At(x, y) = static_cast<uint8_t>((7 * x + 11 * y + 40) % 256);
    }
    return other;
}

constexpr const char* kLaplaceFile =
    "Tarkemo - Linear Filter: Laplace 3x3\r\nMatrix: 3 x 3\r\n 0 -1  0\r\n-1  4 -1\r\n 0 -1  0\r\n"
    "Border: FlipExc\r\nAddOffset: 127\r\n";

template <typename Dialog>
ScriptedPrompter::DialogScript With(std::function<void(Dialog&)> fill) {
    return [fill](QDialog& dialog) {
        auto* typed = qobject_cast<Dialog*>(&dialog);
        if (typed == nullptr) {
            ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        bool ended = false;
        QObject::connect(&dialog, &QDialog::finished, [&ended] { ended = true; });
        fill(*typed);
        if (!ended) typed->accept();
        return dialog.result();
    };
}

ScriptedPrompter::DialogScript Window(int widthPosition, int heightPosition, const char* number,
                                      const char* compare = nullptr) {
    return With<LocOpSizeDlg>([=](LocOpSizeDlg& dlg) {
        dlg.WidthList()->setCurrentIndex(widthPosition);
        dlg.HeightList()->setCurrentIndex(heightPosition);
        if (compare != nullptr) dlg.CompareEdit()->setText(compare);
        dlg.NumberEdit()->setText(number);
    });
}

LinearFilter Builtin(BuiltinKernel kernel) {
    LinearFilter filter;
    EXPECT_TRUE(FillBuiltinKernel(kernel, filter));
    return filter;
}

// One command as the person runs it, and what the CLI's step makes of the same image.
struct FamilyCase {
    const char* name;
    int id;
    std::function<void(ScriptedPrompter&, AppTest&)> answers;
    std::function<bool(GrayBitmap&)> cliStep;
    const char* undoLabel;  // nullptr: the geometry changed and the undo entry is gone
};

class ImageOpsTest : public AppTest {
  protected:
    GrayBitmap& Bitmap() { return *window_->Document().Bitmap(); }
    QString UndoText() const { return window_->Action(kUndoCommandId)->text(); }
    QString FilePath(const QString& name) const { return folder_.filePath(name); }
    QString WriteText(const QString& name, const char* text) {
        QFile file(FilePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return FilePath(name);
    }

    std::vector<FamilyCase> Families() {
        const QString operand = WriteFile("operand.bmp", Operand(20, 10));
        const QString laplace = WriteText("laplace.lft", kLaplaceFile);
        return {
            {"bit without constant", 40022, nullptr,
             [](GrayBitmap& b) { return ApplyBitOperation(b, kBitRotateLeft, 0); },
             "R&L (Bits nach links rotieren)"},
            {"bit with constant", 40009,
             [](ScriptedPrompter& p, AppTest&) {
                 p.AnswerDialog(With<BitsDlg>([](BitsDlg& dlg) { dlg.DecimalEdit()->setText("77"); }));
             },
             [](GrayBitmap& b) { return ApplyBitOperation(b, kBitXor, 77); }, "XOR (exklusives ODER)"},
            {"normalise", 40065, nullptr, [](GrayBitmap& b) { return NormalizeRange(b); }, "Normalisieren"},
            {"mirror", 40036, nullptr,
             [](GrayBitmap& b) {
                 MirrorTopBottom(b);
                 return true;
             },
             nullptr},
            {"quarter turn", 40038, nullptr, [](GrayBitmap& b) { return RotateRight(b); }, nullptr},
            {"half turn as point mirror", 40164, nullptr,
             [](GrayBitmap& b) {
                 Rotate180(b);
                 return true;
             },
             nullptr},
            {"resize", 40013,
             [](ScriptedPrompter& p, AppTest&) {
                 p.AnswerDialog(With<BitmapSizeDlg>([](BitmapSizeDlg& dlg) {
                     dlg.WidthBox()->setEditText("37");
                     dlg.HeightBox()->setEditText("16");
                     dlg.AlgorithmButton()->setChecked(true);
                     dlg.RuleList()->setCurrentIndex(3);
                 }));
             },
             [](GrayBitmap& b) { return ExtendBorderInPlace(b, 37, 16, 8, 3, kLocalMean); }, nullptr},
            {"file operand", 40046, [operand](ScriptedPrompter& p, AppTest&) { p.AnswerFile(operand); },
             [](GrayBitmap& b) { return CombineWithOther(b, Operand(20, 10), CombineOp::Add); },
             "Andere Bitmap addieren"},
            {"clipboard operand", 40051,
             [](ScriptedPrompter&, AppTest&) {
                 const GrayBitmap other = Operand(20, 10);
                 ASSERT_TRUE(CopyToClipboard(other, WholeImageMarking(20, 10)));
             },
             [](GrayBitmap& b) { return CombineWithOther(b, Operand(20, 10), CombineOp::Multiply); },
             "Mit anderer Bitmap multiplizieren"},
            {"rank filter", 40030, [](ScriptedPrompter& p, AppTest&) { p.AnswerDialog(Window(1, 2, "7")); },
             [](GrayBitmap& b) { return RankFilter(b, 3, 5, 7); }, "Rangordnungsfilter"},
            {"local normalisation", 40029,
             [](ScriptedPrompter& p, AppTest&) { p.AnswerDialog(Window(2, 1, "12", "25")); },
             [](GrayBitmap& b) { return LocalNormalize(b, 5, 3, 12, 25); }, "Lokal normalisieren"},
            {"gradient", 40053, nullptr, [](GrayBitmap& b) { return GradientFilter(b); }, "Gradientenfilter"},
            {"built-in kernel", 40061, nullptr,
             [](GrayBitmap& b) { return ApplyLinearFilter(b, Builtin(BuiltinKernel::kUnsharp5)); },
             "Unscharfmaske (5x5)"},
            {"filter file", 40015, [laplace](ScriptedPrompter& p, AppTest&) { p.AnswerFile(laplace); },
             [laplace](GrayBitmap& b) {
                 LinearFilter filter;
                 filter.path = laplace.toStdString();
                 return ParseLinearFilterFile(filter).outcome == FilterFileOutcome::kAccepted &&
                        ApplyLinearFilter(b, filter);
             },
             "Laplace 3x3"},
        };
    }
};

TEST_F(ImageOpsTest, EveryFamilyGivesTheBytesOfTheCliStepAndUndoesToTheEarlierImage) {
    for (const FamilyCase& c : Families()) {
        SCOPED_TRACE(c.name);
        OpenPattern(20, 10);
        const GrayBitmap original = Bitmap();
        GrayBitmap expected = original;
        ASSERT_TRUE(c.cliStep(expected));
        if (c.answers) c.answers(*prompter_, *this);
        window_->RecomputeCommandStates();
        ASSERT_TRUE(Enabled(c.id));
        Trigger(c.id);
        const GrayBitmap& result = Bitmap();
        ASSERT_EQ(result.width, expected.width);
        ASSERT_EQ(result.height, expected.height);
        EXPECT_TRUE(std::equal(result.pixels.begin(), result.pixels.end(), expected.pixels.begin(),
                               expected.pixels.end()));
        EXPECT_EQ(result.colours, expected.colours);
        EXPECT_TRUE(window_->Document().modified);
        EXPECT_TRUE(Title().endsWith("  (geändert)"));
        EXPECT_EQ(window_->View().Bitmap(), window_->Document().Bitmap());
        EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
        if (c.undoLabel == nullptr) {
            EXPECT_FALSE(Enabled(kUndoCommandId));
            continue;
        }
        QString label = QString::fromUtf8(c.undoLabel);
        label.remove('&');
        label.remove('.');
        EXPECT_EQ(UndoText(), "&Rückgängig: " + label + "\tStrg+Z");
        Trigger(kUndoCommandId);
        EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), original.pixels.begin(),
                               original.pixels.end()));
    }
}

TEST_F(ImageOpsTest, CancelledLongOperationsLeaveImageUndoAndModifiedMarkAsTheyWere) {
    const QString laplace = WriteText("laplace.lft", kLaplaceFile);
    struct CancelCase {
        const char* name;
        int id;
        std::function<void()> answers;
    };
    const std::vector<CancelCase> cases = {
        {"rank filter", 40030, [this] { prompter_->AnswerDialog(Window(1, 1, "5")); }},
        {"local normalisation", 40029, [this] { prompter_->AnswerDialog(Window(1, 1, "30", "20")); }},
        {"gradient", 40053, nullptr},
        {"built-in kernel", 40058, nullptr},
        {"filter file", 40015, [this, laplace] { prompter_->AnswerFile(laplace); }},
        {"resize", 40013,
         [this] {
             prompter_->AnswerDialog(
                 With<BitmapSizeDlg>([](BitmapSizeDlg& dlg) { dlg.WidthBox()->setEditText("64"); }));
         }},
    };
    for (const bool modifiedBefore : {false, true}) {
        for (const CancelCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (modifiedBefore ? ", modified before" : ""));
            OpenPattern(20, 10);
            if (modifiedBefore) Trigger(40018);  // NOT: an undo entry and the modified mark
            const GrayBitmap before = Bitmap();
            const QString title = Title();
            const QString undo = UndoText();
            if (c.answers) c.answers();
            prompter_->CancelNextOperation();
            Trigger(c.id);
            EXPECT_EQ(Bitmap().width, before.width);
            EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), before.pixels.begin(),
                                   before.pixels.end()));
            EXPECT_EQ(window_->Document().modified, modifiedBefore);
            EXPECT_EQ(Title(), title);
            EXPECT_EQ(UndoText(), undo);
            EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
            EXPECT_EQ(prompter_->LastMessage().text, QString()) << "a cancel shows nothing";
            prompter_->Forget();
        }
    }
}

TEST_F(ImageOpsTest, MirrorsAndTurnsMoveTheMarkingWithThePixels) {
    OpenPattern(20, 10);
    window_->View().SetMarking(Marking{2, 8, 5, 1});
    Trigger(40035);
    EXPECT_EQ(window_->View().CurrentMarking(), (Marking{14, 8, 17, 1}));
    Trigger(40037);  // left: new left = H-1-top, right = H-1-bottom, bottom = left, top = right
    EXPECT_EQ(window_->View().CurrentMarking(), (Marking{1, 17, 8, 14}));
    EXPECT_EQ(Bitmap().width, 10);
    EXPECT_EQ(window_->View().State().displayedWidth, 10);
    EXPECT_EQ(window_->View().State().displayedHeight, 20);
    Trigger(40162);
    EXPECT_EQ(window_->View().CurrentMarking(), (Marking{1, 5, 8, 2}));
}

TEST_F(ImageOpsTest, ResizeCentresTheImageAndShiftsTheMarking) {
    OpenPattern(100, 50);
    window_->View().SetMarking(Marking{10, 20, 30, 5});
    prompter_->AnswerDialog(With<BitmapSizeDlg>([](BitmapSizeDlg& dlg) {
        EXPECT_EQ(dlg.WidthBox()->itemText(0), "100");
        EXPECT_EQ(dlg.WidthBox()->itemText(1), "128");
        dlg.WidthBox()->setEditText("128");
        dlg.HeightBox()->setEditText("64");
    }));
    Trigger(40013);
    ASSERT_EQ(Bitmap().width, 128);
    EXPECT_EQ(Bitmap().At(14, 7), 0);  // pattern (0, 0) sits at the centred offset (14, 7)
    EXPECT_EQ(Bitmap().At(15, 8), 4);
    EXPECT_EQ(Bitmap().At(13, 7), 0);
    EXPECT_EQ(window_->View().CurrentMarking(), (Marking{24, 27, 44, 12}));
    const ViewState& view = window_->View().State();
    EXPECT_EQ(view.originX, (view.clientWidth - 128) / 2);
    // The dialog remembers the last confirmed offsets and flags, not the sizes.
    EXPECT_TRUE(window_->Settings().resize.centreX);
    prompter_->AnswerDialog(With<BitmapSizeDlg>([](BitmapSizeDlg& dlg) {
        EXPECT_EQ(dlg.WidthBox()->currentText(), "128");
        dlg.reject();
    }));
    Trigger(40013);
    EXPECT_EQ(Bitmap().width, 128);
}

TEST_F(ImageOpsTest, BitsDialogPreviewsThroughTheColourTableAndCancelRestoresIt) {
    OpenPattern(20, 10);
    const GrayBitmap before = Bitmap();
    window_->Settings().bitConstant = 3;
    prompter_->AnswerDialog(With<BitsDlg>([this, &before](BitsDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Bitauswahl für OR (inklusives ODER)");
        EXPECT_EQ(dlg.DecimalEdit()->text(), "3");
        EXPECT_TRUE(dlg.BitBox(0)->isChecked());
        EXPECT_TRUE(dlg.BitBox(1)->isChecked());
        dlg.BitBox(7)->click();
        EXPECT_EQ(dlg.DecimalEdit()->text(), "131");
        EXPECT_EQ(Bitmap().colours, BitPreviewTable(before.colours, kBitOr, 131));
        dlg.DecimalEdit()->setText("300");
        EXPECT_FALSE(dlg.OkButton()->isEnabled());
        dlg.DecimalEdit()->setText("12");
        EXPECT_TRUE(dlg.OkButton()->isEnabled());
        EXPECT_FALSE(dlg.BitBox(7)->isChecked());
        EXPECT_TRUE(dlg.BitBox(3)->isChecked());
        dlg.reject();
    }));
    Trigger(40019);
    EXPECT_EQ(Bitmap().colours, before.colours);
    EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), before.pixels.begin(),
                           before.pixels.end()));
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_EQ(window_->Settings().bitConstant, 12) << "the next opening offers the last value entered";
}

TEST_F(ImageOpsTest, RefusedOperandsChangeNothing) {
    OpenPattern(20, 10);
    GrayBitmap falseColours = Operand(20, 10);
    falseColours.colours[5].red = 200;
    const QString wrongSize = WriteFile("wrong.bmp", Operand(21, 10));
    const QString coloured = WriteFile("coloured.bmp", falseColours);
    const QString broken = WriteText("broken.bmp", "BM not really");
    const GrayBitmap before = Bitmap();
    struct Refusal {
        QString file;
        const char* text;
        MessageIcon icon;
    };
    const Refusal refusals[] = {
        {wrongSize, "Die beiden Bitmaps haben unterschiedliche Größen!", MessageIcon::kExclamation},
        {broken, "Fehler beim Lesen der DIB-Datei.", MessageIcon::kExclamation},
        {coloured, "Achtung: Die ausgewählte Bitmap besteht nicht nur aus Graustufen!",
         MessageIcon::kExclamation},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.file.toStdString());
        prompter_->AnswerFile(r.file);
        if (r.file == coloured) prompter_->AnswerMessage(Answer::kNo);
        Trigger(40141);
        EXPECT_TRUE(prompter_->LastMessage().text.startsWith(QString::fromUtf8(r.text)));
        EXPECT_EQ(prompter_->LastMessage().icon, r.icon);
        EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), before.pixels.begin(),
                               before.pixels.end()));
        EXPECT_FALSE(window_->Document().modified);
        EXPECT_FALSE(Enabled(kUndoCommandId));
    }
    EXPECT_EQ(prompter_->LastMessage().caption, "Bild einladen - Keine Graustufen");
    // Yes combines the indices as with a gray image.
    prompter_->AnswerFile(coloured);
    prompter_->AnswerMessage(Answer::kYes);
    Trigger(40141);
    GrayBitmap expected = before;
    CombineWithOther(expected, falseColours, CombineOp::Xor);
    EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), expected.pixels.begin(),
                           expected.pixels.end()));
    EXPECT_EQ(window_->Settings().secondBitmapFileName, coloured.toStdString());
}

TEST_F(ImageOpsTest, FilterFileMessagesAreBoxesWithTheirIconsAndTheQuestionDecides) {
    OpenPattern(20, 10);
    const GrayBitmap before = Bitmap();
    struct FileCase {
        const char* name;
        const char* text;
        MessageIcon icon;
        MessageButtons buttons;
        Answer answer;
        bool applied;
    };
    const FileCase cases[] = {
        {"no identification", "Matrix: 1 x 1\n1\n", MessageIcon::kError, MessageButtons::kOk, Answer::kOk,
         false},
        {"row too short", "Tarkemo - Linear Filter: x\nMatrix: 3 x 3\n1 1 1\n1 1\n1 1 1\n",
         MessageIcon::kExclamation, MessageButtons::kOk, Answer::kOk, false},
        {"coefficient sum with DivBy, No",
         "Tarkemo - Linear Filter: x\nMatrix: 3 x 3\n1 1 1\n1 1 1\n1 1 1\nBorder: CoeffSum\nDivBy: 3\n",
         MessageIcon::kExclamation, MessageButtons::kYesNo, Answer::kNo, false},
        {"coefficient sum with DivBy, Yes",
         "Tarkemo - Linear Filter: x\nMatrix: 3 x 3\n1 1 1\n1 1 1\n1 1 1\nBorder: CoeffSum\nDivBy: 3\n",
         MessageIcon::kExclamation, MessageButtons::kYesNo, Answer::kYes, true},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        prompter_->Forget();
        const QString path = WriteText("case.lft", c.text);
        prompter_->AnswerFile(path);
        if (c.buttons == MessageButtons::kYesNo) prompter_->AnswerMessage(c.answer);
        Trigger(40015);
        const MessageRequest shown = prompter_->LastMessage();
        EXPECT_EQ(shown.icon, c.icon);
        EXPECT_EQ(shown.buttons, c.buttons);
        if (c.buttons == MessageButtons::kYesNo) {
            EXPECT_EQ(shown.defaultButton, Answer::kNo);
            EXPECT_EQ(shown.caption, "Lineares Filter - WARNUNG");
        } else {
            EXPECT_EQ(shown.caption, "Lineares Filter - FEHLER");
        }
        EXPECT_EQ(window_->Settings().linearFilterPath, path.toStdString());
        const bool same = std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), before.pixels.begin(),
                                     before.pixels.end());
        EXPECT_EQ(!same, c.applied);
        EXPECT_EQ(window_->Document().modified, c.applied);
    }
    // The built-in kernels forget the filter file.
    Trigger(40056);
    EXPECT_EQ(window_->Settings().linearFilterPath, "");
}

TEST_F(ImageOpsTest, GradientOfATooSmallImageAndCommandsWithoutDocumentDoNothing) {
    for (int id : {40035, 40037, 40013, 40018, 40065, 40030, 40053, 40058, 40015, 40046, 40051}) {
        window_->Dispatch(id);  // no document: no dialog, no message, nothing
    }
    EXPECT_TRUE(prompter_->AskedSoFar().empty());
    OpenPattern(20, 2);
    Trigger(40053);
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_FALSE(Enabled(kUndoCommandId));
}

}  // namespace
}  // namespace tarkemo::app
