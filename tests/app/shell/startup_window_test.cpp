// The main window at start-up: the InfoBox beside it and open for the main window's whole life
// (Escape and the window system's close leave it alone), and the file of the command line read
// only once the window is on the screen.
#include "app/shell/info_box.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/shell/main_window.h"
#include "app/shell/qt_prompter.h"
#include "app/support/app_fixture.h"
#include "image/bmp_file.h"

namespace tarkemo::app {
namespace {

// A main window with a frame of 1 pixel left, right and bottom and a title bar of 20 pixels.
QRect FrameAround(const QRect& client) {
    return client.adjusted(-1, -20, 1, 1);
}

TEST(InfoBoxPositionTest, BesideTheMainWindowAndAlwaysOnTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize box(168, 96);
    struct Case {
        const char* name;
        QRect client;
        QPoint expected;
    };
    const Case cases[] = {
        // The main window's frame ends at x = 1203 and starts at y = 112; 8 pixels gap.
        {"room on the right", QRect(3, 132, 1200, 750), QPoint(1212, 112)},
        // The box's frame (170 x 117) ends at the screen's right edge, over the main window.
        {"main window at the right edge", QRect(391, 50, 1200, 750), QPoint(1600 - 170, 30)},
        // Its title bar stays on the screen.
        {"main window above the screen", QRect(3, -5, 800, 600), QPoint(812, 0)},
        {"main window below the screen", QRect(3, 950, 800, 600), QPoint(812, 1000 - 117)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InfoBoxPosition(FrameAround(c.client), c.client, box, screen), c.expected) << c.name;
    }
    // Without a known screen the box simply goes beside the main window.
    const QRect client(3, -5, 800, 600);
    EXPECT_EQ(InfoBoxPosition(FrameAround(client), client, box, QRect()), QPoint(812, -25));
}

TEST(InfoBoxTest, StaysOpenUntilTheMainWindowCloses) {
    testing::TestApplication();
    // Without a document closing asks nothing, so the real prompter is never shown.
    const auto window = std::make_unique<MainWindow>(std::make_unique<QtPrompter>());
    InfoBox& box = window->Info();
    box.setAttribute(Qt::WA_DontShowOnScreen);
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible()) << "Escape";
    EXPECT_FALSE(box.close());
    EXPECT_TRUE(box.isVisible()) << "close";

    window->close();
    EXPECT_FALSE(box.isVisible());
}

TEST(StartupWindowTest, ShownWindowReadsTheStartupFileOnceOnTheScreen) {
    testing::TestApplication();
    QTemporaryDir folder;
    const QString path = folder.filePath("start.bmp");
    ASSERT_TRUE(WriteBmpFile(testing::PatternBitmap(6, 4), path.toStdString()));
    MainWindow window(std::make_unique<QtPrompter>());
    window.show();
    window.PostCommand(40167, path);
    EXPECT_FALSE(window.Document().HasDocument());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Document().HasDocument(); }));
    EXPECT_TRUE(window.Info().isVisible());
    EXPECT_EQ(window.windowTitle(), "Tarkemo - " + path);
    window.close();
}

}  // namespace
}  // namespace tarkemo::app
