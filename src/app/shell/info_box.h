// The modeless read-out window "InfoBox": the pointer position and the gray value under it, in
// three lines below the heading "Mauszeigerposition:". The view writes it on every mouse move.
// It stays open as long as the main window: Escape and the window system's close leave it open.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QCloseEvent;
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

    // Escape does not close the box.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* xLine_ = nullptr;
    QLabel* yLine_ = nullptr;
    QLabel* grayLine_ = nullptr;
};

// Where the InfoBox's frame goes (the position QWidget::move takes) once the main window has
// been placed: right beside the main window's frame, top edges level. A box that would not fit on
// the screen's `available` area moves left (over the main window) and up or down until its frame,
// taken to be like the main window's around the `box` client size, lies on it.
QPoint InfoBoxPosition(const QRect& mainFrame, const QRect& mainClient, const QSize& box,
                       const QRect& available);

}  // namespace tarkemo::app
