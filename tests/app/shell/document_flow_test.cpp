// Whole document flows through the main window, answered by the scripted prompter: open, change,
// undo, save, the questions before replacing or closing a modified document, failures, and the
// menu state that follows each of them.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTest>
#include <set>

#include "app/shell/command_flow.h"
#include "app/shell/document_commands.h"
#include "app/shell/info_box.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;
using testing::PatternBitmap;
using Kind = testing::ScriptedPrompter::Asked::Kind;

bool Invert(GrayBitmap& bitmap) {
    for (uint8_t& pixel : bitmap.pixels) pixel = static_cast<uint8_t>(255 - pixel);
    return true;
}

std::set<int> EnabledIds(const MainWindow& window) {
    std::set<int> ids;
    for (const CommandRow& row : CommandTable()) {
        if (window.Action(row.id)->isEnabled()) ids.insert(row.id);
    }
    return ids;
}

void ExpectQuestion(const MessageRequest& asked, const char* text, const char* caption) {
    EXPECT_EQ(asked.text, QString(text));
    EXPECT_EQ(asked.caption, QString(caption));
    EXPECT_EQ(asked.icon, MessageIcon::kQuestion);
    EXPECT_EQ(asked.buttons, MessageButtons::kYesNo);
    EXPECT_EQ(asked.defaultButton, Answer::kNo);
}

TEST_F(AppTest, StartsWithoutDocumentAndOnlyTheAlwaysEntriesEnabled) {
    EXPECT_EQ(Title(), QString("Tarkemo"));
    EXPECT_EQ(EnabledIds(*window_),
              (std::set<int>{40001, 40146, 40005, 40017, 40106, 40107, 40111, 40162, 40164, 40167, 40170}));
    EXPECT_EQ(window_->Info().XLine(), QString("X: (Kein Bild)"));
    EXPECT_EQ(window_->Info().GrayLine(), QString("Grauwert: ---"));
}

TEST_F(AppTest, OpenChangeAndUndoShowInCaptionAndUndoEntry) {
    const QString path = OpenPattern(20, 10);
    EXPECT_EQ(Title(), "Tarkemo - " + path);
    EXPECT_EQ(window_->View().State().displayedWidth, 20);
    // The view's read-out reaches the InfoBox: the pixel under the image's top-left window point.
    const ViewState& view = window_->View().State();
    window_->View().UpdateReadout(view.originX, view.originY);
    EXPECT_EQ(window_->Info().XLine(), QString("X:  0  (20)"));
    EXPECT_EQ(window_->Info().GrayLine(), QString("Grauwert:  27"));  // pixel (0, 9): 3 * 9
    const std::vector<uint8_t> before(window_->Document().Bitmap()->pixels.begin(),
                                      window_->Document().Bitmap()->pixels.end());
    EXPECT_TRUE(RunChangingCommand(*window_, "Gauss-Filter (3x3)", Invert));
    window_->RecomputeCommandStates();
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig: Gauss-Filter (3x3)\tStrg+Z"));
    EXPECT_TRUE(Enabled(40008));

    Trigger(40008);
    EXPECT_EQ(window_->Action(40008)->text(), QString("Wiederhe&rstellen: Gauss-Filter (3x3)\tStrg+Z"));
    const GrayBitmap& undone = *window_->Document().Bitmap();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), undone.pixels.begin()));
    // Undo leaves the modified mark in place.
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    EXPECT_TRUE(prompter_->AskedSoFar().empty());
}

TEST_F(AppTest, OpenAskedFromTheMenuLoadsTheChosenFile) {
    const QString path = WriteFile("zweites.bmp", PatternBitmap(8, 6));
    prompter_->AnswerFile(path);
    Trigger(40001);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    const FileRequest& asked = prompter_->AskedSoFar()[0].file;
    EXPECT_EQ(asked.mode, FileRequest::Mode::kOpen);
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].text, QString("Bitmap-Dateien (*.BMP)"));
    EXPECT_EQ(asked.filters[1].patterns, QString("*.*"));
    EXPECT_EQ(window_->Document().geometry.width, 8);
    EXPECT_EQ(Title(), "Tarkemo - " + path);
    EXPECT_TRUE(Enabled(40003));
    EXPECT_FALSE(Enabled(40008));
}

TEST_F(AppTest, OpenOverModifiedDocumentAsksFirst) {
    OpenPattern();
    RunChangingCommand(*window_, "Normalisieren", Invert);
    prompter_->AnswerMessage(Answer::kNo);
    Trigger(40001);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    ExpectQuestion(prompter_->LastMessage(), kOpenOverModifiedText, "Tarkemo - Datei öffnen");
    EXPECT_TRUE(window_->Document().modified);

    // Yes leads to the file dialog; cancelling it keeps the document.
    prompter_->AnswerMessage(Answer::kYes);
    prompter_->AnswerFile(std::nullopt);
    Trigger(40001);
    EXPECT_EQ(prompter_->AskedSoFar().back().kind, Kind::kFile);
    EXPECT_TRUE(window_->Document().HasDocument());
    EXPECT_TRUE(window_->Document().modified);
}

TEST_F(AppTest, FailedOpenLeavesNoDocumentAndPlainCaption) {
    OpenPattern();
    const QString broken = folder_.filePath("kaputt.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM kein Bild");
    file.close();
    prompter_->AnswerFile(broken);
    Trigger(40001);
    const MessageRequest message = prompter_->LastMessage();
    EXPECT_EQ(message.text, QString(kBmpReadErrorText));
    EXPECT_EQ(message.caption, QString("Tarkemo - Fehler beim Öffnen"));
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    EXPECT_FALSE(window_->Document().HasDocument());
    EXPECT_TRUE(window_->Document().path.empty());
    EXPECT_EQ(Title(), QString("Tarkemo"));
    EXPECT_EQ(window_->View().State().displayedWidth, 0);
    EXPECT_FALSE(Enabled(40004));
}

TEST_F(AppTest, SaveWritesAndClearsTheModifiedMark) {
    const QString path = OpenPattern();
    RunChangingCommand(*window_, "NOT (invertieren)", Invert);
    Trigger(40003);
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path);
    const auto reread = ReadBmpFile(path.toStdString());
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(reread->bitmap.At(0, 0), 255);
}

TEST_F(AppTest, FailedSaveAsKeepsPathAndModifiedMark) {
    const QString path = OpenPattern();
    RunChangingCommand(*window_, "NOT (invertieren)", Invert);
    prompter_->AnswerFile(folder_.filePath("fehlt/neu.bmp"));
    Trigger(40004);
    const MessageRequest message = prompter_->LastMessage();
    EXPECT_EQ(message.text, QString(kSaveFailedText));
    EXPECT_EQ(message.caption, QString("Tarkemo - Fehler beim Speichern"));
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    EXPECT_EQ(QString::fromStdString(window_->Document().path), path);
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");

    const QString other = folder_.filePath("neu.bmp");
    prompter_->AnswerFile(other);
    Trigger(40004);
    EXPECT_EQ(prompter_->AskedSoFar().back().file.proposedName, path);
    EXPECT_EQ(Title(), "Tarkemo - " + other);
    EXPECT_TRUE(FileExists(other.toStdString()));
}

TEST_F(AppTest, SaveAfterImportAsksForABmpName) {
    OpenPattern();
    const QString imported = folder_.filePath("messung.imx");
    window_->Document().path = imported.toStdString();
    window_->Document().importedPath = true;
    prompter_->AnswerFile(std::nullopt);
    Trigger(40003);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    EXPECT_EQ(prompter_->AskedSoFar()[0].file.mode, FileRequest::Mode::kSave);
    EXPECT_EQ(prompter_->AskedSoFar()[0].file.proposedName, folder_.filePath("messung.bmp"));
    EXPECT_FALSE(QFile::exists(imported));
}

TEST_F(AppTest, CloseAsksOnlyForAModifiedDocument) {
    {
        QCloseEvent event;
        QApplication::sendEvent(window_.get(), &event);
        EXPECT_TRUE(event.isAccepted());  // no document: no question
    }
    OpenPattern();
    RunChangingCommand(*window_, "Zeichnen", Invert);
    prompter_->AnswerMessage(Answer::kNo);
    {
        QCloseEvent event;
        QApplication::sendEvent(window_.get(), &event);
        EXPECT_FALSE(event.isAccepted());
    }
    ExpectQuestion(prompter_->LastMessage(), kCloseModifiedText, "Tarkemo beenden");
    EXPECT_TRUE(window_->Document().HasDocument());
    prompter_->AnswerMessage(Answer::kYes);
    {
        QCloseEvent event;
        QApplication::sendEvent(window_.get(), &event);
        EXPECT_TRUE(event.isAccepted());
    }
    EXPECT_FALSE(window_->Document().HasDocument());
}

TEST_F(AppTest, UndoAndRedoAfterSaveMarkWhatTheFileDoesNotHold) {
    const QString path = OpenPattern();
    RunChangingCommand(*window_, "NOT (invertieren)", Invert);
    Trigger(40003);
    ASSERT_EQ(Title(), "Tarkemo - " + path);
    Trigger(40008);
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    prompter_->AnswerMessage(Answer::kNo);
    QCloseEvent event;
    QApplication::sendEvent(window_.get(), &event);
    EXPECT_FALSE(event.isAccepted());
    ExpectQuestion(prompter_->LastMessage(), kCloseModifiedText, "Tarkemo beenden");

    // A colour change after a save: undo gives back the saved content, redo the changed one.
    Trigger(40003);
    RunPaletteCommand(*window_, "Regenbogen", false, [](GrayBitmap& b) {
        b.colours[3] = ColourEntry{0, 0, 255, 0};
        return true;
    });
    Trigger(40008);
    EXPECT_EQ(Title(), "Tarkemo - " + path);
    Trigger(40008);
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
}

TEST_F(AppTest, PaletteAndGeometryCommandsFollowTheirConventions) {
    OpenPattern();
    EXPECT_TRUE(Enabled(40014));
    EXPECT_FALSE(Enabled(40105));
    RunPaletteCommand(*window_, "Regenbogen", false, [](GrayBitmap& b) {
        b.colours[0] = ColourEntry{0, 0, 255, 0};
        return true;
    });
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_EQ(Title().endsWith("(geändert)"), false);
    EXPECT_FALSE(Enabled(40014));
    EXPECT_TRUE(Enabled(40105));
    EXPECT_TRUE(Enabled(40110));
    // Undo brings the gray ramp back and recomputes the flag from the table.
    Trigger(40008);
    EXPECT_TRUE(window_->Document().grayRamp);
    EXPECT_TRUE(Enabled(40014));

    RunGeometryCommand(*window_, [](GrayBitmap& b) {
        b = *CreateGrayBitmap(b.height, b.width);
        return true;
    });
    EXPECT_EQ(window_->Document().geometry.width, 10);
    EXPECT_EQ(window_->View().State().displayedWidth, 10);
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_FALSE(Enabled(40008));
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig\tStrg+Z"));
}

TEST_F(AppTest, ShortcutsActOnlyWhileTheirEntryIsEnabled) {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // Without a document Ctrl+S, Ctrl+C and F9 do nothing; F1 opens the about box.
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_F9);
    EXPECT_TRUE(prompter_->AskedSoFar().empty());
    prompter_->AnswerDialog([](QDialog&) { return int(QDialog::Accepted); });
    QTest::keyClick(window_.get(), Qt::Key_F1);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    EXPECT_EQ(prompter_->AskedSoFar()[0].kind, Kind::kDialog);

    OpenPattern();
    RunChangingCommand(*window_, "Normalisieren", Invert);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(window_->Document().undo.undone);
}

TEST_F(AppTest, ControlShowsTheZoomGlassOnlyWithTheMoveTool) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(window_.get(), &press);
    EXPECT_FALSE(window_->ControlHeld());  // no document
    OpenPattern();
    QApplication::sendEvent(window_.get(), &press);
    EXPECT_TRUE(window_->ControlHeld());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &release);
    EXPECT_FALSE(window_->ControlHeld());
    EXPECT_EQ(window_->View().cursor().shape(), Qt::CrossCursor);

    window_->SetChecked(40027, false);
    window_->SetChecked(40028, true);
    QApplication::sendEvent(window_.get(), &press);
    EXPECT_FALSE(window_->ControlHeld());
    EXPECT_TRUE(window_->Action(40028)->isChecked());
}

}  // namespace
}  // namespace tarkemo::app
