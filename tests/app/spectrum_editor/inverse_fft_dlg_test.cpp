// The inverse transform dialog: the preview it asks for at opening and after every change, and
// which number fields it accepts.
#include "app/spectrum_editor/inverse_fft_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

class RecordingPreview : public InversePreview {
  public:
    void ShowInverse(const InverseSettings& settings) override { shown.push_back(settings); }
    std::vector<InverseSettings> shown;
};

class InverseFFTDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }
    RecordingPreview preview_;
};

TEST_F(InverseFFTDlgTest, OpensWithTheDefaultsAndPreviewsThemOnce) {
    InverseFFTDlg dialog(preview_);
    EXPECT_EQ(dialog.windowTitle(), QString("Tarkemo - Inverse DFT"));
    EXPECT_EQ(dialog.AddEdit()->text(), QString("0"));
    EXPECT_EQ(dialog.MultiplierEdit()->text(), QString("1"));
    EXPECT_TRUE(dialog.SourceButton(InverseSource::kReal)->isChecked());
    ASSERT_EQ(preview_.shown.size(), 1u);
    const InverseSettings& first = preview_.shown[0];
    EXPECT_EQ(first.source, InverseSource::kReal);
    EXPECT_EQ(first.add, 0.0f);
    EXPECT_EQ(first.multiplier, 1.0f);
    EXPECT_FALSE(first.absolute || first.normalise);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

TEST_F(InverseFFTDlgTest, EveryChangePreviewsAndInvalidFieldsFreezeThePreview) {
    InverseFFTDlg dialog(preview_);
    dialog.SourceButton(InverseSource::kPhase)->click();
    EXPECT_EQ(preview_.shown.back().source, InverseSource::kPhase);
    dialog.AddEdit()->setText("-2.5");
    EXPECT_EQ(preview_.shown.back().add, -2.5f);
    dialog.AbsoluteBox()->click();
    EXPECT_TRUE(preview_.shown.back().absolute);

    const size_t before = preview_.shown.size();
    dialog.MultiplierEdit()->setText("2x");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(preview_.shown.size(), before);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.MultiplierEdit()->setText("");  // empty counts as 0
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(preview_.shown.back().multiplier, 0.0f);

    dialog.NormaliseBox()->click();
    EXPECT_FALSE(dialog.MultiplierEdit()->isEnabled());
    EXPECT_TRUE(preview_.shown.back().normalise);
    dialog.NormaliseBox()->click();
    EXPECT_TRUE(dialog.MultiplierEdit()->isEnabled());
    EXPECT_EQ(preview_.shown.size(), before + 3);
}

}  // namespace
}  // namespace tarkemo::app
