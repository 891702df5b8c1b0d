// "Markierung manuell eingeben": the marking typed in as the lower left corner and the size.
// The marking follows the fields on every change (through the callback the command gives), so
// the frame in the window moves while the person types; invalid input shows the whole image
// and disables OK.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "document/manual_marking.h"
#include "document/marking.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

class SelectManualDlg : public QDialog {
    Q_OBJECT

  public:
    using MarkingChanged = std::function<void(const Marking&)>;

    // The fields start from `lastEntry`; `changed` receives the marking right away and after
    // every change of a field.
    SelectManualDlg(const Marking& lastEntry, int32_t imageWidth, int32_t imageHeight, MarkingChanged changed,
                    QWidget* parent = nullptr);

    // What the fields mean now.
    ManualMarking Entry() const;

    QLineEdit* XEdit() const { return x_; }
    QLineEdit* YEdit() const { return y_; }
    QLineEdit* WidthEdit() const { return width_; }
    QLineEdit* HeightEdit() const { return height_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    // Closes with OK only while the input is valid.
    void accept() override;

  private:
    QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& label,
                        const std::string& value);
    void InputChanged();

    int32_t imageWidth_;
    int32_t imageHeight_;
    MarkingChanged changed_;
    QLineEdit* x_ = nullptr;
    QLineEdit* y_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarkemo::app
