// "Bitauswahl für ...": the constant of AND, OR and XOR, typed as a decimal number or clicked as
// eight bits. Every valid constant is previewed at once through the colour table (the command
// provides the preview); the pixels change only after OK, in the command.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

// What the bit dialog asks its command to show while it is open.
class BitPreview {
  public:
    virtual ~BitPreview() = default;
    // Shows the image as the operation with `constant` would make it.
    virtual void ShowConstant(uint8_t constant) = 0;
};

class BitsDlg : public QDialog {
    Q_OBJECT

  public:
    // `constant` is the application-wide constant: every valid entry is stored there at once, so a
    // cancelled dialog still offers the last value next time. `menuText` names the operation.
    BitsDlg(uint8_t& constant, const QString& menuText, BitPreview& preview, QWidget* parent = nullptr);

    // The constant of the eight boxes, which OK applies.
    uint8_t BoxesValue() const;

    QLineEdit* DecimalEdit() const { return decimal_; }
    QCheckBox* BitBox(int bit) const { return bits_[static_cast<size_t>(bit)]; }
    QPushButton* OkButton() const { return ok_; }

  private:
    void DecimalChanged();
    void BoxClicked();

    uint8_t& constant_;
    BitPreview& preview_;
    QLineEdit* decimal_ = nullptr;
    std::array<QCheckBox*, 8> bits_{};
    QPushButton* ok_ = nullptr;
};

// The title: "Bitauswahl für " and the menu text without its "&" and "." characters.
QString BitsDialogTitle(const QString& menuText);

}  // namespace tarkemo::app
