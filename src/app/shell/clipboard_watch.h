// What the system clipboard holds, as the menu rules need it: asked once per clipboard change.
// Asking for the size of another program's image transfers the whole image, which for a large one
// takes longer than opening a menu may; so the answer is kept until the clipboard reports a change.
#pragma once

#include <QObject>
#include <functional>

#include "app/shell/clipboard_adapter.h"

namespace tarkemo::app {

class ClipboardWatch : public QObject {
    Q_OBJECT

  public:
    // Asks the clipboard through `reader` (the system clipboard unless a test gives another).
    using Reader = std::function<ClipboardInfo(bool withSize)>;
    explicit ClipboardWatch(QObject* parent = nullptr, Reader reader = {});

    // The clipboard's answer, asked again only after a change was reported. With `withSize` false
    // only the presence of an image is needed, and a size not yet read is left unread.
    const ClipboardInfo& Info(bool withSize);

    // How often the clipboard has been asked so far.
    int Reads() const { return reads_; }

  signals:
    // The clipboard reported new contents; Info asks it again on its next call.
    void Changed();

  private:
    Reader reader_;
    ClipboardInfo info_;
    bool current_ = false;
    bool sizeRead_ = false;
    int reads_ = 0;
};

}  // namespace tarkemo::app
