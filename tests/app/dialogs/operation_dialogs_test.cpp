// The dialogs of the image operations on their own: the size dialog in resize and spectrum mode
// (its controls' states, what OK accepts, the raise to powers of two with the dialog staying open)
// and the window dialog of the local operations (lists, preselection, shortcuts, OK).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/dialogs/bitmap_size_dlg.h"
#include "app/dialogs/loc_op_size_dlg.h"
#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

using testing::ScriptedPrompter;
using testing::TestApplication;

class OperationDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
    ScriptedPrompter prompter_;
};

TEST_F(OperationDialogTest, SizeDialogShowsTheFillRuleAsTheControlsSay) {
    struct Case {
        int32_t rule;
        bool algorithm;
        int listPosition;
        bool meanGray;
        bool grayEnabled;
        const char* gray;
    };
    const Case cases[] = {
        {-2, true, 1, false, false, "0"},
        {256, false, 0, true, false, "0"},
        {77, false, 0, false, true, "77"},
        {-9, false, 0, false, true, "0"},  // outside -4 ... 256: taken as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const SizeSettings start{110, 50, 3, 4, false, true, c.rule};
        BitmapSizeDlg dialog(start, ImageExtent{100, 50}, prompter_);
        EXPECT_EQ(dialog.windowTitle(), "Tarkemo - Bitmapgröße");
        EXPECT_EQ(dialog.AlgorithmButton()->isChecked(), c.algorithm);
        EXPECT_EQ(dialog.RuleList()->isEnabled(), c.algorithm);
        EXPECT_EQ(dialog.RuleList()->currentIndex(), c.listPosition);
        EXPECT_EQ(dialog.MeanGrayBox()->isChecked(), c.meanGray);
        EXPECT_EQ(dialog.MeanGrayBox()->isEnabled(), !c.algorithm);
        EXPECT_EQ(dialog.GrayEdit()->isEnabled(), c.grayEnabled);
        EXPECT_EQ(dialog.GrayEdit()->text(), c.gray);
        EXPECT_TRUE(dialog.OffsetXEdit()->isEnabled());
        EXPECT_FALSE(dialog.OffsetYEdit()->isEnabled());
        EXPECT_TRUE(dialog.OkButton()->isEnabled());
    }
}

TEST_F(OperationDialogTest, SizeDialogOkFollowsEveryChange) {
    BitmapSizeDlg dialog(SizeSettings{100, 50, 0, 0, true, true, 0}, ImageExtent{100, 50}, prompter_);
    QPushButton* ok = dialog.OkButton();
    dialog.WidthBox()->setEditText("99");
    EXPECT_FALSE(ok->isEnabled());
    dialog.WidthBox()->setCurrentIndex(1);  // choosing an entry copies it into the field
    EXPECT_EQ(dialog.WidthBox()->currentText(), "128");
    EXPECT_TRUE(ok->isEnabled());
    dialog.CentreXBox()->setChecked(false);
    EXPECT_TRUE(dialog.OffsetXEdit()->isEnabled());
    dialog.OffsetXEdit()->setText("29");
    EXPECT_FALSE(ok->isEnabled());
    dialog.OffsetXEdit()->setText("28");
    EXPECT_TRUE(ok->isEnabled());
    dialog.WidthBox()->setEditText("12a");
    EXPECT_FALSE(ok->isEnabled());
    dialog.WidthBox()->setEditText("");
    EXPECT_FALSE(ok->isEnabled());
    dialog.WidthBox()->setEditText("128");
    dialog.GrayEdit()->setText("256");
    EXPECT_FALSE(ok->isEnabled());
    dialog.MeanGrayBox()->setChecked(true);
    EXPECT_FALSE(dialog.GrayEdit()->isEnabled());
    EXPECT_TRUE(ok->isEnabled());
    dialog.AlgorithmButton()->setChecked(true);
    EXPECT_FALSE(dialog.MeanGrayBox()->isEnabled());
    EXPECT_TRUE(dialog.RuleList()->isEnabled());
    dialog.RuleList()->setCurrentIndex(2);
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const SizeSettings settings = dialog.Settings();
    EXPECT_EQ(settings.width, 128);
    EXPECT_EQ(settings.offsetX, 28);
    EXPECT_FALSE(settings.centreX);
    EXPECT_TRUE(settings.centreY);
    EXPECT_EQ(settings.fillRule, -3);
}

TEST_F(OperationDialogTest, SpectrumModeRaisesToPowersOfTwoAndStaysOpenOnce) {
    BitmapSizeDlg dialog(SizeSettings{1024, 1024, 0, 0, false, false, 0}, std::nullopt, prompter_);
    EXPECT_EQ(dialog.WidthBox()->count(), 12);
    EXPECT_EQ(dialog.WidthBox()->itemText(0), "16");
    dialog.WidthBox()->setEditText("100");
    dialog.HeightBox()->setEditText("64");
    dialog.OkButton()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.WidthBox()->currentText(), "128");
    EXPECT_EQ(dialog.HeightBox()->currentText(), "64");
    const MessageRequest shown = prompter_.LastMessage();
    EXPECT_EQ(shown.text, kPowerOfTwoText);
    EXPECT_EQ(shown.caption, kPowerOfTwoCaption);
    EXPECT_EQ(shown.icon, MessageIcon::kInformation);
    prompter_.Forget();
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter_.AskedSoFar().empty());
    EXPECT_EQ(dialog.Settings().width, 128);
    EXPECT_EQ(dialog.Settings().height, 64);
}

TEST_F(OperationDialogTest, WindowDialogListsFitTheImageAndOkNeedsAChosenWindow) {
    LocalOpSettings start{5, 3, 4, 20};
    LocOpSizeDlg rank(start, LocalOpKind::kRank, 6, 50);
    EXPECT_EQ(rank.windowTitle(), "Tarkemo - Bereich für lokale Operation");
    ASSERT_EQ(rank.WidthList()->count(), 2);
    EXPECT_EQ(rank.WidthList()->itemText(1), "3");
    EXPECT_EQ(rank.WidthList()->currentIndex(), -1) << "5 is not in the list of a 6-pixel-wide image";
    EXPECT_EQ(rank.HeightList()->currentIndex(), 1);
    EXPECT_FALSE(rank.OkButton()->isEnabled());
    EXPECT_FALSE(rank.CompareEdit()->isVisibleTo(&rank));
    rank.WidthList()->setCurrentIndex(1);
    EXPECT_TRUE(rank.OkButton()->isEnabled());
    rank.MaximumButton()->click();
    EXPECT_EQ(rank.NumberEdit()->text(), "9");
    rank.MedianButton()->click();
    EXPECT_EQ(rank.NumberEdit()->text(), "5");
    rank.MinimumButton()->click();
    EXPECT_EQ(rank.NumberEdit()->text(), "1");
    rank.NumberEdit()->setText("9");
    rank.WidthList()->setCurrentIndex(0);  // a 1 x 3 window holds 3 values: rank 9 no longer fits
    EXPECT_FALSE(rank.OkButton()->isEnabled());
    rank.NumberEdit()->setText("3");
    EXPECT_TRUE(rank.OkButton()->isEnabled());
    rank.OkButton()->click();
    const LocalOpSettings chosen = rank.Settings();
    EXPECT_EQ(chosen.windowWidth, 1);
    EXPECT_EQ(chosen.windowHeight, 3);
    EXPECT_EQ(chosen.rankOrContrast, 3);

    LocOpSizeDlg normalize(LocalOpSettings{3, 3, 30, 20}, LocalOpKind::kNormalize, 50, 50);
    EXPECT_TRUE(normalize.CompareEdit()->isVisibleTo(&normalize));
    EXPECT_FALSE(normalize.MedianButton()->isVisibleTo(&normalize));
    normalize.CompareEdit()->setText("0");
    EXPECT_FALSE(normalize.OkButton()->isEnabled());
    normalize.NumberEdit()->setText("255");
    EXPECT_TRUE(normalize.OkButton()->isEnabled());
    normalize.NumberEdit()->setText("256");
    EXPECT_FALSE(normalize.OkButton()->isEnabled());
}

}  // namespace
}  // namespace tarkemo::app
