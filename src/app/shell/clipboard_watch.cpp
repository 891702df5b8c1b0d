#include "app/shell/clipboard_watch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <utility>

namespace tarkemo::app {

ClipboardWatch::ClipboardWatch(QObject* parent, Reader reader) : QObject(parent), reader_(std::move(reader)) {
    if (!reader_) reader_ = [](bool withSize) { return ClipboardImageInfo(withSize); };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        current_ = false;
        emit Changed();
    });
}

const ClipboardInfo& ClipboardWatch::Info(bool withSize) {
    if (current_ && (sizeRead_ || !withSize)) return info_;
    info_ = reader_(withSize);
    current_ = true;
    sizeRead_ = withSize;
    ++reads_;
    return info_;
}

}  // namespace tarkemo::app
