// The parameter dialog of the particle counts: which inputs it accepts (OK disabled otherwise),
// that only digits can be typed, and which preview it asks its command for after each change.
#include "app/dialogs/particle_params_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

// Records every preview request as "T<n>" (threshold n) or "own".
class RecordingPreview : public ThresholdPreview {
  public:
    void ShowThreshold(uint32_t minGray) override {
        calls.push_back(QString("T%1").arg(minGray).toStdString());
    }
    void ShowOwnColours() override { calls.push_back("own"); }
    std::vector<std::string> calls;
};

class ParticleParamsDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }

    // Sets the three fields, the area fields first so that the threshold is the last change.
    void Enter(ParticleParamsDlg& dialog, const char* minGray, const char* minArea, const char* maxArea) {
        dialog.MaxAreaEdit()->setText(maxArea);
        dialog.MinAreaEdit()->setText(minArea);
        dialog.MinGrayEdit()->setText(minGray);
    }

    RecordingPreview preview_;
};

TEST_F(ParticleParamsDlgTest, OpensWithTheRememberedValuesAndPreviewsAtOnce) {
    ParticleParamsDlg dialog(ParticleParams{70, 3, 12}, preview_);
    EXPECT_EQ(dialog.windowTitle(), QString("Partikel-Parameter"));
    EXPECT_EQ(dialog.MinGrayEdit()->text(), QString("70"));
    EXPECT_EQ(dialog.MinAreaEdit()->text(), QString("3"));
    EXPECT_EQ(dialog.MaxAreaEdit()->text(), QString("12"));
    EXPECT_EQ(dialog.MinGrayEdit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.OkButton()->text(), QString("&OK"));
    EXPECT_EQ(preview_.calls, (std::vector<std::string>{"T70"}));
}

struct InputCase {
    const char* minGray;
    const char* minArea;
    const char* maxArea;
    bool valid;
};

TEST_F(ParticleParamsDlgTest, AcceptsOnlyAThresholdUpTo255AndAnAreaRangeOfAtLeastOnePixel) {
    const InputCase cases[] = {
        {"50", "1", "10", true},
        {"0", "1", "10", true},  // 0 is accepted despite "(1-255)"
        {"", "1", "10", true},
        {"255", "0", "1", true},  // an empty field reads 0
        {"256", "1", "10", false},
        {"50", "10", "10", true},  // both bounds inclusive
        {"50", "11", "10", false},
        {"50", "0", "0", false},
        {"50", "1", "", false},
        {"50", "1", "4294967295", true},
        {"50", "1", "4294967296", false},  // beyond 32 bits
        {"99999999999", "1", "10", false},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(std::string(c.minGray) + " " + c.minArea + " " + c.maxArea);
        ParticleParamsDlg dialog(ParticleParams{}, preview_);
        Enter(dialog, c.minGray, c.minArea, c.maxArea);
        EXPECT_EQ(dialog.OkButton()->isEnabled(), c.valid);
        EXPECT_EQ(dialog.Params().has_value(), c.valid);
        dialog.accept();
        EXPECT_EQ(dialog.result(), c.valid ? QDialog::Accepted : QDialog::Rejected);
        if (!c.valid) continue;
        EXPECT_EQ(dialog.Params()->minGray, ReadUnsignedField(c.minGray).value());
        EXPECT_EQ(dialog.Params()->maxArea, ReadUnsignedField(c.maxArea).value());
    }
}

TEST_F(ParticleParamsDlgTest, OnlyDigitsCanBeTyped) {
    ParticleParamsDlg dialog(ParticleParams{}, preview_);
    dialog.MinGrayEdit()->clear();
    QTest::keyClicks(dialog.MinGrayEdit(), "1a-2 .5");
    EXPECT_EQ(dialog.MinGrayEdit()->text(), QString("125"));
    EXPECT_EQ(ReadUnsignedField("12a"), std::nullopt);
    EXPECT_EQ(ReadUnsignedField("-1"), std::nullopt);
    EXPECT_EQ(ReadUnsignedField("007"), 7u);
}

TEST_F(ParticleParamsDlgTest, PreviewFollowsTheThresholdAndVanishesWhileTheInputIsInvalid) {
    ParticleParamsDlg dialog(ParticleParams{}, preview_);
    preview_.calls.clear();
    dialog.MinGrayEdit()->setText("80");
    EXPECT_EQ(preview_.calls.back(), "T80");
    // Clearing the maximum area: OK disabled and the image's own colours back.
    dialog.MaxAreaEdit()->clear();
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(preview_.calls.back(), "own");
    // A valid maximum area enables OK but brings the preview back only with the next threshold.
    const size_t before = preview_.calls.size();
    dialog.MaxAreaEdit()->setText("20");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(preview_.calls.size(), before);
    dialog.MinGrayEdit()->setText("8");
    EXPECT_EQ(preview_.calls.back(), "T8");
    dialog.MinGrayEdit()->setText("300");
    EXPECT_EQ(preview_.calls.back(), "own");
}

TEST_F(ParticleParamsDlgTest, EveryWayOfClosingShowsTheOwnColoursAgain) {
    for (const bool ok : {true, false}) {
        ParticleParamsDlg dialog(ParticleParams{}, preview_);
        preview_.calls.clear();
        if (ok) {
            dialog.OkButton()->click();
        } else {
            dialog.reject();
        }
        EXPECT_EQ(dialog.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(preview_.calls, (std::vector<std::string>{"own"}));
    }
}

}  // namespace
}  // namespace tarkemo::app
