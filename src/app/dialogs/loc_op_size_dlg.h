// "Tarkemo - Bereich für lokale Operation": the window of the local normalisation or the rank
// filter, chosen from lists of odd sizes that fit the image, and the rank (with shortcuts for
// minimum, median and maximum) or the minimum contrast and the comparison value.
#pragma once

#include <QDialog>
#include <optional>

#include "document/local_op_settings.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

class LocOpSizeDlg : public QDialog {
    Q_OBJECT

  public:
    // `start` has already been adjusted to the width x height image (AdjustLocalOpSettings).
    LocOpSizeDlg(const LocalOpSettings& start, LocalOpKind kind, int32_t width, int32_t height,
                 QWidget* parent = nullptr);

    // The entries, as OK stores them.
    LocalOpSettings Settings() const;

    QComboBox* WidthList() const { return width_; }
    QComboBox* HeightList() const { return height_; }
    QLineEdit* NumberEdit() const { return number_; }    // rank or minimum contrast
    QLineEdit* CompareEdit() const { return compare_; }  // local normalisation only
    QPushButton* MinimumButton() const { return minimum_; }
    QPushButton* MedianButton() const { return median_; }
    QPushButton* MaximumButton() const { return maximum_; }
    QPushButton* OkButton() const { return ok_; }

  public slots:
    void accept() override;

  private:
    std::optional<int32_t> Chosen(const QComboBox* list) const;
    void SetRankFromWindow(int which);
    void Revalidate(const QLineEdit* edited);

    LocalOpKind kind_;
    LocalOpSettings start_;
    QComboBox* width_ = nullptr;
    QComboBox* height_ = nullptr;
    QLineEdit* number_ = nullptr;
    QLineEdit* compare_ = nullptr;
    QPushButton* minimum_ = nullptr;
    QPushButton* median_ = nullptr;
    QPushButton* maximum_ = nullptr;
    QPushButton* ok_ = nullptr;
    const QLineEdit* lastEdited_ = nullptr;
};

}  // namespace tarkemo::app
