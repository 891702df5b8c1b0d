// The pen colour dialog: which field texts it accepts, that OK follows the input on every change,
// and what it returns.
#include "app/dialogs/pen_color_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

struct FieldCase {
    const char* text;
    std::optional<int64_t> value;
};

TEST(ReadIndexFieldTest, DigitsOnlyEmptyIsZeroAndThirtyTwoBitsAtMost) {
    const FieldCase cases[] = {
        {"", 0},
        {"0", 0},
        {"255", 255},
        {"0007", 7},
        {"256", 256},
        {"4294967295", 4294967295LL},
        {"4294967296", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"0x1", std::nullopt},
        {"1.0", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"\xd9\xa3", std::nullopt},  // an Arabic-Indic three is a digit to Unicode, not to us
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(ReadIndexField(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

struct PairCase {
    const char* left;
    const char* right;
    std::optional<PenColours> colours;
};

TEST(PenColoursFromFieldsTest, BothAtMost255) {
    const PairCase cases[] = {
        {"255", "0", PenColours{255, 0}},  {"", "", PenColours{0, 0}}, {"17", "200", PenColours{17, 200}},
        {"256", "0", std::nullopt},        {"0", "256", std::nullopt}, {"a", "1", std::nullopt},
        {"1", "4294967296", std::nullopt},
    };
    for (const PairCase& c : cases) {
        EXPECT_EQ(PenColoursFromFields(c.left, c.right), c.colours) << c.left << " / " << c.right;
    }
}

class PenColorDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }
};

TEST_F(PenColorDlgTest, ShowsTitleTextsAndTheCurrentColours) {
    PenColorDlg dialog(255, 0);
    EXPECT_EQ(dialog.windowTitle(), QString("Tarkemo - Farbauswahl"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains("Palettenindex (0-255) für Maustaste:"));
    EXPECT_TRUE(labels.contains("links"));
    EXPECT_TRUE(labels.contains("rechts"));
    EXPECT_EQ(dialog.LeftEdit()->text(), QString("255"));
    EXPECT_EQ(dialog.RightEdit()->text(), QString("0"));
    EXPECT_EQ(dialog.OkButton()->text(), QString("OK"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    bool hasCancel = false;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        hasCancel = hasCancel || button->text() == "Abbrechen";
    }
    EXPECT_TRUE(hasCancel);
}

TEST_F(PenColorDlgTest, OkFollowsEveryChangeAndOnlyDigitsCanBeTyped) {
    PenColorDlg dialog(10, 20);
    dialog.LeftEdit()->setText("256");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);  // accept refused while invalid
    dialog.LeftEdit()->setText("");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.Colours(), (PenColours{0, 20}));

    dialog.RightEdit()->clear();
    QTest::keyClicks(dialog.RightEdit(), "1x-2.5");
    EXPECT_EQ(dialog.RightEdit()->text(), QString("125"));
    EXPECT_EQ(dialog.Colours(), (PenColours{0, 125}));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PenColorDlgTest, OutOfRangeStartValuesShowButDisableOk) {
    PenColorDlg dialog(300, 0);
    EXPECT_EQ(dialog.LeftEdit()->text(), QString("300"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
}

}  // namespace
}  // namespace tarkemo::app
