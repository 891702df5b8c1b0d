// "Über das Programm": the program's icon, name and purpose; closes on OK or Escape.
#pragma once

#include <QDialog>

namespace tarkemo::app {

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* parent);
};

}  // namespace tarkemo::app
