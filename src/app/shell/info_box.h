// The modeless read-out window "InfoBox": the pointer position and the gray value under it, in
// three lines below the heading "Mauszeigerposition:". The view writes it on every mouse move.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace tarkemo::app {

class InfoBox : public QDialog {
    Q_OBJECT

  public:
    explicit InfoBox(QWidget* owner);

    void SetLines(const QString& xLine, const QString& yLine, const QString& grayLine);
    QString XLine() const;
    QString YLine() const;
    QString GrayLine() const;

  private:
    QLabel* xLine_ = nullptr;
    QLabel* yLine_ = nullptr;
    QLabel* grayLine_ = nullptr;
};

}  // namespace tarkemo::app
