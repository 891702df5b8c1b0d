// The manual marking dialog on its own: texts, digits-only typing, the live marking on every
// change including the start values, and OK only for a marking inside the image.
#include "app/dialogs/select_manual_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

class SelectManualDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }
    std::vector<Marking> seen_;
    SelectManualDlg::MarkingChanged Record() {
        return [this](const Marking& m) { seen_.push_back(m); };
    }
};

TEST_F(SelectManualDlgTest, ShowsTheLastEntryAndTheImageSizeAndAppliesItAtOnce) {
    SelectManualDlg dialog(Marking{3, 9, 7, 4}, 640, 480, Record());
    EXPECT_EQ(dialog.windowTitle(), QString("Markierung manuell eingeben"));
    EXPECT_EQ(dialog.XEdit()->text(), QString("3"));
    EXPECT_EQ(dialog.YEdit()->text(), QString("4"));
    EXPECT_EQ(dialog.WidthEdit()->text(), QString("5"));
    EXPECT_EQ(dialog.HeightEdit()->text(), QString("6"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    for (const char* text :
         {"Untere, linke Ecke:", "X:", "Y:", "Abmessungen:", "Breite:", "Höhe:", "640", "480"}) {
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_EQ(seen_, (std::vector<Marking>{{3, 9, 7, 4}}));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

TEST_F(SelectManualDlgTest, TypingAcceptsDigitsOnlyAndOkFollowsTheInput) {
    SelectManualDlg dialog(Marking{}, 10, 8, Record());
    dialog.XEdit()->clear();
    QTest::keyClicks(dialog.XEdit(), "-4a ");
    EXPECT_EQ(dialog.XEdit()->text(), QString("4"));
    EXPECT_EQ(seen_.back(), (Marking{4, 0, 4, 0}));
    dialog.WidthEdit()->setText("7");  // 4 + 7 = width + 1
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(seen_.back(), WholeImageMarking(10, 8));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.WidthEdit()->setText("6");
    dialog.YEdit()->setText("");  // empty reads 0
    dialog.HeightEdit()->setText("8");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(seen_.back(), (Marking{4, 7, 9, 0}));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarkemo::app
