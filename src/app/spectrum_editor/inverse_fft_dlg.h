// "Tarkemo - Inverse DFT": how the back-transformed complex image becomes new pixel values. Every
// change of a setting is shown at once; the dialog asks its command for that through an
// InversePreview and never touches the document itself.
#pragma once

#include <QDialog>
#include <optional>

#include "spectrum/inverse_result.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

class InversePreview {
  public:
    virtual ~InversePreview() = default;
    // Shows the result of `settings` in the document's bitmap.
    virtual void ShowInverse(const InverseSettings& settings) = 0;
};

class InverseFFTDlg : public QDialog {
    Q_OBJECT

  public:
    // Opens with "Realteil", add 0, multiply 1, and previews that at once.
    explicit InverseFFTDlg(InversePreview& preview, QWidget* parent = nullptr);

    // The settings as the fields stand; none while a number field is invalid.
    std::optional<InverseSettings> Settings() const;

    QLineEdit* AddEdit() const { return add_; }
    QLineEdit* MultiplierEdit() const { return multiplier_; }
    QCheckBox* AbsoluteBox() const { return absolute_; }
    QCheckBox* NormaliseBox() const { return normalise_; }
    QPushButton* OkButton() const { return ok_; }
    // The source radio button "Betrag", "Phase", "Realteil" or "Imaginärteil".
    QAbstractButton* SourceButton(InverseSource source) const;

  public slots:
    // Closes with OK only while both number fields are valid.
    void accept() override;

  private:
    QWidget* MakeSourceGroup();
    QWidget* MakeSignGroup();
    QWidget* MakeScaleGroup();
    void SettingsChanged();

    InversePreview& preview_;
    QButtonGroup* sources_ = nullptr;
    QLineEdit* add_ = nullptr;
    QCheckBox* absolute_ = nullptr;
    QLineEdit* multiplier_ = nullptr;
    QCheckBox* normalise_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarkemo::app
