// The tool, marking and pen commands through the main window: one exclusive tool group with its
// keys, strokes with one undo snapshot each, the origin shift examples, the manual marking dialog
// with its live frame, the measuring box, copying the marked part, pen sizes and colours, and the
// menu commands that wait while a drag is in progress.
#include "app/commands/tool_commands.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/pen_color_dlg.h"
#include "app/dialogs/select_manual_dlg.h"
#include "app/shell/clipboard_adapter.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "image/bmp_file.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;

class ToolCommandsTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    GrayBitmap& Image() { return *window_->Document().Bitmap(); }
    ImageView& View() { return window_->View(); }

    QPoint At(int c, int r) {
        const ViewState& s = View().State();
        return QPoint(s.originX + c, s.originY + Image().height - 1 - r);
    }
    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(&View(), button, mods, p);
        held_ = button;
    }
    void Move(QPoint p, Qt::KeyboardModifiers mods = {}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), View().mapToGlobal(QPointF(p)), Qt::NoButton, held_,
                         mods);
        QApplication::sendEvent(&View(), &move);
    }
    void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(&View(), button, {}, p);
        held_ = Qt::NoButton;
    }
    void Key(QEvent::Type type, int key) {
        QKeyEvent event(type, key, type == QEvent::KeyPress ? Qt::NoModifier : Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
    }

    std::vector<int> CheckedTools() const {
        std::vector<int> checked;
        for (int id : {40027, 40034, 40028, 40101}) {
            if (window_->Action(id)->isChecked()) checked.push_back(id);
        }
        return checked;
    }

    Qt::MouseButtons held_ = Qt::NoButton;
};

TEST_F(ToolCommandsTest, TheFourToolsAreOneExclusiveGroupWithTheirKeys) {
    EXPECT_EQ(CheckedTools(), std::vector<int>{40027});
    QTest::keyClick(window_.get(), Qt::Key_F3);  // disabled without a document
    EXPECT_EQ(CheckedTools(), std::vector<int>{40027});
    OpenPattern();
    const struct {
        int key;
        int id;
    } keys[] = {{Qt::Key_F3, 40034}, {Qt::Key_F4, 40028}, {Qt::Key_F2, 40027}};
    for (const auto& k : keys) {
        QTest::keyClick(window_.get(), static_cast<Qt::Key>(k.key));
        EXPECT_EQ(CheckedTools(), std::vector<int>{k.id});
    }
    Trigger(40101);
    EXPECT_EQ(CheckedTools(), std::vector<int>{40101});
    Trigger(40034);
    EXPECT_EQ(CheckedTools(), std::vector<int>{40034});
    EXPECT_EQ(View().cursor().shape(), Qt::CrossCursor);

    // During a drag the keys change no tool, and the marks stay as they are.
    Press(At(1, 1));
    QTest::keyClick(window_.get(), Qt::Key_F4);
    Trigger(40027);
    EXPECT_EQ(CheckedTools(), std::vector<int>{40034});
    Release(At(2, 2));
    EXPECT_EQ(View().CurrentMarking(), (Marking{1, 2, 2, 1}));
}

TEST_F(ToolCommandsTest, AStrokeTakesOneSnapshotAndMarksTheDocumentOnce) {
    OpenPattern(20, 20);
    const PixelBuffer before = Image().pixels;
    Trigger(40028);
    EXPECT_FALSE(window_->Document().modified);
    const QString cleanTitle = Title();
    Press(At(10, 10));
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_NE(Title(), cleanTitle);
    EXPECT_EQ(Image().At(10, 9), 255);
    EXPECT_EQ(Image().At(11, 10), 255);
    // Menu commands wait while the stroke is in progress.
    Trigger(40008);
    EXPECT_FALSE(window_->Document().undo.undone);
    for (int x = 11; x <= 18; ++x) Move(At(x, 10 + (x % 3)));
    Release(At(18, 4));
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig: Zeichnen\tStrg+Z"));
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(window_->Document().undo.undone);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), Image().pixels.begin()));
}

TEST_F(ToolCommandsTest, PenSizeAndColourCommandsSetThePen) {
    OpenPattern(20, 20);
    Trigger(40043);
    EXPECT_EQ(window_->Settings().penSize, 3);
    window_->RecomputeCommandStates();
    EXPECT_TRUE(window_->Action(40043)->isChecked());
    EXPECT_FALSE(window_->Action(40041)->isChecked());
    Trigger(40117);
    EXPECT_EQ(window_->Settings().penSize, 9);

    prompter_->AnswerDialog([](QDialog& dialog) {
        auto& pen = dynamic_cast<PenColorDlg&>(dialog);
        EXPECT_EQ(pen.LeftEdit()->text(), QString("255"));
        pen.LeftEdit()->setText("17");
        pen.RightEdit()->setText("200");
        return int(QDialog::Accepted);
    });
    QTest::keyClick(window_.get(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(window_->Settings().penIndexLeft, 17);
    EXPECT_EQ(window_->Settings().penIndexRight, 200);
    prompter_->AnswerDialog([](QDialog& dialog) {
        dynamic_cast<PenColorDlg&>(dialog).LeftEdit()->setText("5");
        return int(QDialog::Rejected);
    });
    Trigger(40042);
    EXPECT_EQ(window_->Settings().penIndexLeft, 17);

    Trigger(40040);
    Trigger(40028);
    Press(At(3, 3), Qt::RightButton);
    Release(At(3, 3), Qt::RightButton);
    EXPECT_EQ(Image().At(3, 3), 200);
    EXPECT_EQ(Image().At(4, 3), 4 + 9);  // pen 1: the neighbour keeps its pattern value
}

TEST_F(ToolCommandsTest, OriginShiftExamplesTakeASnapshotAndMarkModified) {
    OpenPattern(4, 3);
    const GrayBitmap old = Image();
    Trigger(40101);
    Press(At(1, 2));
    Release(At(1, 2));
    EXPECT_EQ(Image().At(0, 0), old.At(1, 2));
    EXPECT_EQ(Image().At(3, 1), old.At(0, 0));
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig: Ursprung verschieben\tStrg+Z"));

    Trigger(40008);  // undo, then a click on (0, 0): no change, but a snapshot
    const PixelBuffer restored = Image().pixels;
    Press(At(0, 0));
    Release(At(0, 0));
    EXPECT_TRUE(std::equal(restored.begin(), restored.end(), Image().pixels.begin()));
    EXPECT_FALSE(window_->Document().undo.undone);

    // The right button moves pixel (0, 0) to the clicked place.
    Press(At(1, 2), Qt::RightButton);
    Release(At(1, 2), Qt::RightButton);
    EXPECT_EQ(Image().At(1, 2), old.At(0, 0));
}

TEST_F(ToolCommandsTest, ManualMarkingFollowsTheFieldsAndCancelRestores) {
    OpenPattern(20, 10);
    View().SetMarking(Marking{1, 5, 3, 2});
    prompter_->AnswerDialog([this](QDialog& dialog) {
        auto& manual = dynamic_cast<SelectManualDlg&>(dialog);
        EXPECT_EQ(dialog.windowTitle(), QString("Markierung manuell eingeben"));
        const QStringList start{manual.XEdit()->text(), manual.YEdit()->text(), manual.WidthEdit()->text(),
                                manual.HeightEdit()->text()};
        EXPECT_EQ(start, (QStringList{"0", "0", "1", "1"}));
        EXPECT_EQ(View().CurrentMarking(), (Marking{0, 0, 0, 0}));  // the start values count
        manual.WidthEdit()->setText("0");
        EXPECT_FALSE(manual.OkButton()->isEnabled());
        EXPECT_EQ(View().CurrentMarking(), WholeImageMarking(20, 10));
        manual.XEdit()->setText("4");
        manual.YEdit()->setText("2");
        manual.WidthEdit()->setText("17");  // X + Breite = width + 1
        EXPECT_FALSE(manual.OkButton()->isEnabled());
        manual.WidthEdit()->setText("16");
        manual.HeightEdit()->setText("3");
        EXPECT_TRUE(manual.OkButton()->isEnabled());
        EXPECT_EQ(View().CurrentMarking(), (Marking{4, 4, 19, 2}));
        return int(QDialog::Accepted);
    });
    QTest::keyClick(window_.get(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentMarking(), (Marking{4, 4, 19, 2}));

    View().SetMarking(Marking{1, 5, 3, 2});
    prompter_->AnswerDialog([this](QDialog& dialog) {
        auto& manual = dynamic_cast<SelectManualDlg&>(dialog);
        EXPECT_EQ(manual.XEdit()->text(), QString("4"));  // the last confirmed entry
        EXPECT_EQ(manual.WidthEdit()->text(), QString("16"));
        manual.XEdit()->setText("0");
        EXPECT_EQ(View().CurrentMarking(), (Marking{0, 4, 15, 2}));
        return int(QDialog::Rejected);
    });
    Trigger(40039);
    EXPECT_EQ(View().CurrentMarking(), (Marking{1, 5, 3, 2}));
}

TEST_F(ToolCommandsTest, MeasuringTheThreeByFourMarking) {
    OpenPattern(10, 10);
    View().SetMarking(Marking{2, 5, 4, 2});
    Trigger(40129);
    const MessageRequest box = prompter_->LastMessage();
    EXPECT_EQ(box.caption, QString("Tarkemo - Maxima zählen"));
    EXPECT_EQ(box.icon, MessageIcon::kInformation);
    EXPECT_TRUE(
        box.text.startsWith("Höhe:\t4\nBreite:\t3\nFläche:\t12\nDiag.:\t5.00\n\nGrauwerte:\nMinimal:\t8"))
        << box.text.toStdString();
    // Pixel (x, y) = x + 3y: columns 2..4, rows 2..5 give mean 3 + 3 * 3.5 = 13.5.
    EXPECT_TRUE(box.text.endsWith("Mittel:\t13.50\nMaximal:\t19")) << box.text.toStdString();
}

TEST_F(ToolCommandsTest, MarkedWithTheMouseThenCopiedAndEscapeThroughTheWindow) {
    OpenPattern(10, 10);
    Trigger(40034);
    Press(At(4, 1));
    Move(At(2, 0));
    Trigger(40006);  // waits while the marking is dragged
    const QMimeData* nothing = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(nothing == nullptr || nothing->formats().isEmpty());
    Release(At(2, 0));
    Trigger(40006);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    const QByteArray file = copied->data(kBmpMimeType);
    const auto decoded =
        DecodeBmp(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.constData()), file.size()));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->bitmap.width, 3);
    EXPECT_EQ(decoded->bitmap.height, 2);
    EXPECT_EQ(decoded->bitmap.At(0, 1), 2 + 3);

    Press(At(7, 7));
    Move(At(9, 9));
    Key(QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_EQ(View().CurrentMarking(), (Marking{2, 1, 4, 0}));
    Release(At(9, 9));
}

}  // namespace
}  // namespace tarkemo::app
