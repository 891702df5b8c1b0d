// The counting commands through the main window, driven by a scripted person: parameters with
// their preview, the marked image and the count question, the export files compared byte for
// byte with the engine's own export, the overwrite question, failing targets with the retry
// question, and afterwards an image, a caption and an undo entry exactly as before.
#include "app/commands/particle_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/particle_params_dlg.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "generator/particle_image.h"
#include "particles/count_run.h"
#include "particles/export.h"
#include "particles/export_targets.h"

namespace tarkemo::app {
namespace {

using testing::ScriptedPrompter;
using Kind = ScriptedPrompter::Asked::Kind;

// A scripted person who also lets the test look at the window whenever a message box is shown.
class ObservingPrompter : public ScriptedPrompter {
  public:
    Answer Message(const MessageRequest& request) override {
        if (onMessage) onMessage(request);
        return ScriptedPrompter::Message(request);
    }
    std::function<void(const MessageRequest&)> onMessage;
};

std::vector<uint8_t> Pixels(const GrayBitmap& bitmap) {
    return {bitmap.pixels.begin(), bitmap.pixels.end()};
}

std::string ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing " + path.toStdString() + ">";
    return file.readAll().toStdString();
}

// Spots on a dark background, with some pixels of 255: a two-pixel plateau and a corner maximum.
GrayBitmap SpotImage() {
    testimages::ParticleImageSpec spec;
    spec.width = 83;  // a padded stride
    spec.height = 61;
    spec.spotCount = 30;
    GrayBitmap image = testimages::MakeParticleImage(spec);
    image.At(10, 50) = 255;
    image.At(11, 50) = 255;
    image.At(0, 0) = 255;
    return image;
}

const ParticleParams kParams{60, 1, 60};

class ParticleCommandTest : public testing::AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        auto prompter = std::make_unique<ObservingPrompter>();
        observer_ = prompter.get();
        prompter_ = observer_;
        window_ = std::make_unique<MainWindow>(std::move(prompter));
        window_->resize(400, 300);
    }

    GrayBitmap& Bitmap() { return *window_->Document().Bitmap(); }
    QString InFolder(const QString& name) const { return folder_.filePath(name); }

    // Opens the spot image and remembers how the window looked before any count.
    void OpenSpots(const ColourTable* table = nullptr) {
        GrayBitmap image = SpotImage();
        if (table != nullptr) image.colours = *table;
        path_ = WriteFile("spots.bmp", image);
        window_->Dispatch(40167, path_);
        ASSERT_TRUE(window_->Document().HasDocument());
        Remember();
    }
    void Remember() {
        original_ = Bitmap();
        title_ = Title();
        undoText_ = window_->Action(kUndoCommandId)->text();
    }

    // Fills the dialog with `params` and confirms it; `whileOpen` looks at the window meanwhile.
    ScriptedPrompter::DialogScript Fill(ParticleParams params,
                                        std::function<void(ParticleParamsDlg&)> whileOpen = {}) {
        return [params, whileOpen](QDialog& dialog) {
            auto* dlg = qobject_cast<ParticleParamsDlg*>(&dialog);
            if (dlg == nullptr) {
                ADD_FAILURE() << "not the parameter dialog";
                return static_cast<int>(QDialog::Rejected);
            }
            dlg->MaxAreaEdit()->setText(QString::number(params.maxArea));
            dlg->MinAreaEdit()->setText(QString::number(params.minArea));
            dlg->MinGrayEdit()->setText(QString::number(params.minGray));
            if (whileOpen) whileOpen(*dlg);
            dlg->OkButton()->click();
            return dlg->result();
        };
    }

    // The files the engine writes for the same image and settings, under `base`.
    void WriteEngineExport(CountMethod method, bool german, const QString& base) {
        const std::optional<CountResult> result = CountAndMarkParticles(original_, method, kParams);
        ASSERT_TRUE(result);
        ExportRequest request;
        request.basePath = base.toStdString();
        request.germanNumbers = german;
        request.method = method;
        request.minGray = static_cast<uint8_t>(kParams.minGray);
        request.minArea = kParams.minArea;
        request.maxArea = kParams.maxArea;
        request.bitmap = &result->marked;
        request.particles = result->particles;
        ASSERT_EQ(ExportParticles(request), 0u);
    }

    void ExpectSameFiles(const QString& base, const QString& expectedBase) {
        for (const char* extension : {".bmp", ".dat", ".txt"}) {
            SCOPED_TRACE(extension);
            EXPECT_EQ(ReadAll(base + extension), ReadAll(expectedBase + extension));
        }
    }

    // Pixels, colour table, caption, modified flag, undo entry and view exactly as before the count.
    void ExpectImageAsBefore() {
        EXPECT_EQ(Pixels(Bitmap()), Pixels(original_));
        EXPECT_EQ(Bitmap().colours, original_.colours);
        EXPECT_EQ(window_->View().Bitmap(), window_->Document().Bitmap());
        EXPECT_FALSE(window_->Document().modified);
        EXPECT_EQ(Title(), title_);
        EXPECT_EQ(window_->Action(kUndoCommandId)->text(), undoText_);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    std::vector<MessageRequest> Messages() const {
        std::vector<MessageRequest> messages;
        for (const auto& asked : prompter_->AskedSoFar()) {
            if (asked.kind == Kind::kMessage) messages.push_back(asked.message);
        }
        return messages;
    }
    std::vector<QString> ProposedNames() const {
        std::vector<QString> names;
        for (const auto& asked : prompter_->AskedSoFar()) {
            if (asked.kind == Kind::kFile) names.push_back(asked.file.proposedName);
        }
        return names;
    }

    // Queues the parameters and a Yes to the count question.
    void QueueCountAndYes() {
        prompter_->AnswerDialog(Fill(kParams));
        prompter_->AnswerMessage(Answer::kYes);
    }

    ObservingPrompter* observer_ = nullptr;
    QString path_;
    GrayBitmap original_;
    QString title_;
    QString undoText_;
};

struct RunCase {
    int id;
    CountMethod method;
    bool german;
};

TEST_F(ParticleCommandTest, WholeRunShowsMarkersWritesTheEngineFilesAndLeavesTheImageAsItWas) {
    const RunCase cases[] = {{40100, CountMethod::Maxima, false},
                             {40103, CountMethod::Binarise, true},
                             {40130, CountMethod::Stripes, false}};
    OpenSpots();
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.id);
        prompter_->Forget();
        if (window_->IsChecked(kGermanNumbersId) != c.german) Trigger(kGermanNumbersId);
        const std::optional<CountResult> expected = CountAndMarkParticles(original_, c.method, kParams);
        ASSERT_TRUE(expected);
        ASSERT_GT(expected->particles.size(), 3u);

        prompter_->AnswerDialog(Fill(kParams, [this](ParticleParamsDlg&) {
            // The preview: everything below the threshold dark blue, the rest in the image's colours.
            EXPECT_EQ(Bitmap().colours, ThresholdPreviewTable(original_.colours, kParams.minGray));
            EXPECT_EQ(Bitmap().colours[59], (ColourEntry{50, 0, 0, 0}));
            EXPECT_EQ(Bitmap().colours[60], original_.colours[60]);
        }));
        bool questionSeen = false;
        observer_->onMessage = [&](const MessageRequest&) {
            questionSeen = true;
            // The marked image is shown; the document's own image is untouched underneath.
            const GrayBitmap* shown = window_->View().Bitmap();
            ASSERT_NE(shown, window_->Document().Bitmap());
            EXPECT_EQ(Pixels(*shown), Pixels(expected->marked));
            EXPECT_EQ(shown->colours[255], (ColourEntry{0, 0, 255, 0}));  // red markers
            EXPECT_EQ(Pixels(Bitmap()), Pixels(original_));
            EXPECT_EQ(Bitmap().colours, original_.colours);
        };
        prompter_->AnswerMessage(Answer::kYes);
        prompter_->AnswerFile(InFolder("result.bmp"));
        Trigger(c.id);
        observer_->onMessage = nullptr;
        EXPECT_TRUE(questionSeen);

        const auto messages = Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, QString::fromStdString(CountQuestionText(expected->particles.size())));
        EXPECT_EQ(messages[0].caption, QString("Tarkemo - Maxima zählen"));
        EXPECT_EQ(messages[0].icon, MessageIcon::kQuestion);
        EXPECT_EQ(messages[0].buttons, MessageButtons::kYesNo);
        EXPECT_EQ(messages[0].defaultButton, Answer::kNo);
        const auto& asked = prompter_->AskedSoFar();
        ASSERT_EQ(asked.size(), 3u);
        EXPECT_EQ(asked[0].dialogTitle, QString("Partikel-Parameter"));
        EXPECT_EQ(asked[2].file.mode, FileRequest::Mode::kSave);
        EXPECT_EQ(asked[2].file.proposedName, InFolder("spots_c"));
        EXPECT_EQ(asked[2].file.filters.front().text, QString("Bitmap-Dateien (*.BMP)"));
        EXPECT_FALSE(asked[2].file.confirmOverwrite);

        WriteEngineExport(c.method, c.german, InFolder("expected"));
        ExpectSameFiles(InFolder("result"), InFolder("expected"));
        ExpectImageAsBefore();
        EXPECT_EQ(window_->Settings().particles.maxArea, kParams.maxArea);
        EXPECT_EQ(window_->Settings().secondBitmapFileName, InFolder("result").toStdString());
        for (const char* extension : {".bmp", ".dat", ".txt"}) QFile::remove(InFolder("result") + extension);
    }
}

TEST_F(ParticleCommandTest, GermanNumberFormatIsACheckMarkThatWorksWithoutDocument) {
    EXPECT_FALSE(window_->Action(kGermanNumbersId)->isChecked());
    ASSERT_TRUE(Enabled(kGermanNumbersId));
    Trigger(kGermanNumbersId);
    EXPECT_TRUE(window_->Action(kGermanNumbersId)->isChecked());
    EXPECT_TRUE(window_->IsChecked(kGermanNumbersId));
    Trigger(kGermanNumbersId);
    EXPECT_FALSE(window_->Action(kGermanNumbersId)->isChecked());
    // Without a document the counting commands are disabled and do nothing even when dispatched.
    for (int id : {40100, 40103, 40130}) {
        EXPECT_FALSE(Enabled(id));
        window_->Dispatch(id);
    }
    EXPECT_TRUE(prompter_->AskedSoFar().empty());
}

TEST_F(ParticleCommandTest, CancelAtAnyStepEndsTheRunWithTheImageAsBefore) {
    OpenSpots();
    // Cancel in the dialog (after a preview): no count, the remembered parameters stay.
    prompter_->AnswerDialog([](QDialog& dialog) {
        qobject_cast<ParticleParamsDlg*>(&dialog)->MinGrayEdit()->setText("90");
        dialog.reject();
        return dialog.result();
    });
    Trigger(40100);
    EXPECT_EQ(prompter_->AskedSoFar().size(), 1u);
    EXPECT_EQ(window_->Settings().particles.minGray, 50u);
    ExpectImageAsBefore();
    // No to the count question, then cancel in the file dialog.
    for (const bool exportAsked : {false, true}) {
        prompter_->Forget();
        prompter_->AnswerDialog(Fill(kParams));
        prompter_->AnswerMessage(exportAsked ? Answer::kYes : Answer::kNo);
        if (exportAsked) prompter_->AnswerFile(std::nullopt);
        Trigger(40103);
        EXPECT_EQ(prompter_->AskedSoFar().size(), exportAsked ? 3u : 2u);
        ExpectImageAsBefore();
    }
    EXPECT_TRUE(QDir(folder_.path()).entryList({"*_c*"}).isEmpty());
}

TEST_F(ParticleCommandTest, NextRunStartsWithTheAcceptedParameters) {
    OpenSpots();
    QueueCountAndYes();
    prompter_->AnswerFile(std::nullopt);
    Trigger(40100);
    prompter_->AnswerDialog([](QDialog& dialog) {
        auto& dlg = *qobject_cast<ParticleParamsDlg*>(&dialog);
        EXPECT_EQ(dlg.MinGrayEdit()->text(), QString::number(kParams.minGray));
        EXPECT_EQ(dlg.MaxAreaEdit()->text(), QString::number(kParams.maxArea));
        dlg.reject();
        return dlg.result();
    });
    Trigger(40130);
}

TEST_F(ParticleCommandTest, OverwriteQuestionListsTheExistingFilesAndNoAsksForANewName) {
    OpenSpots();
    const QString base = InFolder("old");
    QFile(base + ".txt").open(QIODevice::WriteOnly);  // only the report exists
    QueueCountAndYes();
    prompter_->AnswerFile(base + ".bmp");
    prompter_->AnswerMessage(Answer::kNo);
    prompter_->AnswerFile(InFolder("new.BMP"));
    Trigger(40100);
    auto messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              QString::fromStdString(OverwriteQuestionText({(base + ".txt").toStdString()})));
    EXPECT_TRUE(messages[1].text.contains("     " + base + ".txt\n"));
    EXPECT_EQ(messages[1].caption, QString("Daten exportieren"));
    EXPECT_EQ(messages[1].icon, MessageIcon::kExclamation);
    EXPECT_EQ(messages[1].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(ProposedNames(), (std::vector<QString>{InFolder("spots_c"), base}));
    EXPECT_EQ(ReadAll(base + ".txt"), "");
    EXPECT_FALSE(QFile::exists(base + ".bmp"));
    EXPECT_TRUE(QFile::exists(InFolder("new.dat")));

    // All three exist: listed in the order .bmp, .txt, .dat; Yes overwrites them.
    prompter_->Forget();
    QueueCountAndYes();
    prompter_->AnswerFile(InFolder("new.bmp"));
    prompter_->AnswerMessage(Answer::kYes);
    QFile(InFolder("new.dat")).resize(0);
    Trigger(40103);
    messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    const QString expected = QString::fromStdString(OverwriteQuestionText(
        {(InFolder("new") + ".bmp").toStdString(), (InFolder("new") + ".txt").toStdString(),
         (InFolder("new") + ".dat").toStdString()}));
    EXPECT_EQ(messages[1].text, expected);
    EXPECT_TRUE(ReadAll(InFolder("new.dat")).starts_with("x\ty\t"));
    EXPECT_NE(ReadAll(InFolder("new.txt")).find("Binarisation."), std::string::npos);
    ExpectImageAsBefore();
}

TEST_F(ParticleCommandTest, FailingTargetsAreReportedPerFileAndMayBeRetriedElsewhere) {
    OpenSpots();
    // A missing folder: all three files fail; retry elsewhere.
    const QString missing = InFolder("no/such/folder/out");
    QueueCountAndYes();
    prompter_->AnswerFile(missing + ".bmp");
    prompter_->AnswerMessage(Answer::kYes);
    prompter_->AnswerFile(InFolder("good.bmp"));
    Trigger(40100);
    auto messages = Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[1].text, QString("Fehler beim Speichern der '.bmp'-Datei!"));
    EXPECT_EQ(messages[2].text, QString("Fehler beim Speichern der '.dat'-Datei!"));
    EXPECT_EQ(messages[3].text, QString("Fehler beim Speichern der '.txt'-Datei!"));
    for (int i : {1, 2, 3}) {
        EXPECT_EQ(messages[i].caption, QString("Daten exportieren"));
        EXPECT_EQ(messages[i].icon, MessageIcon::kExclamation);
        EXPECT_EQ(messages[i].buttons, MessageButtons::kOk);
    }
    EXPECT_EQ(messages[4].text, QString(kExportRetryQuestion));
    EXPECT_EQ(messages[4].icon, MessageIcon::kQuestion);
    EXPECT_EQ(messages[4].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(ProposedNames(), (std::vector<QString>{InFolder("spots_c"), missing}));
    WriteEngineExport(CountMethod::Maxima, false, InFolder("expected"));
    ExpectSameFiles(InFolder("good"), InFolder("expected"));

    // Only the table fails (a folder stands in its place): one message, and since the three files
    // are written together or not at all, neither the .bmp nor the report is written; No to the
    // retry ends the export.
    prompter_->Forget();
    ASSERT_TRUE(QDir(folder_.path()).mkdir("part.dat"));
    QueueCountAndYes();
    prompter_->AnswerFile(InFolder("part.bmp"));
    prompter_->AnswerMessage(Answer::kYes);  // part.dat exists
    prompter_->AnswerMessage(Answer::kNo);
    Trigger(40100);
    messages = Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2].text, QString("Fehler beim Speichern der '.dat'-Datei!"));
    EXPECT_EQ(messages[3].text, QString(kExportRetryQuestion));
    EXPECT_FALSE(QFile::exists(InFolder("part.bmp")));
    EXPECT_FALSE(QFile::exists(InFolder("part.txt")));
    ExpectImageAsBefore();
}

TEST_F(ParticleCommandTest, CancelledCountOrExportLeavesNoFileAndTheImageAsItWas) {
    OpenSpots();
    // Cancelled count: no question, no file dialog.
    prompter_->AnswerDialog(Fill(kParams));
    prompter_->CancelNextOperation();
    Trigger(40100);
    EXPECT_TRUE(Messages().empty());
    ExpectImageAsBefore();
    // Cancelled export: none of the three files, no retry question.
    prompter_->Forget();
    QueueCountAndYes();
    prompter_->AnswerFile(InFolder("cancelled.bmp"));
    prompter_->CancelNextOperation(1);
    Trigger(40100);
    EXPECT_EQ(Messages().size(), 1u);
    for (const char* extension : {".bmp", ".dat", ".txt"})
        EXPECT_FALSE(QFile::exists(InFolder("cancelled") + extension)) << extension;
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files).size(), 1u) << "no temporary file remains";
    ExpectImageAsBefore();
}

TEST_F(ParticleCommandTest, RedTopEntryGivesCyanMarkersAndTheUndoOfThePaletteSurvivesTheCount) {
    OpenSpots();
    window_->Dispatch(40104);  // entry 255 pure red, with its own undo snapshot
    Remember();
    ASSERT_TRUE(Enabled(kUndoCommandId));
    observer_->onMessage = [this](const MessageRequest&) {
        EXPECT_EQ(window_->View().Bitmap()->colours[255], (ColourEntry{255, 255, 0, 0}));
    };
    prompter_->AnswerDialog(Fill(kParams));
    prompter_->AnswerMessage(Answer::kNo);
    Trigger(40130);
    observer_->onMessage = nullptr;
    ExpectImageAsBefore();
    EXPECT_EQ(Bitmap().colours[255], (ColourEntry{0, 0, 255, 0}));
    // The count took no snapshot: undo still brings back the table before the palette command.
    Trigger(kUndoCommandId);
    EXPECT_EQ(Bitmap().colours, SpotImage().colours);
}

TEST_F(ParticleCommandTest, ImageWithoutPathProposesTheBareSuffix) {
    OpenSpots();
    window_->Document().path.clear();
    QueueCountAndYes();
    prompter_->AnswerFile(std::nullopt);
    Trigger(40100);
    EXPECT_EQ(ProposedNames(), (std::vector<QString>{"_c"}));
}

}  // namespace
}  // namespace tarkemo::app
