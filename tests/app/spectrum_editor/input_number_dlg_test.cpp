// The number dialog of the spectrum editor: its fields at opening, which inputs enable OK under
// which flags, and what OK and cancel leave in the request.
#include "app/spectrum_editor/input_number_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

class InputNumberDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }
};

NumberRequest ExponentRequest() {
    NumberRequest request;
    request.prompt = "Bitte geben Sie einen Exponenten (zwischen 0 und 1) an:";
    request.firstLabel = "Exponenten:";
    request.first = 0.1f;
    request.firstNotNegative = request.firstPositive = true;
    return request;
}

TEST_F(InputNumberDlgTest, OneNumberFormHidesTheSecondFieldAndShowsSevenDigits) {
    NumberRequest request = ExponentRequest();
    InputNumberDlg dialog(request);
    EXPECT_EQ(dialog.windowTitle(), QString("Tarkemo - Eingabe"));
    EXPECT_EQ(dialog.FirstEdit()->text(), QString("0.1"));
    EXPECT_TRUE(dialog.SecondEdit()->isHidden());
    EXPECT_TRUE(dialog.OkButton()->isEnabled());

    NumberRequest complex;
    complex.firstLabel = "Realteil:";
    complex.secondLabel = "Imaginärteil:";
    complex.first = 1;
    InputNumberDlg two(complex);
    EXPECT_FALSE(two.SecondEdit()->isHidden());
    EXPECT_EQ(two.FirstEdit()->text(), QString("1."));
    EXPECT_EQ(two.SecondEdit()->text(), QString("0."));
}

struct ValidityCase {
    const char* first;
    const char* second;
    bool positiveFlags;  // first > 0 and not negative; second not negative
    bool okEnabled;
};

TEST_F(InputNumberDlgTest, OkFollowsBothFieldsAndTheirFlags) {
    const ValidityCase cases[] = {
        {"0.5", "", true, true},     {"2", "0", true, true},  // above 1 is accepted
        {"0", "0", true, false},     {"-1", "0", true, false},   {"", "0", true, false},
        {"0.5", "-1", true, false},  {"abc", "0", true, false},  {"1e39", "0", true, false},
        {"-1", "-2", false, true},   {"", "", false, true},  // empty counts as 0
        {"1.5x", "0", false, false}, {"0", "nan", false, false},
    };
    for (const ValidityCase& c : cases) {
        NumberRequest request;
        request.firstLabel = "a";
        request.secondLabel = "b";
        request.firstPositive = request.firstNotNegative = request.secondNotNegative = c.positiveFlags;
        InputNumberDlg dialog(request);
        dialog.FirstEdit()->setText(c.first);
        dialog.SecondEdit()->setText(c.second);
        EXPECT_EQ(dialog.OkButton()->isEnabled(), c.okEnabled) << c.first << " / " << c.second;
    }
}

TEST_F(InputNumberDlgTest, OkStoresFloatsAndCancelOrInvalidInputKeepsTheRequest) {
    NumberRequest request = ExponentRequest();
    {
        InputNumberDlg dialog(request);
        dialog.FirstEdit()->setText("0");
        QTest::keyClick(dialog.FirstEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);  // OK refused while invalid
        dialog.reject();
    }
    EXPECT_FLOAT_EQ(request.first, 0.1f);
    {
        InputNumberDlg dialog(request);
        dialog.FirstEdit()->setText("0.25");
        QTest::keyClick(dialog.FirstEdit(), Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_FLOAT_EQ(request.first, 0.1f);
    {
        InputNumberDlg dialog(request);
        dialog.FirstEdit()->setText("0.25");
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_FLOAT_EQ(request.first, 0.25f);
    EXPECT_FLOAT_EQ(request.second, 0.0f);  // one-number form leaves the second value alone
}

}  // namespace
}  // namespace tarkemo::app
