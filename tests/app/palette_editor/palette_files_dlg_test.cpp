// "&Laden..." and "&Speichern..." of the palette editor: the file dialogs, the round trip through
// a .pal file, the failure messages (nothing changes), and the questions that place a loaded table
// into a marked colour range.
#include <QAction>
#include <QDir>
#include <QFile>

#include "app/palette_editor/palette_editor_support.h"
#include "document/palette_mapping.h"
#include "image/palette_files.h"

namespace tarkemo::app {
namespace {

using testing::PaletteEditorTest;
using Kind = testing::ScriptedPrompter::Asked::Kind;

const QString kSqueezeStart = "Sie haben einen Farbbereich markiert.";
const QString kMoveStart = "Da die neu eingeladene Palette nicht gestaucht werden soll,";

GrayLevels Reversed() {
    GrayLevels table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(255 - i);
    return table;
}

class PaletteFilesTest : public PaletteEditorTest {
  protected:
    QString WritePalette(const QString& name, const GrayLevels& levels) {
        const QString path = folder_.filePath(name);
        EXPECT_TRUE(WriteGrayPaletteFile(path.toStdString(), levels));
        return path;
    }
    std::vector<MessageRequest> Messages() const {
        std::vector<MessageRequest> messages;
        for (const auto& asked : prompter_->AskedSoFar()) {
            if (asked.kind == Kind::kMessage) messages.push_back(asked.message);
        }
        return messages;
    }
};

TEST_F(PaletteFilesTest, SpeichernWritesTheMappingAndLadenReadsItBack) {
    OpenPattern();
    const QString path = folder_.filePath("curve.pal");
    GrayLevels saved{};
    RunEditor(
        [&](PaletteDlg& dialog) {
            Press(dialog, At(0, 255));
            Move(dialog, At(255, 0));
            Release(dialog, At(255, 0));
            saved = dialog.State().mapping;
            Click(dialog, "&Speichern...");
        },
        [&] { prompter_->AnswerFile(path); });
    const auto& request = prompter_->AskedSoFar()[1].file;
    EXPECT_EQ(request.mode, FileRequest::Mode::kSave);
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.defaultSuffix, QString("pal"));
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].text, QString("Paletten-Dateien (*.PAL)"));
    EXPECT_EQ(request.filters[0].patterns, QString("*.pal"));
    EXPECT_EQ(request.filters[1].text, QString("Alle Dateien (*.*)"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), EncodeGrayPalette(saved));

    // Menu 40001 loads it into a new editor.
    RunEditor(
        [&](PaletteDlg& dialog) {
            dialog.Action(40001)->trigger();
            EXPECT_EQ(dialog.State().mapping, saved);
            EXPECT_EQ(Bitmap().colours[0].red, saved[0]);  // previewed at once
        },
        [&] { prompter_->AnswerFile(path); });
    EXPECT_EQ(prompter_->AskedSoFar()[3].file.mode, FileRequest::Mode::kOpen);
}

TEST_F(PaletteFilesTest, SavingIntoAMissingFolderShowsTheMessageAndWritesNothing) {
    OpenPattern();
    const QString existing = WritePalette("keep.pal", Reversed());
    RunEditor(
        [&](PaletteDlg& dialog) {
            Click(dialog, "&Speichern...");
            dialog.Action(40003)->trigger();
        },
        [&] {
            prompter_->AnswerFile(folder_.filePath("missing/curve.pal"));
            prompter_->AnswerFile(folder_.path());  // the folder itself: cannot be replaced by a file
        });
    const std::vector<MessageRequest> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (const MessageRequest& m : messages) {
        EXPECT_EQ(m.text, QString("Beim Speichern ist ein Fehler aufgetreten! Versuchen Sie einen anderen "
                                  "Dateinamen oder ein anderes Verzeichnis!"));
        EXPECT_EQ(m.caption, QString("Tarkemo - Palette speichern"));
        EXPECT_EQ(m.icon, MessageIcon::kExclamation);
    }
    EXPECT_FALSE(QFile::exists(folder_.filePath("missing/curve.pal")));
    GrayLevels kept{};
    EXPECT_TRUE(ReadGrayPaletteFile(existing.toStdString(), kept));
    EXPECT_EQ(kept, Reversed());
}

TEST_F(PaletteFilesTest, BrokenPaletteFilesShowTheLoadMessageAndChangeNothing) {
    OpenPattern();
    const QStringList broken =
        QDir(TARKEMO_TEST_DATA "/palette/broken").entryList(QStringList{"pal_*.pal"}, QDir::Files);
    ASSERT_FALSE(broken.isEmpty());
    for (const QString& name : broken) {
        SCOPED_TRACE(name.toStdString());
        prompter_->Forget();
        RunEditor(
            [&](PaletteDlg& dialog) {
                Press(dialog, At(5, 200));
                Release(dialog, At(5, 200));
                const GrayLevels before = dialog.State().mapping;
                Click(dialog, "&Laden...");
                EXPECT_EQ(dialog.State().mapping, before);
            },
            [&] { prompter_->AnswerFile(QString(TARKEMO_TEST_DATA "/palette/broken/") + name); });
        const std::vector<MessageRequest> messages = Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, QString("Beim Laden ist ein Fehler aufgetreten! Falsches Dateiformat?"));
        EXPECT_EQ(messages[0].caption, QString("Tarkemo - Palette laden"));
        EXPECT_EQ(messages[0].icon, MessageIcon::kExclamation);
    }
}

struct PlacementCase {
    const char* what;
    ColourRange range;
    std::vector<Answer> answers;
    std::vector<QString> questions;  // the beginnings of the questions asked, in order
    int position, tableEntry;        // mapping[position] == table[tableEntry]; -1: mapping unchanged
};

TEST_F(PaletteFilesTest, LoadingIntoAMarkedRangeAsksHowToPlaceTheTable) {
    const PlacementCase cases[] = {
        {"no range", {}, {}, {}, 17, 17},
        {"squeeze", {0, 127}, {Answer::kYes}, {kSqueezeStart}, 1, 2},
        {"not squeezed, range from 0", {0, 127}, {Answer::kNo}, {kSqueezeStart}, 5, 5},
        {"moved to the start", {100, 150}, {Answer::kNo, Answer::kYes}, {kSqueezeStart, kMoveStart}, 100, 0},
        {"same positions", {100, 150}, {Answer::kNo, Answer::kNo}, {kSqueezeStart, kMoveStart}, 120, 120},
        {"first cancelled", {100, 150}, {Answer::kCancel}, {kSqueezeStart}, -1, 0},
        {"second cancelled", {100, 150}, {Answer::kNo, Answer::kCancel}, {kSqueezeStart, kMoveStart}, -1, 0},
    };
    OpenPattern();
    const GrayLevels table = Reversed();
    const QString path = WritePalette("reversed.pal", table);
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.what);
        prompter_->Forget();
        window_->Settings().paletteRange = c.range;
        const auto answers = [&] {
            prompter_->AnswerFile(path);
            for (const Answer a : c.answers) prompter_->AnswerMessage(a);
        };
        RunEditor(
            [&](PaletteDlg& dialog) {
                Click(dialog, "&Laden...");
                const GrayLevels& mapping = dialog.State().mapping;
                if (c.position < 0) {
                    EXPECT_EQ(mapping, IdentityMapping());
                    return;
                }
                EXPECT_EQ(mapping[static_cast<size_t>(c.position)], table[static_cast<size_t>(c.tableEntry)]);
                if (c.range.Marked()) {
                    EXPECT_EQ(mapping[static_cast<size_t>(c.range.end + 1)], c.range.end + 1)
                        << "outside unchanged";
                }
            },
            answers);
        const std::vector<MessageRequest> messages = Messages();
        ASSERT_EQ(messages.size(), c.questions.size());
        for (size_t i = 0; i < messages.size(); ++i) {
            EXPECT_TRUE(messages[i].text.startsWith(c.questions[i])) << messages[i].text.toStdString();
            EXPECT_EQ(messages[i].caption, QString("Tarkemo - Palette einladen"));
            EXPECT_EQ(messages[i].buttons, MessageButtons::kYesNoCancel);
            EXPECT_EQ(messages[i].icon, MessageIcon::kQuestion);
        }
    }
}

}  // namespace
}  // namespace tarkemo::app
