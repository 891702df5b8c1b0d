// "Tarkemo - Eingabe": asks for one or two real numbers. The spectrum editor uses it for the
// exponent of the power-law scale and for the complex factor of the filter.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

// What the dialog asks for and, after OK, what it got. An empty second label asks for one
// number only. The flags restrict each value; all are off unless set.
struct NumberRequest {
    QString prompt;
    QString firstLabel;
    QString secondLabel;
    float first = 0;
    float second = 0;
    bool firstNotNegative = false;
    bool secondNotNegative = false;
    bool firstPositive = false;
    bool secondPositive = false;
};

// One field read under its two flags: the whole text as a plain decimal number that stays finite
// as a float, empty text as 0; none when the text or the flags refuse it.
std::optional<float> ReadNumberField(const QString& text, bool notNegative, bool positive);

class InputNumberDlg : public QDialog {
    Q_OBJECT

  public:
    // The fields start with the request's values in seven significant digits.
    explicit InputNumberDlg(NumberRequest& request, QWidget* parent = nullptr);

    QLineEdit* FirstEdit() const { return firstEdit_; }
    QLineEdit* SecondEdit() const { return secondEdit_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    // Stores the values in the request and closes, only while both fields are valid.
    void accept() override;

  private:
    std::optional<float> First() const;
    std::optional<float> Second() const;
    void FieldsChanged();

    NumberRequest& request_;
    QLineEdit* firstEdit_ = nullptr;
    QLineEdit* secondEdit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarkemo::app
