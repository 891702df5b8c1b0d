// The program's file dialog: it opens large enough for its columns, keeps the size the person
// gave it for the rest of the run, and formats sizes and dates in German.
#include "app/shell/qt_prompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QTreeView>

#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

TEST(QtPrompterTest, FirstFileDialogSizeFitsColumnsAndScreen) {
    EXPECT_EQ(FirstFileDialogSize(QSize(1600, 1000)), QSize(960, 600));
    EXPECT_EQ(FirstFileDialogSize(QSize(800, 600)), QSize(720, 540));
    EXPECT_EQ(FirstFileDialogSize(QSize()), QSize(960, 600));
}

TEST(QtPrompterTest, SizeAndDateColumnsAreGerman) {
    EXPECT_EQ(FileSizeText(263222), QString("257,05 KiB"));
    EXPECT_EQ(FileSizeText(1078), QString("1,05 KiB"));
    const QString date = FileDateText(QDateTime(QDate(2026, 12, 8), QTime(9, 55)));
    EXPECT_EQ(date, QString("08.12.26 09:55"));
    EXPECT_FALSE(date.contains("Dec"));
}

struct SeenDialog {
    QSize size;
    QLocale locale;
};

// Runs `ChooseFile` and, while the dialog is open, records what it shows, resizes it to `resizeTo`
// and cancels it.
SeenDialog LookAtDialog(QtPrompter& prompter, const FileRequest& request, QSize resizeTo) {
    SeenDialog seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen.size = dialog->size();
        seen.locale = dialog->locale();
        dialog->resize(resizeTo);
        dialog->reject();
    });
    EXPECT_FALSE(prompter.ChooseFile(request).has_value());
    return seen;
}

TEST(QtPrompterTest, FileDialogRemembersItsSizeAndSpeaksGerman) {
    testing::TestApplication();
    QtPrompter prompter;
    FileRequest request;
    request.filters = BitmapFileFilters();
    const SeenDialog first = LookAtDialog(prompter, request, QSize(1000, 700));
    EXPECT_GE(first.size.width(), 720);
    EXPECT_GE(first.size.height(), 500);
    EXPECT_EQ(first.locale.language(), QLocale::German);
    request.mode = FileRequest::Mode::kSave;
    const SeenDialog second = LookAtDialog(prompter, request, QSize(900, 650));
    EXPECT_EQ(second.size, QSize(1000, 700));
    EXPECT_EQ(LookAtDialog(prompter, request, QSize(900, 650)).size, QSize(900, 650));
}

}  // namespace
}  // namespace tarkemo::app
