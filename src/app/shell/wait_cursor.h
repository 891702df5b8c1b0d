// The wait cursor shown while a command works; restored when the object goes out of scope.
#pragma once

#include <QApplication>
#include <QCursor>

namespace tarkemo::app {

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tarkemo::app
