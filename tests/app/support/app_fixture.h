// Shared set-up of the headless app tests: one QApplication for the test program, a main window
// driven by a ScriptedPrompter, and small BMP files written into a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/shell/main_window.h"
#include "app/support/scripted_prompter.h"
#include "image/bmp_file.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app::testing {

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "tarkemo_app_test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// A width x height bitmap whose pixel (x, y) is (x + 3y) mod 256, with the gray ramp.
inline GrayBitmap PatternBitmap(int32_t width, int32_t height) {
    GrayBitmap bitmap = *CreateGrayBitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) bitmap.At(x, y) = static_cast<uint8_t>((x + 3 * y) % 256);
    }
    return bitmap;
}

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        QGuiApplication::clipboard()->clear();
        auto prompter = std::make_unique<ScriptedPrompter>();
        prompter_ = prompter.get();
        window_ = std::make_unique<MainWindow>(std::move(prompter));
        window_->resize(400, 300);
    }

    void TearDown() override {
        EXPECT_EQ(prompter_->UnusedReplies(), 0u) << "queued answers were not asked for";
    }

    // Writes `bitmap` as <name> in the temporary folder and returns its path.
    QString WriteFile(const std::string& name, const GrayBitmap& bitmap) {
        const QString path = folder_.filePath(QString::fromStdString(name));
        EXPECT_TRUE(WriteBmpFile(bitmap, path.toStdString()));
        return path;
    }

    // Opens `bitmap` through the start-up command, as from the command line.
    QString OpenPattern(int32_t width = 20, int32_t height = 10) {
        const QString path = WriteFile("pattern.bmp", PatternBitmap(width, height));
        window_->Dispatch(40167, path);
        return path;
    }

    bool Enabled(int id) const { return window_->Action(id)->isEnabled(); }
    // Triggers the entry as the menu or its shortcut would: nothing happens while it is disabled.
    void Trigger(int id) { window_->Action(id)->trigger(); }
    QString Title() const { return window_->windowTitle(); }

    QTemporaryDir folder_;
    ScriptedPrompter* prompter_ = nullptr;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace tarkemo::app::testing
