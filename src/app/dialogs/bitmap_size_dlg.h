// "Tarkemo - Bitmapgröße": the new size of the image, where the old image goes inside it and how the
// new margin is filled. In resize mode the sides may only grow; in spectrum mode (no image) they
// are raised to powers of two on OK, with a message, and the dialog stays open for another look.
// What may be confirmed is decided by SizeFieldsValid on every change.
#pragma once

#include <QDialog>
#include <optional>

#include "document/size_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarkemo::app {

class Prompter;

class BitmapSizeDlg : public QDialog {
    Q_OBJECT

  public:
    // The fields start from `start`; `image` is the size of the image to be resized, none for the
    // spectrum mode. The raise-to-power-of-two message goes through `prompter`.
    BitmapSizeDlg(const SizeSettings& start, std::optional<ImageExtent> image, Prompter& prompter,
                  QWidget* parent = nullptr);

    // The confirmed entries (valid once the dialog was accepted).
    const SizeSettings& Settings() const { return settings_; }
    // The controls' current state as the checks see it.
    SizeDialogFields Fields() const;

    QComboBox* WidthBox() const { return width_; }
    QComboBox* HeightBox() const { return height_; }
    QLineEdit* OffsetXEdit() const { return offsetX_; }
    QLineEdit* OffsetYEdit() const { return offsetY_; }
    QCheckBox* CentreXBox() const { return centreX_; }
    QCheckBox* CentreYBox() const { return centreY_; }
    QRadioButton* GrayButton() const { return grayButton_; }
    QRadioButton* AlgorithmButton() const { return algorithmButton_; }
    QLineEdit* GrayEdit() const { return gray_; }
    QCheckBox* MeanGrayBox() const { return meanGray_; }
    QComboBox* RuleList() const { return rules_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    // Spectrum mode raises the sides first and stays open when it had to; OK only while valid.
    void accept() override;

  private:
    void BuildControls();
    void ShowStart(const SizeSettings& start);
    void UpdateEnabling();
    void Revalidate();
    bool RaiseSidesToPowersOfTwo();

    std::optional<ImageExtent> image_;
    Prompter& prompter_;
    SizeSettings settings_;
    QComboBox* width_ = nullptr;
    QComboBox* height_ = nullptr;
    QLineEdit* offsetX_ = nullptr;
    QLineEdit* offsetY_ = nullptr;
    QCheckBox* centreX_ = nullptr;
    QCheckBox* centreY_ = nullptr;
    QRadioButton* grayButton_ = nullptr;
    QRadioButton* algorithmButton_ = nullptr;
    QLineEdit* gray_ = nullptr;
    QCheckBox* meanGray_ = nullptr;
    QComboBox* rules_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// The message shown when spectrum-mode sides were raised to powers of two.
inline constexpr const char* kPowerOfTwoText =
    "Für die schnelle Fouriertransformation (FFT) müssen Breite und Höhe der Bitmap jeweils 2er-Potenzen "
    "sein. Ihre Eingabe für die Höhe bzw. Breite wurde daher auf die nächst größere 2er-Potenz vergrößert. "
    "Überprüfen Sie bitte die neuen Angaben!";
inline constexpr const char* kPowerOfTwoCaption = "Bitmapgöße ändern - Fehlerhafte Eingabe";

}  // namespace tarkemo::app
