// Names refused before reading: a missing file from the command line or typed into the open and
// import dialogs, and a start-up name of a format the program does not read. Each message names
// the file, and the document stays as it was.
#include "app/shell/file_checks.h"

#include <gtest/gtest.h>

#include <QFile>

#include "app/shell/command_line.h"
#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;

TEST(FileChecks, MessagesNameTheFile) {
    EXPECT_EQ(MissingFileText("/daten/bild.bmp"), QString("Die Datei \"/daten/bild.bmp\" existiert nicht!"));
    const QString unreadable = UnreadableTypeText("foto.png");
    EXPECT_TRUE(unreadable.startsWith("Die Datei \"foto.png\" "));
    EXPECT_TRUE(unreadable.contains("*.bmp"));
    EXPECT_TRUE(unreadable.contains("*.imx"));
    EXPECT_TRUE(unreadable.contains("*.img"));
    EXPECT_TRUE(IsBitmapFileName("a.BmP"));
    EXPECT_FALSE(IsBitmapFileName(".bmp"));
    EXPECT_FALSE(IsBitmapFileName("a.bmp.png"));
}

void ExpectOpenError(const MessageRequest& message, const QString& text) {
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.caption, QString("Tarkemo - Fehler beim Öffnen"));
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
}

TEST_F(AppTest, StartupNamesThatCannotBeReadAreRefusedNamingTheFile) {
    struct Case {
        const char* name;
        bool exists;
        bool missingMessage;  // else the message naming the formats
    };
    const Case cases[] = {
        {"fehlt.bmp", false, true}, {"fehlt.imx", false, true}, {"fehlt.IMG", false, true},
        {"foto.png", true, false},  {"foto.tif", false, false}, {"notizen", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder_.filePath(c.name);
        if (c.exists) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("kein Bild");
        }
        const auto startup = StartupCommandFor(path);
        ASSERT_TRUE(startup.has_value());
        prompter_->Forget();
        window_->Dispatch(startup->id, startup->path);
        ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
        ExpectOpenError(prompter_->LastMessage(),
                        c.missingMessage ? MissingFileText(path) : UnreadableTypeText(path));
        EXPECT_FALSE(window_->Document().HasDocument());
        EXPECT_TRUE(window_->Document().path.empty());
        EXPECT_EQ(Title(), QString("Tarkemo"));
    }
}

TEST_F(AppTest, MissingNameTypedIntoTheOpenDialogsKeepsTheDocument) {
    const QString opened = OpenPattern();
    for (const int id : {40001, 40146}) {
        SCOPED_TRACE(id);
        const QString missing = folder_.filePath(id == 40001 ? "vertippt.bmp" : "vertippt.imx");
        prompter_->AnswerFile(missing);
        Trigger(id);
        ExpectOpenError(prompter_->LastMessage(), MissingFileText(missing));
        ASSERT_TRUE(window_->Document().HasDocument());
        EXPECT_EQ(window_->Document().geometry.width, 20);
        EXPECT_EQ(window_->Document().path, opened.toStdString());
        EXPECT_EQ(Title(), "Tarkemo - " + opened);
    }
}

}  // namespace
}  // namespace tarkemo::app
