// "Tarkemo - Farbauswahl": two palette indices, one for the left and one for the right mouse
// button. The drawing pen keeps its colours here; the palette editor uses the same dialog for the
// start and end of its marked range.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;

namespace tarkemo::app {

// The two indices the dialog was confirmed with.
struct PenColours {
    uint8_t left = 255;
    uint8_t right = 0;
    friend bool operator==(const PenColours&, const PenColours&) = default;
};

// One field as a number: digits only, empty text reads 0. None for any other character or for a
// value beyond 32 bits.
std::optional<int64_t> ReadIndexField(const QString& text);

// Both fields as palette indices, when both read as numbers of at most 255; none otherwise.
std::optional<PenColours> PenColoursFromFields(const QString& left, const QString& right);

class PenColorDlg : public QDialog {
    Q_OBJECT

  public:
    // The fields start with `left` and `right` (shown as they are, even when out of range).
    PenColorDlg(int left, int right, QWidget* parent = nullptr);

    // The entered indices while the input is valid; none otherwise.
    std::optional<PenColours> Colours() const;

    QLineEdit* LeftEdit() const { return left_; }
    QLineEdit* RightEdit() const { return right_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    // Closes with OK only while the input is valid.
    void accept() override;

  private:
    QLineEdit* NumberField(int value);
    void InputChanged();

    QLineEdit* left_ = nullptr;
    QLineEdit* right_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarkemo::app
