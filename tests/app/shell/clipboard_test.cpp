// Copy and paste through the real clipboard of the (offscreen) platform: the formats offered,
// what is accepted from other programs, the paste questions and failures, and the menu state
// that depends on the clipboard.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <memory>
#include <span>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/clipboard_commands.h"
#include "app/shell/clipboard_watch.h"
#include "app/shell/command_flow.h"
#include "app/support/app_fixture.h"
#include "app/view/image_view.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;
using testing::PatternBitmap;

std::span<const uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

QImage GrayImage(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.scanLine(y)[x] = static_cast<uint8_t>(x + 10 * y);
    }
    return image;
}

void PutImage(const QImage& image) {
    auto* data = new QMimeData;
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}

TEST_F(AppTest, CopyOffersTheMarkedRectangleAsBmpAndAsIndexedImage) {
    OpenPattern(10, 10);
    window_->View().SetMarking(Marking{2, 1, 4, 0});
    Trigger(40006);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QByteArray file = data->data(kBmpMimeType);
    ASSERT_EQ(file.size(), 14 + 40 + 1024 + 4 * 2);
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    const auto decoded = DecodeBmp(Bytes(file));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->bitmap.width, 3);
    EXPECT_EQ(decoded->bitmap.height, 2);
    EXPECT_EQ(decoded->bitmap.stride, 4);
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(file.constData()) + 1078;
    EXPECT_EQ(pixels[0], 2);      // pixel (2, 0)
    EXPECT_EQ(pixels[4 + 2], 7);  // pixel (4, 1): 4 + 3
    EXPECT_EQ(pixels[3], 0);      // row padding
    EXPECT_EQ(pixels[7], 0);

    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixelIndex(0, 1), 2);  // the bottom row is the image's last line
    EXPECT_EQ(image.pixelIndex(2, 0), 7);
}

TEST_F(AppTest, CopyThenPasteGivesBackTheImageUntitledAndClean) {
    OpenPattern(13, 7);
    window_->Document().Bitmap()->colours[5] = ColourEntry{1, 2, 3, 0};
    const GrayBitmap original = *window_->Document().Bitmap();
    Trigger(40006);
    EXPECT_TRUE(Enabled(40007));
    Trigger(40007);
    const GrayBitmap& pasted = *window_->Document().Bitmap();
    EXPECT_EQ(pasted.width, 13);
    EXPECT_EQ(pasted.height, 7);
    EXPECT_TRUE(std::equal(original.pixels.begin(), original.pixels.end(), pasted.pixels.begin()));
    EXPECT_EQ(pasted.colours, original.colours);
    EXPECT_FALSE(window_->Document().grayRamp);
    EXPECT_EQ(Title(), QString("Tarkemo - Unbenannt"));
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_FALSE(Enabled(40003));
    EXPECT_TRUE(Enabled(40004));
    EXPECT_EQ(window_->View().CurrentMarking(), WholeImageMarking(13, 7));
}

TEST_F(AppTest, PasteAcceptsAGrayscaleImageOfAnotherProgram) {
    PutImage(GrayImage(5, 4));
    Trigger(40007);
    ASSERT_TRUE(window_->Document().HasDocument());
    const GrayBitmap& pasted = *window_->Document().Bitmap();
    EXPECT_EQ(pasted.width, 5);
    EXPECT_EQ(pasted.At(1, 3), 1);   // top image line is the top row
    EXPECT_EQ(pasted.At(4, 0), 34);  // bottom line: 4 + 10 * 3
    EXPECT_TRUE(window_->Document().grayRamp);
}

// Puts a 24-bit BMP file on the clipboard, as another program offers one.
void PutColourBmp() {
    const QImage colour = GrayImage(6, 6).convertToFormat(QImage::Format_RGB888);
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(colour.save(&buffer, "BMP"));
    auto* data = new QMimeData;
    data->setData(kBmpMimeType, file);
    QGuiApplication::clipboard()->setMimeData(data);
}

TEST_F(AppTest, FailedPasteKeepsTheCurrentDocument) {
    struct Case {
        const char* name;
        bool fromFile;  // else an untitled pasted image, changed since
        bool bmpOnClipboard;
    };
    const Case cases[] = {
        {"opened file, 24-bit image", true, false},
        {"opened file, 24-bit BMP", true, true},
        {"changed pasted image, 24-bit BMP", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fromFile) {
            OpenPattern();
        } else {
            PutImage(GrayImage(5, 4));
            Trigger(40007);
            RunChangingCommand(*window_, "Zeichnen", [](GrayBitmap& b) {
                b.At(0, 0) = 200;
                return true;
            });
        }
        const GrayBitmap before = *window_->Document().Bitmap();
        const std::string path = window_->Document().path;
        const QString title = Title();
        const bool modified = window_->Document().modified;
        if (c.bmpOnClipboard) {
            PutColourBmp();
        } else {
            QImage colour(6, 6, QImage::Format_RGB32);
            colour.fill(Qt::red);
            PutImage(colour);
        }
        EXPECT_TRUE(Enabled(40007));
        EXPECT_FALSE(Enabled(40142));
        if (modified) prompter_->AnswerMessage(Answer::kYes);
        Trigger(40007);
        const MessageRequest message = prompter_->LastMessage();
        EXPECT_EQ(message.text, QString(kPasteFailedText));
        EXPECT_EQ(message.caption, QString("Tarkemo - Fehler beim Kopieren aus der Zwischenablage"));
        EXPECT_EQ(message.icon, MessageIcon::kExclamation);
        ASSERT_TRUE(window_->Document().HasDocument());
        const GrayBitmap& after = *window_->Document().Bitmap();
        EXPECT_EQ(after.width, before.width);
        EXPECT_TRUE(std::equal(before.pixels.begin(), before.pixels.end(), after.pixels.begin()));
        EXPECT_EQ(window_->Document().path, path);
        EXPECT_EQ(window_->Document().modified, modified);
        EXPECT_EQ(Title(), title);
        EXPECT_EQ(window_->View().State().displayedWidth, before.width);
        EXPECT_EQ(Enabled(40008), !c.fromFile);  // the snapshot of the change stays
    }
}

TEST_F(AppTest, PasteOverModifiedDocumentAsksFirst) {
    OpenPattern();
    RunChangingCommand(*window_, "Zeichnen", [](GrayBitmap& b) {
        b.At(0, 0) = 9;
        return true;
    });
    PutImage(GrayImage(3, 3));
    prompter_->AnswerMessage(Answer::kNo);
    Trigger(40007);
    const MessageRequest asked = prompter_->LastMessage();
    EXPECT_EQ(asked.text, QString(kPasteOverModifiedText));
    EXPECT_EQ(asked.caption, QString("Tarkemo - Aus der Zwischenablage einfügen"));
    EXPECT_EQ(asked.defaultButton, Answer::kNo);
    EXPECT_EQ(window_->Document().geometry.width, 20);

    prompter_->AnswerMessage(Answer::kYes);
    Trigger(40007);
    EXPECT_EQ(window_->Document().geometry.width, 3);
    EXPECT_FALSE(Enabled(40008));  // paste discards the undo snapshot
}

TEST_F(AppTest, ClipboardOperandsNeedAnImageOfTheDocumentSize) {
    OpenPattern(100, 80);
    PutImage(GrayImage(100, 80));
    EXPECT_TRUE(Enabled(40007));
    for (int id : {40142, 40143, 40144, 40050, 40052, 40049, 40055, 40051}) EXPECT_TRUE(Enabled(id)) << id;
    PutImage(GrayImage(100, 81));
    EXPECT_TRUE(Enabled(40007));
    EXPECT_FALSE(Enabled(40142));
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(40007));
}

// An image of another program as the window system hands it over: encoded bytes under their type,
// and the mark that an image is there.
QMimeData* EncodedImageData(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    auto* data = new QMimeData;
    data->setData("image/png", png);
    data->setData("application/x-qt-image", png);
    return data;
}

TEST_F(AppTest, ForeignImageSizeIsReadFromItsHeader) {
    struct Case {
        const char* name;
        QImage image;
        int32_t width;
    };
    const Case cases[] = {
        {"grayscale", GrayImage(7, 5), 7},
        {"indexed", GrayImage(7, 5).convertToFormat(QImage::Format_Indexed8), 7},
        {"24-bit", GrayImage(7, 5).convertToFormat(QImage::Format_RGB32), 0},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<QMimeData> data(EncodedImageData(c.image));
        const ClipboardInfo info = InfoFromMimeData(data.get());
        EXPECT_TRUE(info.hasImage) << c.name;
        EXPECT_EQ(info.size.width, c.width) << c.name;
        EXPECT_EQ(info.size.height, c.width == 0 ? 0 : 5) << c.name;
    }
}

TEST_F(AppTest, TopDownBmpOnTheClipboardPastesUpright) {
    // A BMP file stored top-down (negative height), as some programs write it.
    GrayBitmap source = PatternBitmap(4, 3);
    std::vector<uint8_t> file = *EncodeBmp(source);
    const int32_t negative = -3;
    std::memcpy(file.data() + 22, &negative, 4);
    auto* data = new QMimeData;
    data->setData(kBmpMimeType,
                  QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())));
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(ClipboardImageInfo().size.height, -3);
    OpenPattern(4, 3);
    EXPECT_FALSE(Enabled(40142));  // the signed height differs from the document's
    Trigger(40007);
    ASSERT_TRUE(window_->Document().HasDocument());
    EXPECT_EQ(window_->Document().geometry.height, 3);
    // Stored first, the source's bottom row is now the top row.
    EXPECT_EQ(window_->Document().Bitmap()->At(1, 2), source.At(1, 0));
}

TEST_F(AppTest, RefusedBmpOnTheClipboardIsNotRescuedByTheImageData) {
    // A run-length-encoded BMP that Qt itself could decode: the BMP rules decide, as for files.
    std::vector<uint8_t> file = *EncodeBmp(PatternBitmap(4, 3));
    file[30] = 1;  // compression: RLE8
    auto* data = new QMimeData;
    data->setData(kBmpMimeType,
                  QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())));
    data->setImageData(GrayImage(4, 3));
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(ClipboardImageInfo().size.width, 0);
    Trigger(40007);
    EXPECT_EQ(prompter_->LastMessage().text, QString(kPasteFailedText));
    EXPECT_FALSE(window_->Document().HasDocument());
    EXPECT_EQ(Title(), QString("Tarkemo"));
}

// Opens every popup of the menu bar as the person would, which recomputes the menu states.
void OpenEveryMenu(MainWindow& window) {
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) emit menu->aboutToShow();
}

TEST_F(AppTest, MenusReuseTheClipboardAnswerUntilTheClipboardChanges) {
    OpenPattern(6, 6);
    PutImage(GrayImage(6, 6));
    const int reads = window_->Clipboard().Reads();
    EXPECT_TRUE(Enabled(40142));
    OpenEveryMenu(*window_);
    Trigger(40018);  // a command recomputes the states too
    EXPECT_EQ(window_->Clipboard().Reads(), reads) << "asked again without a change";

    // A change is read once, when it is reported, and the rules follow it.
    PutImage(GrayImage(3, 3));
    EXPECT_EQ(window_->Clipboard().Reads(), reads + 1);
    EXPECT_FALSE(Enabled(40142));
    EXPECT_TRUE(Enabled(40007));
    OpenEveryMenu(*window_);
    EXPECT_EQ(window_->Clipboard().Reads(), reads + 1);
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(40007));
}

TEST(ClipboardWatchTest, ReadsTheSizeOnlyWhenNeededAndOnlyOnce) {
    testing::TestApplication();
    std::vector<bool> asked;
    ClipboardWatch watch(nullptr, [&asked](bool withSize) {
        asked.push_back(withSize);
        return ClipboardInfo{true, DibSize{withSize ? 4 : 0, withSize ? 2 : 0}};
    });
    EXPECT_EQ(watch.Info(false).size.width, 0);
    EXPECT_EQ(watch.Info(false).size.width, 0);
    EXPECT_EQ(watch.Info(true).size.width, 4);
    EXPECT_EQ(watch.Info(false).size.width, 4);  // a size once read is kept
    EXPECT_EQ(watch.Info(true).size.height, 2);
    EXPECT_EQ(asked, (std::vector<bool>{false, true}));
    int changes = 0;
    QObject::connect(&watch, &ClipboardWatch::Changed, [&changes] { ++changes; });
    PutImage(GrayImage(2, 2));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(watch.Info(false).hasImage);
    EXPECT_EQ(asked, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(watch.Reads(), 3);
}

}  // namespace
}  // namespace tarkemo::app
