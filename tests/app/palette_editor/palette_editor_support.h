// Shared steps of the palette editor tests: a main window with a pattern image, F5 run with a
// script that works the dialog, and mouse events on the dialog's client area.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <vector>

#include "app/palette_editor/palette_dlg.h"
#include "app/shell/info_box.h"
#include "app/support/app_fixture.h"

namespace tarkemo::app::testing {

class PaletteEditorTest : public AppTest {
  protected:
    using Steps = std::function<void(PaletteDlg&)>;

    const GrayBitmap& Bitmap() const { return *window_->Document().Bitmap(); }
    std::vector<uint8_t> Pixels() const { return {Bitmap().pixels.begin(), Bitmap().pixels.end()}; }

    // F5 with `steps` run inside the open dialog; the steps end by closing it (or not: then it
    // counts as closed by the window system). `answers` queues the replies to what the steps ask.
    // Returns the dialog's result.
    int RunEditor(const Steps& steps, const std::function<void()>& answers = {}) {
        int result = -1;
        prompter_->AnswerDialog([&](QDialog& dialog) {
            auto& editor = dynamic_cast<PaletteDlg&>(dialog);
            editor.setResult(-1);  // still open
            steps(editor);
            if (editor.result() == -1) editor.reject();
            result = editor.result();
            return result;
        });
        if (answers) answers();
        window_->Dispatch(40014);
        return result;
    }

    static void Click(PaletteDlg& dialog, const QString& button) {
        QPushButton* found = dialog.Button(button);
        ASSERT_NE(found, nullptr) << button.toStdString();
        found->click();
    }

    // Mouse events in client coordinates (the square spans (10, 10) ... (265, 265)).
    static void Press(PaletteDlg& dialog, QPoint at, Qt::KeyboardModifiers keys = {},
                      Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(&dialog.Canvas(), button, keys, at);
    }
    static void Release(PaletteDlg& dialog, QPoint at, Qt::KeyboardModifiers keys = {},
                        Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(&dialog.Canvas(), button, keys, at);
    }
    static void Move(PaletteDlg& dialog, QPoint at, Qt::KeyboardModifiers keys = {},
                     Qt::MouseButtons buttons = Qt::LeftButton) {
        QWidget& canvas = dialog.Canvas();
        QMouseEvent event(QEvent::MouseMove, QPointF(at), canvas.mapToGlobal(QPointF(at)), Qt::NoButton,
                          buttons, keys);
        QApplication::sendEvent(&canvas, &event);
    }
    // The client point of curve point (old, new).
    static QPoint At(int oldValue, int newValue) { return QPoint(oldValue + 10, 265 - newValue); }

    InfoBox& Info() { return window_->Info(); }
};

}  // namespace tarkemo::app::testing
