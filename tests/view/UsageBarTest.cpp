// The usage bar and the placeholder box through the real GDI, painted into a
// DIB section and read back pixel by pixel.
#include "tests/view/BarImage.h"
#include "tests/view/DibCanvas.h"
#include "view/UsageBar.h"

#include <gtest/gtest.h>

#include <utility>

namespace {
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kSilver = 0x00C0C0C0;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kLightGrey = 0x00C0C0C0;
constexpr COLORREF kDarkGrey = 0x00404040;

// A canvas whose text and background colours are the row painter's.
class BarCanvas : public DibCanvas {
public:
    BarCanvas(int cx, int cy) : DibCanvas(cx, cy) {
        SetTextColor(dc(), kBlue);
        SetBkColor(dc(), kSilver);
    }
    void Bar(int x, int y, int cx, int cy, uint32_t value, const char* format, uint32_t max = 100) {
        DrawUsageBar(dc(), GetStockObject(SYSTEM_FONT), x, y, cx, cy, value, max, format);
    }
};

TEST(UsageBar, FilledColumnsAreBlueAndTheRestSilver) {
    const struct {
        int cx;
        uint32_t value;
        int filled; // columns from the left in the text colour
    } cases[] = {
        {200, 50, 100}, {200, 100, 200}, {200, 0, 0}, {50, 2, 0}, {101, 1, 2}, {200, 150, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "cx " << c.cx << " value " << c.value);
        BarCanvas canvas(c.cx + 20, 40);
        canvas.Bar(10, 5, c.cx, 28, c.value, ""); // no label: every column is plain
        for (int x = 0; x < c.cx; ++x) {
            const COLORREF expected = x < c.filled ? kBlue : kSilver;
            const RECT column{10 + x, 5, 11 + x, 33};
            ASSERT_EQ(canvas.Count(column, expected), 28) << "column " << x;
        }
        // Nothing outside the bar's rectangle.
        const RECT all{0, 0, canvas.Width(), canvas.Height()};
        EXPECT_EQ(canvas.Count(all, kWhite), canvas.Area(all) - c.cx * 28);
    }
}

// The label's glyph bits as GDI draws them: an unfilled bar is silver
// except for the label.
BarImage LabelBits(const BarCanvas& canvas, int cx, int cy) {
    BarImage label(cx, cy);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            label.SetBit(x, y, canvas.At(x, y) == kSilver);
    return label;
}

TEST(UsageBar, GdiImageMatchesTheModel) {
    constexpr int cx = 150, cy = 28;
    BarCanvas unfilled(cx, cy);
    unfilled.Bar(0, 0, cx, cy, 0, "no media");
    const BarImage label = LabelBits(unfilled, cx, cy);
    ASSERT_GT(unfilled.Count(RECT{0, 0, cx, cy}, kBlue), 20); // the label is there

    for (uint32_t value : {1u, 33u, 50u, 99u, 100u, 150u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(value);
        BarCanvas canvas(cx, cy);
        canvas.Bar(0, 0, cx, cy, value, "no media");
        const BarImage model = ModelUsageBar(label, value, 100);
        int mismatches = 0;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x)
                mismatches += canvas.At(x, y) != model.Colour(x, y, kBlue, kSilver);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(UsageBar, LeavesTheTargetContextAsItWas) {
    BarCanvas canvas(100, 40);
    HDC dc = canvas.dc();
    SetBkMode(dc, OPAQUE);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);

    canvas.Bar(5, 5, 80, 28, 40, "%.0f%%");

    EXPECT_EQ(GetTextColor(dc), kBlue);
    EXPECT_EQ(GetBkColor(dc), kSilver);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
}

TEST(UsageBar, NoWidthOrHeightDrawsNothing) {
    BarCanvas canvas(60, 40);
    canvas.Bar(10, 5, 0, 28, 50, "%.0f%%");
    canvas.Bar(10, 5, -4, 28, 50, "%.0f%%");
    canvas.Bar(10, 5, 30, 0, 50, "%.0f%%");
    const RECT all{0, 0, 60, 40};
    EXPECT_EQ(canvas.Count(all, kWhite), canvas.Area(all));
}

// The box over a white canvas: a checkerboard of the brush colour over the
// box without its top row and left column (the rectangle's edges).
void ExpectGreyedBox(const DibCanvas& canvas, const RECT& box, COLORREF colour) {
    const RECT inner{box.left + 1, box.top + 1, box.right, box.bottom};
    const int covered = canvas.Count(inner, colour);
    EXPECT_NEAR(covered, canvas.Area(inner) / 2, 1 + canvas.Area(inner) / 20);
    EXPECT_EQ(covered + canvas.Count(inner, kWhite), canvas.Area(inner));
    const RECT all{0, 0, canvas.Width(), canvas.Height()};
    EXPECT_EQ(canvas.Count(all, kWhite), canvas.Area(all) - covered);
}

TEST(PlaceholderBox, SentinelsPickTheStockGreysAndABrushIsUsedAsGiven) {
    tov::UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    const std::pair<HBRUSH, COLORREF> cases[] = {
        {kPlaceholderLightGrey, kLightGrey},
        {kPlaceholderDarkGrey, kDarkGrey},
        {red.get(), RGB(255, 0, 0)},
    };
    for (const auto& [brush, colour] : cases) {
        DibCanvas canvas(160, 40);
        EXPECT_TRUE(DrawPlaceholderBox(canvas.dc(), brush, 44, 5, 144, 33));
        ExpectGreyedBox(canvas, RECT{44, 5, 144, 33}, colour);
    }
}

TEST(PlaceholderBox, ARowCutByTheTopIsCoveredDownToItsBottom) {
    // A box starting above the target's origin (a row scrolled partly out of
    // the view): every visible row of it is greyed.
    DibCanvas canvas(160, 40);
    DrawPlaceholderBox(canvas.dc(), kPlaceholderDarkGrey, 44, -10, 144, 18);
    for (int y = 0; y < 18; ++y) {
        const RECT line{45, y, 144, y + 1};
        EXPECT_NEAR(canvas.Count(line, kDarkGrey), 50, 1) << "row " << y;
    }
    EXPECT_EQ(canvas.Count(RECT{0, 18, 160, 40}, kWhite), 160 * 22);
}

TEST(PlaceholderBox, AnEmptyBoxDrawsNothing) {
    DibCanvas canvas(60, 40);
    EXPECT_FALSE(DrawPlaceholderBox(canvas.dc(), kPlaceholderDarkGrey, 44, 5, 44, 33));
    EXPECT_FALSE(DrawPlaceholderBox(canvas.dc(), kPlaceholderDarkGrey, 44, 5, 40, 33));
    const RECT all{0, 0, 60, 40};
    EXPECT_EQ(canvas.Count(all, kWhite), canvas.Area(all));
}
} // namespace
