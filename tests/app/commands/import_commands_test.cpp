// The DaVis import through the main window: the file dialog, the new clean document with its first
// line at the top, the caption and the lost undo, saving under a .bmp name, and the failures that
// must leave the previous document and its path alone.
#include "app/commands/import_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <cmath>
#include <fstream>
#include <vector>

#include "app/shell/command_flow.h"
#include "app/shell/document_commands.h"
#include "app/shell/file_checks.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "generator/davis_encoder.h"
#include "image/davis_import.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;
using testing::PatternBitmap;
using Bytes = std::vector<uint8_t>;

// Six samples a line, three lines. With the range 100..356 the samples 356, 228 and 100 become 255,
// 127 ((128 * (255 / 256)) truncated) and 0.
const std::vector<uint16_t> kSamples = {356, 228, 100, 100, 100, 356,  // line 0: the top row
                                        228, 228, 228, 228, 228, 228,  // line 1
                                        100, 100, 100, 100, 100, 100};
const std::vector<std::vector<uint8_t>> kRowsTopDown = {
    {255, 127, 0, 0, 0, 255}, {127, 127, 127, 127, 127, 127}, {0, 0, 0, 0, 0, 0}};

bool Invert(GrayBitmap& bitmap) {
    for (uint8_t& pixel : bitmap.pixels) pixel = static_cast<uint8_t>(255 - pixel);
    return true;
}

bool KeepTable(GrayBitmap&) {
    return true;
}

class ImportTest : public AppTest {
  protected:
    QString WriteBytes(const QString& name, const Bytes& bytes) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    QString WriteTinyImx(const QString& name = "messung.imx") {
        return WriteBytes(name, testimages::MakeDavisPackedFile(kSamples, 6, 3));
    }
    static Bytes ReadBytes(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray data = file.readAll();
        return Bytes(data.begin(), data.end());
    }
    void ExpectTinyImage() {
        const GrayBitmap* bitmap = window_->Document().Bitmap();
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(bitmap->width, 6);
        ASSERT_EQ(bitmap->height, 3);
        for (int32_t y = 0; y < 3; ++y) {
            const std::vector<uint8_t> row(bitmap->Row(y), bitmap->Row(y) + bitmap->stride);
            std::vector<uint8_t> expected = kRowsTopDown[static_cast<size_t>(2 - y)];
            expected.resize(static_cast<size_t>(bitmap->stride), 0);  // padding stays 0
            EXPECT_EQ(row, expected) << "bitmap row " << y;
        }
        EXPECT_EQ(window_->Document().geometry.width, 6);
        EXPECT_EQ(window_->Document().geometry.pixels, bitmap->pixels.data());
    }
    // The state every successful import ends in.
    void ExpectCleanImport(const QString& path) {
        const DocumentState& document = window_->Document();
        EXPECT_EQ(QString::fromStdString(document.path), path);
        EXPECT_TRUE(document.importedPath);
        EXPECT_FALSE(document.modified);
        EXPECT_TRUE(document.grayRamp);
        EXPECT_EQ(Title(), "Tarkemo - " + path);
        EXPECT_FALSE(Enabled(40008));
        EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig\tStrg+Z"));
        EXPECT_TRUE(Enabled(40003));
        const ViewState& view = window_->View().State();
        EXPECT_EQ(view.zoomStep, 0);
        EXPECT_EQ(view.displayedWidth, document.geometry.width);
        EXPECT_EQ(view.originX, (view.clientWidth - view.displayedWidth) / 2);
        EXPECT_EQ(view.originY, (view.clientHeight - view.displayedHeight) / 2);
        EXPECT_EQ(window_->View().cursor().shape(), Qt::CrossCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
};

TEST_F(ImportTest, MenuImportShowsTheFirstLineAtTheTopOfACleanDocument) {
    const QString previous = OpenPattern(6, 3);
    RunPaletteCommand(*window_, "Regenbogen", false, KeepTable);  // an undo snapshot of the same size
    window_->View().MutableState().zoomStep = 3;
    const QString path = WriteTinyImx();
    prompter_->AnswerFile(path);
    Trigger(40146);

    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);  // clean document: no question
    const FileRequest& asked = prompter_->AskedSoFar()[0].file;
    EXPECT_EQ(asked.mode, FileRequest::Mode::kOpen);
    EXPECT_EQ(asked.proposedName, previous);
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].text, QString("DaVis-Dateien (*.IMX; *.IMG)"));
    EXPECT_EQ(asked.filters[0].patterns, QString("*.imx; *.img"));
    EXPECT_EQ(asked.filters[1].text, QString("Alle Dateien (*.*)"));
    ExpectTinyImage();
    ExpectCleanImport(path);
    EXPECT_EQ(window_->Action(40146)->shortcut(), QKeySequence("Ctrl+I"));
}

TEST_F(ImportTest, ImportOverAModifiedDocumentAsksFirst) {
    OpenPattern();
    RunChangingCommand(*window_, "NOT (invertieren)", Invert);
    prompter_->AnswerMessage(Answer::kNo);
    Trigger(40146);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    const MessageRequest question = prompter_->LastMessage();
    EXPECT_EQ(question.text, QString(kOpenOverModifiedText));
    EXPECT_EQ(question.caption, QString("Tarkemo - Datei öffnen"));
    EXPECT_EQ(question.icon, MessageIcon::kQuestion);
    EXPECT_EQ(question.defaultButton, Answer::kNo);
    EXPECT_TRUE(window_->Document().modified);

    const QString path = WriteTinyImx();
    prompter_->AnswerMessage(Answer::kYes);
    prompter_->AnswerFile(path);
    Trigger(40146);
    ExpectTinyImage();
    ExpectCleanImport(path);
}

TEST_F(ImportTest, SaveAfterAnImportWritesANewBmpFile) {
    const QString path = WriteTinyImx("Messung.IMX");
    const Bytes source = ReadBytes(path);
    window_->Dispatch(40170, path);
    ExpectCleanImport(path);

    const QString target = folder_.filePath("Messung.bmp");
    prompter_->AnswerFile(target);
    Trigger(40003);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    const FileRequest& asked = prompter_->AskedSoFar()[0].file;
    EXPECT_EQ(asked.mode, FileRequest::Mode::kSave);
    EXPECT_EQ(asked.proposedName, target);
    EXPECT_EQ(ReadBytes(path), source);
    const auto written = ReadBmpFile(target.toStdString());
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->bitmap.At(0, 2), 255);
    EXPECT_TRUE(written->grayRamp);
    EXPECT_FALSE(window_->Document().importedPath);
    EXPECT_EQ(Title(), "Tarkemo - " + target);
}

struct BrokenFile {
    const char* name;
    Bytes bytes;  // empty: the file does not exist
};

std::vector<BrokenFile> BrokenFiles() {
    Bytes truncated = testimages::MakeDavisPackedFile(kSamples, 6, 3);
    truncated.resize(270);
    testimages::DavisHeaderFields vectors = testimages::DavisImageFields(18, 6, 3);
    vectors.subtype = 3;
    Bytes vectorField = testimages::MakeDavisHeader(vectors);
    vectorField.resize(vectorField.size() + 6 * 3 * 2 * 2, 0);
    const std::string text = "kein DaVis-Bild";
    return {{"missing.imx", {}},
            {"text.imx", Bytes(text.begin(), text.end())},
            {"truncated.imx", truncated},
            {"vectors.img", vectorField}};
}

TEST_F(ImportTest, AFailedImportKeepsThePreviousDocumentAndItsPath) {
    for (const BrokenFile& broken : BrokenFiles()) {
        SCOPED_TRACE(broken.name);
        const QString previous = OpenPattern(20, 10);
        RunChangingCommand(*window_, "NOT (invertieren)", Invert);
        const QString path =
            broken.bytes.empty() ? folder_.filePath(broken.name) : WriteBytes(broken.name, broken.bytes);
        prompter_->Forget();
        prompter_->AnswerMessage(Answer::kYes);
        prompter_->AnswerFile(path);
        Trigger(40146);

        // A missing file is named as missing; a file that cannot be read gets the import's message.
        const bool missing = broken.bytes.empty();
        const MessageRequest message = prompter_->LastMessage();
        EXPECT_EQ(message.text, missing ? MissingFileText(path) : QString(kDavisReadErrorText));
        EXPECT_EQ(message.caption, QString("Tarkemo - Fehler beim Öffnen"));
        EXPECT_EQ(message.icon, missing ? MessageIcon::kExclamation : MessageIcon::kNone);
        EXPECT_EQ(message.buttons, MessageButtons::kOk);
        const DocumentState& document = window_->Document();
        ASSERT_TRUE(document.HasDocument());
        EXPECT_EQ(document.geometry.width, 20);
        EXPECT_EQ(QString::fromStdString(document.path), previous);
        EXPECT_FALSE(document.importedPath);
        EXPECT_TRUE(document.modified);
        EXPECT_TRUE(Enabled(40008));  // the change is still undoable
        EXPECT_EQ(Title(), "Tarkemo - " + previous + "  (geändert)");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        // Save writes to the previous file, never to the one that failed.
        Trigger(40003);
        EXPECT_FALSE(document.modified);
        EXPECT_EQ(ReadBmpFile(previous.toStdString())->bitmap.At(0, 0), 255);
        EXPECT_EQ(ReadBytes(path), broken.bytes);
    }
}

TEST_F(ImportTest, AFailedImportAfterAnImportStillProtectsTheImportedFile) {
    const QString good = WriteTinyImx();
    window_->Dispatch(40170, good);
    const QString broken = WriteBytes("kaputt.imx", Bytes(100, 0x55));
    prompter_->AnswerFile(broken);
    Trigger(40146);
    EXPECT_EQ(prompter_->LastMessage().text, QString(kDavisReadErrorText));
    ExpectTinyImage();
    ExpectCleanImport(good);
    prompter_->AnswerFile(std::nullopt);
    Trigger(40003);
    EXPECT_EQ(prompter_->AskedSoFar().back().file.proposedName, folder_.filePath("messung.bmp"));
}

TEST_F(ImportTest, AFailedStartImportLeavesNoDocument) {
    window_->Dispatch(40170, folder_.filePath("fehlt.imx"));
    EXPECT_EQ(prompter_->LastMessage().text, MissingFileText(folder_.filePath("fehlt.imx")));
    EXPECT_FALSE(window_->Document().HasDocument());
    EXPECT_TRUE(window_->Document().path.empty());
    EXPECT_EQ(Title(), QString("Tarkemo"));
    EXPECT_FALSE(Enabled(40003));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ImportTest, CancellingTheDialogChangesNothing) {
    const QString previous = OpenPattern();
    prompter_->AnswerFile(std::nullopt);
    Trigger(40146);
    EXPECT_EQ(QString::fromStdString(window_->Document().path), previous);
    EXPECT_EQ(window_->Document().geometry.width, 20);
}

// The file written by the acquisition software, imported as from the command line.
TEST_F(ImportTest, TheRealSampleShowsItsFirstLineAtTheTop) {
    const QString path = TARKEMO_SHARED_DIR "/corpus/imx/test_IMX.imx";
    if (!QFile::exists(path)) GTEST_SKIP() << "sample not present: " << path.toStdString();
    DavisImage samples;
    ASSERT_EQ(ReadIMX(path.toStdString(), samples), 0);
    window_->Dispatch(40170, path);
    const GrayBitmap* bitmap = window_->Document().Bitmap();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->width, 1376);
    ASSERT_EQ(bitmap->height, 1024);
    // Samples range from 0 to 687.
    const double factor = 255.0 / 687.0;
    for (const int32_t line : {0, 1, 511, 1023}) {
        const int32_t row = 1023 - line;
        for (int32_t x = 0; x < 1376; ++x) {
            const uint16_t sample = samples.words[static_cast<size_t>(line) * 1376 + static_cast<size_t>(x)];
            ASSERT_EQ(bitmap->At(x, row), static_cast<uint8_t>(std::trunc(sample * factor)))
                << "line " << line << " x " << x;
        }
    }
    ExpectCleanImport(path);
    prompter_->AnswerFile(std::nullopt);
    Trigger(40003);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    EXPECT_EQ(prompter_->AskedSoFar()[0].file.proposedName,
              QString(TARKEMO_SHARED_DIR "/corpus/imx/test_IMX.bmp"));
}

}  // namespace
}  // namespace tarkemo::app
