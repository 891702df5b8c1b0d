// "Partikel-Parameter": the threshold and the accepted area range of the particle counts. While
// the input is valid the threshold is previewed in the image's colour table; the dialog does that
// through a ThresholdPreview that its command provides and never touches the image itself.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "particles/particle_params.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

// What the parameter dialog asks its command to show while it is open.
class ThresholdPreview {
  public:
    virtual ~ThresholdPreview() = default;
    // Shows the pixels below minGray dark blue and the others in the image's own colours.
    virtual void ShowThreshold(uint32_t minGray) = 0;
    // Shows the image in its own colours again.
    virtual void ShowOwnColours() = 0;
};

// One field of the dialog as an unsigned 32-bit number: empty text reads 0; none for text that
// is not made of digits or a number that does not fit 32 bits.
std::optional<uint32_t> ReadUnsignedField(const QString& text);

class ParticleParamsDlg : public QDialog {
    Q_OBJECT

  public:
    // The fields start with `start`; the preview is shown at once when that input is valid.
    ParticleParamsDlg(const ParticleParams& start, ThresholdPreview& preview, QWidget* parent = nullptr);

    // The values entered, when they are a valid input; none otherwise.
    std::optional<ParticleParams> Params() const;

    QLineEdit* MinGrayEdit() const { return minGray_; }
    QLineEdit* MinAreaEdit() const { return minArea_; }
    QLineEdit* MaxAreaEdit() const { return maxArea_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    // Closes with OK only while the input is valid.
    void accept() override;

  protected:
    // However the dialog ends, the image shows its own colours afterwards.
    void done(int result) override;

  private:
    QLineEdit* AddRow(QGridLayout* grid, int row, const QString& label, const QString& unit, uint32_t value);
    void InputChanged(bool grayField);

    ThresholdPreview& preview_;
    QLineEdit* minGray_ = nullptr;
    QLineEdit* minArea_ = nullptr;
    QLineEdit* maxArea_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarkemo::app
