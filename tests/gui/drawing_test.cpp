// The drawing wrappers: image lists cut from a bitmap with a mask colour, fonts from descriptions,
// and a drawing context's fills, text and clipping, read back by pixel probes.
#include "platform/resources/resourcemodule.h"
#include "platform/ui/dc.h"
#include "platform/ui/font.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/wnd.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

TEST(ImageList, CallTypeStripIsCutIntoThreeImagesWithWhiteTransparent) {
    Bitmap strip;
    ASSERT_EQ(ResourceModule::Program().LoadBitmap(IDB_CALLTYPES, strip), 0);
    ASSERT_EQ(strip.width, 122);
    ASSERT_EQ(strip.height, 28);

    CImageList images;
    ASSERT_TRUE(images.Create(IDB_CALLTYPES, 40, 1, RGB(255, 255, 255)));
    // 122 columns make three whole images; the last two columns belong to none.
    EXPECT_EQ(images.GetImageCount(), 3);
    EXPECT_EQ(images.GetImageSize().cx, 40);
    EXPECT_EQ(images.GetImageSize().cy, 28);

    // Image 0 (its exclamation mark is the strip's only white) over a blue ground: white pixels let the
    // blue through, the others keep their colour.
    int whiteX = -1, whiteY = -1, solidX = -1, solidY = -1;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (strip.PixelAt(x, y) == kWhite && whiteX < 0) {
                whiteX = x, whiteY = y;
            } else if (strip.PixelAt(x, y) != kWhite && solidX < 0) {
                solidX = x, solidY = y;
            }
        }
    }
    ASSERT_GE(whiteX, 0) << "the exclamation mark of image 0 is white";
    ASSERT_GE(solidX, 0);
    QImage canvas(40, 28, QImage::Format_ARGB32);
    canvas.fill(QColor(0, 0, 255));
    {
        QPainter painter(&canvas);
        CDC dc(&painter, nullptr);
        EXPECT_TRUE(images.Draw(&dc, 0, CPoint{0, 0}));
        EXPECT_FALSE(images.Draw(&dc, 3, CPoint{0, 0}));
    }
    EXPECT_EQ(canvas.pixel(whiteX, whiteY), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(solidX, solidY), strip.PixelAt(solidX, solidY));
}

TEST(ImageList, MissingBitmapOrWidthMakesNoList) {
    CImageList images;
    EXPECT_FALSE(images.Create(9999, 40, 1, RGB(255, 255, 255)));
    EXPECT_FALSE(images.Create(IDB_CALLTYPES, 0, 1, RGB(255, 255, 255)));
    EXPECT_EQ(images.GetImageCount(), 0);
}

TEST(Font, DialogFaceMapsToDejaVuSansCondensedAtElevenPixelsForEightPoints) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, u"MS Shell Dlg"));
    LOGFONT description;
    ASSERT_GT(font.GetLogFont(description), 0);
    EXPECT_EQ(description.height, -11);
    EXPECT_TRUE(description.faceName.Equals(u"DejaVu Sans Condensed"));

    description.weight = 700;
    CFont bold;
    ASSERT_TRUE(bold.CreateFontIndirect(description));
    EXPECT_EQ(bold.Font()->weight(), QFont::Bold);
    EXPECT_EQ(bold.Font()->pixelSize(), 11);
}

TEST(DrawingContext, FillsAndTextStayInsideTheirRectangles) {
    QImage canvas(100, 40, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        CDC dc(&painter, nullptr);
        dc.FillSolidRect(CRect{10, 5, 20, 15}, RGB(74, 121, 173));
        dc.SetTextColor(RGB(255, 0, 0));
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(u"WWWWWWWWWWWWWWWWWWWW", CRect{30, 0, 60, 30}, DT_LEFT);
    }
    EXPECT_EQ(canvas.pixel(10, 5), qRgb(74, 121, 173));
    EXPECT_EQ(canvas.pixel(19, 14), qRgb(74, 121, 173));
    EXPECT_EQ(canvas.pixel(20, 15), qRgb(255, 255, 255));
    int inside = 0, outside = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 21; x < canvas.width(); ++x) {
            if (qRed(canvas.pixel(x, y)) > 200 && qGreen(canvas.pixel(x, y)) < 100) {
                (x >= 30 && x < 60 && y < 30 ? inside : outside) += 1;
            }
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0) << "text is clipped to its rectangle";
}

TEST(DrawingContext, MeasuresWithTheSelectedFont) {
    CDC dc(nullptr, nullptr);
    CFont small;
    CFont large;
    small.CreatePointFont(80, u"Tahoma");
    large.CreatePointFont(160, u"Tahoma");
    dc.SelectObject(&small);
    const CSize narrow = dc.GetTextExtent(u"Reverse Lookup");
    dc.SelectObject(&large);
    const CSize wide = dc.GetTextExtent(u"Reverse Lookup");
    EXPECT_GT(narrow.cx, 0);
    EXPECT_GT(wide.cx, narrow.cx * 3 / 2);
    EXPECT_GT(wide.cy, narrow.cy);
    EXPECT_EQ(dc.GetTextExtent(u"").cx, 0);
}

// Rows of red text drawn: how many pixel rows of the canvas carry any.
int InkedRows(const QImage& canvas) {
    int rows = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qRed(canvas.pixel(x, y)) > 200 && qGreen(canvas.pixel(x, y)) < 100) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST(DrawingContext, TextWrapsOnlyWithTheWordBreakFlag) {
    const auto draw = [](unsigned format) {
        QImage canvas(60, 80, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        CDC dc(&painter, nullptr);
        dc.SetTextColor(RGB(255, 0, 0));
        dc.DrawText(u"Reverse lookup of six digits", CRect{0, 0, 60, 80}, format);
        painter.end();
        return InkedRows(canvas);
    };
    const int oneLine = draw(DT_LEFT);
    const int wrapped = draw(DT_LEFT | DT_WORDBREAK);
    EXPECT_GT(oneLine, 0);
    EXPECT_GT(wrapped, 2 * oneLine) << "the words go on to further lines";
}

TEST(DrawingContext, SelectingBackTheFirstFontRestoresTheWindowsFont) {
    QWidget window;
    QFont windowFont(QStringLiteral("DejaVu Sans"));
    windowFont.setPixelSize(12);
    window.setFont(windowFont);
    CDC dc(nullptr, &window);
    const CSize plain = dc.GetTextExtent(u"Grace Hopper");
    CFont large;
    ASSERT_TRUE(large.CreatePointFont(200, u"DejaVu Sans"));
    CFont* previous = dc.SelectObject(&large);
    EXPECT_EQ(previous, nullptr) << "no font of the caller's was selected before";
    EXPECT_GT(dc.GetTextExtent(u"Grace Hopper").cx, plain.cx);
    EXPECT_EQ(dc.SelectObject(previous), &large);
    EXPECT_EQ(dc.GetTextExtent(u"Grace Hopper").cx, plain.cx);
}

TEST(DrawingContext, SystemColoursComeFromThePalette) {
    const QPalette palette = QApplication::palette();
    const auto colour = [](const QColor& c) { return RGB(c.red(), c.green(), c.blue()); };
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), colour(palette.color(QPalette::Base)));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), colour(palette.color(QPalette::Highlight)));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), colour(palette.color(QPalette::HighlightedText)));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), colour(palette.color(QPalette::ButtonText)));
    EXPECT_NE(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW));
}

TEST(Font, AFontSetInPointsReportsItsPixelHeight) {
    CFont font;
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(9);
    font.Assign(points);
    LOGFONT description;
    ASSERT_GT(font.GetLogFont(description), 0);
    EXPECT_EQ(description.height, -QFontInfo(points).pixelSize());
    EXPECT_LT(description.height, 0);
}

TEST(Window, AFreshContextCarriesTheDefaultFontNotTheWindows) {
    CWnd window;
    ASSERT_TRUE(window.Create(nullptr, WS_VISIBLE, CRect{0, 0, 100, 100}, 0, u""));
    CFont large;
    ASSERT_TRUE(large.CreatePointFont(240, u"DejaVu Sans"));
    window.SetFont(&large);
    CDC* dc = window.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->GetTextExtent(u"12:04").cx, QFontMetrics(QFont()).horizontalAdvance(QStringLiteral("12:04")));
    window.ReleaseDC(dc);
    window.DestroyWindow();
}

} // namespace
