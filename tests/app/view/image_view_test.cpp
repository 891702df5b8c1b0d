#include "app/view/image_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <memory>
#include <optional>
#include <vector>

#include "app/view/view_painter.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app {
namespace {

// One QApplication for the whole run, ended before static destruction (Qt's own globals are gone by then).
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[20] = "app_image_view_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Palette index i shows as red i, green 255 - i, blue 7, so each value has its own colour.
QRgb ColourOf(int index) {
    return qRgb(index, 255 - index, 7);
}

// A width x height bitmap whose pixel (x, y) holds 10 * y + x + 1.
GrayBitmap NumberedBitmap(int32_t width, int32_t height) {
    ColourTable table{};
    for (int i = 0; i < 256; ++i) {
        table[static_cast<size_t>(i)] = {7, static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), 0};
    }
    std::optional<GrayBitmap> bitmap = CreateGrayBitmap(width, height, &table);
    EXPECT_TRUE(bitmap.has_value());
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) bitmap->At(x, y) = static_cast<uint8_t>(10 * y + x + 1);
    }
    return std::move(*bitmap);
}

class ImageViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        view.resize(20, 15);
        connect();
    }

    void Show(const GrayBitmap& image) {
        view.SetBitmap(&image);
        view.ResetForNewImage();
    }

    QRgb Pixel(const QImage& shot, int x, int y) const { return shot.pixel(x, y) | 0xFF000000u; }
    QImage Shot() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    void MoveTo(int x, int y) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), view.mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
    }

    void connect() {
        QObject::connect(&view, &ImageView::ReadoutChanged,
                         [this](const QString& x, const QString& y, const QString& gray) {
                             lines = {x, y, gray};
                         });
    }

    ImageView view;
    QStringList lines;
};

TEST_F(ImageViewTest, ZoomStepZeroShowsTheImageCentredInItsColours) {
    const GrayBitmap image = NumberedBitmap(4, 3);
    Show(image);
    EXPECT_EQ(view.State().originX, 8);
    EXPECT_EQ(view.State().originY, 6);
    const QImage shot = Shot();
    EXPECT_EQ(Pixel(shot, 8, 6), ColourOf(21));  // top-left on screen is the top row, column 0
    EXPECT_EQ(Pixel(shot, 11, 8), ColourOf(4));  // bottom-right is row 0, column 3
    for (const QPoint margin : {QPoint(0, 0), QPoint(7, 7), QPoint(12, 7), QPoint(9, 5), QPoint(9, 9)}) {
        EXPECT_EQ(Pixel(shot, margin.x(), margin.y()), kViewBackground.rgb())
            << margin.x() << "," << margin.y();
    }
    EXPECT_EQ(view.CurrentMarking(), WholeImageMarking(4, 3));
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
}

TEST_F(ImageViewTest, ZoomInReplicatesAndZoomOutDropsPixels) {
    const GrayBitmap image = NumberedBitmap(4, 4);
    Show(image);  // origin (8, 5)
    ASSERT_TRUE(view.ZoomAtCentre(+1));
    EXPECT_EQ(view.State().displayedWidth, 8);
    const ViewState in = view.State();
    QImage shot = Shot();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int value = 10 * (3 - y / 2) + x / 2 + 1;
            ASSERT_EQ(Pixel(shot, in.originX + x, in.originY + y), ColourOf(value)) << x << "," << y;
        }
    }
    ASSERT_TRUE(view.ZoomAtCentre(-1));
    ASSERT_TRUE(view.ZoomAtCentre(-1));
    const ViewState out = view.State();
    EXPECT_EQ(out.displayedWidth, 2);
    shot = Shot();
    // Columns 0 and 2 of rows 3 and 1 survive.
    EXPECT_EQ(Pixel(shot, out.originX, out.originY), ColourOf(31));
    EXPECT_EQ(Pixel(shot, out.originX + 1, out.originY), ColourOf(33));
    EXPECT_EQ(Pixel(shot, out.originX, out.originY + 1), ColourOf(11));
    EXPECT_EQ(Pixel(shot, out.originX + 2, out.originY), kViewBackground.rgb());
}

TEST_F(ImageViewTest, PaintedPixelsAgreeWithThePointerMapping) {
    const GrayBitmap image = NumberedBitmap(9, 7);
    Show(image);
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(view.ZoomAtCentre(+1));  // 27 x 21 in 20 x 15
    view.MutableState().originX = -4;
    view.MutableState().originY = -5;
    const QImage shot = Shot();
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) {
            const ImagePoint p = WindowToImage(view.State(), 9, 7, x, y);
            ASSERT_TRUE(IsOnImage(p, 9, 7));
            const int value = image.At(static_cast<int32_t>(p.column), static_cast<int32_t>(p.row));
            ASSERT_EQ(Pixel(shot, x, y), ColourOf(value)) << x << "," << y;
        }
    }
}

TEST_F(ImageViewTest, BothConversionsPaintTheSamePicture) {
    const GrayBitmap image = NumberedBitmap(23, 17);
    for (const int32_t step : {-2, 0, 3}) {
        ViewState state;
        state.clientWidth = 40;
        state.clientHeight = 30;
        state.zoomStep = step;
        UpdateDisplayedSize(state, 23, 17);
        state.originX = -3;
        state.originY = 2;
        QImage pictures[2];
        const ConversionFormat formats[2] = {ConversionFormat::Rgb32, ConversionFormat::Indexed8};
        for (int i = 0; i < 2; ++i) {
            pictures[i] = QImage(40, 30, QImage::Format_RGB32);
            pictures[i].fill(Qt::black);
            ViewPainter painter;
            painter.SetConversionFormat(formats[i]);
            QPainter qp(&pictures[i]);
            painter.PaintImage(qp, state, image, QRect(0, 0, 40, 30));
        }
        EXPECT_EQ(pictures[0], pictures[1]) << "step " << step;
    }
}

TEST_F(ImageViewTest, SinglePixelMarkingAtStepOneGetsAFourPixelFrame) {
    const GrayBitmap image = NumberedBitmap(4, 3);
    Show(image);
    ASSERT_TRUE(view.ZoomAtCentre(+1));  // 8 x 6 at (6, 5)
    const ViewState& s = view.State();
    ASSERT_EQ(s.originX, 6);
    ASSERT_EQ(s.originY, 5);
    view.SetMarking(Marking{1, 1, 1, 1});
    const QImage shot = Shot();
    // Pixel (1, 1) covers window columns 8..9 and rows 7..8; the frame runs around it.
    const QRgb pen = kMarkingPen.rgb();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Pixel(shot, 7 + i, 6), pen) << i;
        EXPECT_EQ(Pixel(shot, 7 + i, 9), pen) << i;
        EXPECT_EQ(Pixel(shot, 7, 6 + i), pen) << i;
        EXPECT_EQ(Pixel(shot, 10, 6 + i), pen) << i;
    }
    EXPECT_EQ(Pixel(shot, 8, 7), ColourOf(12));
    EXPECT_EQ(Pixel(shot, 11, 6), ColourOf(23));
    EXPECT_EQ(Pixel(shot, 6, 6), ColourOf(21));

    view.SetMarking(WholeImageMarking(4, 3));
    const QImage plain = Shot();
    EXPECT_EQ(Pixel(plain, 7, 6), ColourOf(21));
}

TEST_F(ImageViewTest, XorFrameDrawnTwiceRestoresThePicture) {
    const GrayBitmap image = NumberedBitmap(6, 6);
    ViewState state;
    state.clientWidth = 30;
    state.clientHeight = 30;
    state.zoomStep = 2;
    UpdateDisplayedSize(state, 6, 6);
    state.originX = -2;  // the frame's left edge lies outside the window
    // The window's backing store is one of these formats.
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage picture(30, 30, format);
        picture.fill(QColor(10, 200, 30));
        const QImage before = picture;
        {
            QPainter painter(&picture);
            ViewPainter::DrawMarkingRectangle(painter, state, image, Marking{0, 4, 2, 1}, true);
        }
        // Every outline pixel is inverted exactly once, corners included.
        const QRgb inverted = before.pixel(0, 0) ^ (kMarkingPen.rgb() & 0x00FFFFFFu);
        const std::optional<FrameCorners> frame = MarkingFrame(state, 6, 6, Marking{0, 4, 2, 1});
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(picture.pixel(static_cast<int>(frame->x2), static_cast<int>(frame->y1)), inverted);
        EXPECT_EQ(picture.pixel(static_cast<int>(frame->x2), static_cast<int>(frame->y2)), inverted);
        EXPECT_EQ(picture.pixel(0, static_cast<int>(frame->y2)), inverted);
        EXPECT_EQ(picture.pixel(static_cast<int>(frame->x2) - 1, static_cast<int>(frame->y1) + 1),
                  before.pixel(0, 0));
        {
            QPainter painter(&picture);
            ViewPainter::DrawMarkingRectangle(painter, state, image, Marking{0, 4, 2, 1}, true);
        }
        EXPECT_EQ(picture, before) << format;
    }
}

TEST_F(ImageViewTest, ReadoutFollowsThePointer) {
    MoveTo(3, 3);
    EXPECT_EQ(lines, (QStringList{"X: (Kein Bild)", "Y: (Kein Bild)", "Grauwert: ---"}));
    const GrayBitmap image = NumberedBitmap(4, 3);
    Show(image);  // origin (8, 6)
    MoveTo(9, 6);
    EXPECT_EQ(lines, (QStringList{"X:  1  (4)", "Y:  2  (3)", "Grauwert:  22"}));
    MoveTo(12, 6);
    EXPECT_EQ(lines, (QStringList{"X: (außerhalb)", "Y: (außerhalb)", "Grauwert: ---"}));
    MoveTo(11, 8);
    EXPECT_EQ(lines[2], "Grauwert:  4");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    EXPECT_EQ(lines[0], "X: (außerhalb)");
}

TEST_F(ImageViewTest, WheelZoomsAtTheCentreOnlyWithAnImage) {
    auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(1, 1), view.mapToGlobal(QPointF(1, 1)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    };
    wheel(120);
    EXPECT_EQ(view.State().zoomStep, 0);
    const GrayBitmap image = NumberedBitmap(4, 4);
    Show(image);
    wheel(120);
    EXPECT_EQ(view.State().zoomStep, 1);
    EXPECT_EQ(view.State().originX, 6);  // centre stays: 10 - 8 * 0.5
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(view.State().zoomStep, -1);
}

TEST_F(ImageViewTest, WheelZoomRefreshesTheReadoutUnderTheStillPointer) {
    const GrayBitmap image = NumberedBitmap(4, 4);
    Show(image);  // origin (8, 5)
    MoveTo(8, 5);
    EXPECT_EQ(lines[2], "Grauwert:  31");  // pixel (0, 3)
    QWheelEvent in(QPointF(8, 5), view.mapToGlobal(QPointF(8, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &in);
    // Step 1 with origin (6, 3): the pointer now stands over pixel (1, 2).
    EXPECT_EQ(lines, (QStringList{"X:  1  (4)", "Y:  2  (4)", "Grauwert:  22"}));
}

TEST_F(ImageViewTest, ResizeStoresTheClientSizeAndClampsAndClearShowsBackground) {
    const GrayBitmap image = NumberedBitmap(4, 4);
    Show(image);  // origin (8, 5)
    view.resize(10, 15);
    EXPECT_EQ(view.State().clientWidth, 10);
    EXPECT_EQ(view.State().originX, 6);  // clamped to 10 - 4
    view.Clear();
    view.SetBitmap(nullptr);
    EXPECT_EQ(view.State().displayedWidth, 0);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
    const QImage shot = Shot();
    EXPECT_EQ(Pixel(shot, 7, 7), kViewBackground.rgb());
}

}  // namespace
}  // namespace tarkemo::app
