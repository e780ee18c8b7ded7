// The pure geometry and parsing behind the bars: layout, drop sides,
// keeping a window on screen, status pane edges, toolbar resources.
#include "framework/ControlBar.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(actual, l, t, r, b) EXPECT_TRUE(SameRect(actual, RECT{l, t, r, b}))

TEST(LayOutBarsTest, FixedBarsAreOutermostThenTopBottomLeftRight) {
    // Given in creation order: a left toolbar, the status bar, a top toolbar,
    // a bottom toolbar and a right toolbar.
    const std::vector<tov::BarSlot> slots{{CBRS_ALIGN_LEFT, 30, true},
                                          {CBRS_ALIGN_BOTTOM, 20, false},
                                          {CBRS_ALIGN_TOP, 26, true},
                                          {CBRS_ALIGN_BOTTOM, 24, true},
                                          {CBRS_ALIGN_RIGHT, 10, true}};
    const tov::BarLayout layout = tov::LayOutBars(RECT{0, 0, 400, 300}, slots);
    EXPECT_RECT(layout.bars[1], 0, 280, 400, 300); // status bar: the whole bottom
    EXPECT_RECT(layout.bars[2], 0, 0, 400, 26);
    EXPECT_RECT(layout.bars[3], 0, 256, 400, 280); // above the status bar
    EXPECT_RECT(layout.bars[0], 0, 26, 30, 256);   // between top and bottom bars
    EXPECT_RECT(layout.bars[4], 390, 26, 400, 256);
    EXPECT_RECT(layout.pane, 30, 26, 390, 256);
}

TEST(LayOutBarsTest, BarsOnOneSideStackAndNothingGoesNegative) {
    const std::vector<tov::BarSlot> stacked{{CBRS_ALIGN_TOP, 20, true}, {CBRS_ALIGN_TOP, 25, true}};
    const tov::BarLayout two = tov::LayOutBars(RECT{0, 0, 100, 100}, stacked);
    EXPECT_RECT(two.bars[0], 0, 0, 100, 20);
    EXPECT_RECT(two.bars[1], 0, 20, 100, 45);
    EXPECT_RECT(two.pane, 0, 45, 100, 100);

    // A window too small for its bars: the bars get what is left, the pane
    // is empty, and no rectangle is inverted.
    const std::vector<tov::BarSlot> big{{CBRS_ALIGN_BOTTOM, 30, false}, {CBRS_ALIGN_TOP, 30, true}};
    const tov::BarLayout tiny = tov::LayOutBars(RECT{0, 0, 50, 40}, big);
    EXPECT_RECT(tiny.bars[0], 0, 10, 50, 40);
    EXPECT_RECT(tiny.bars[1], 0, 0, 50, 10);
    EXPECT_EQ(tiny.pane.top, tiny.pane.bottom);
    const tov::BarLayout inverted = tov::LayOutBars(RECT{0, 0, -5, -5}, big);
    for (const RECT& r : inverted.bars) {
        EXPECT_LE(r.left, r.right);
        EXPECT_LE(r.top, r.bottom);
    }
}

TEST(DockSideAtTest, NearestAllowedEdgeWithinTheZoneElseFloating) {
    const RECT area{100, 100, 500, 400};
    EXPECT_EQ(tov::DockSideAt({300, 105}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_TOP);
    EXPECT_EQ(tov::DockSideAt({300, 90}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_TOP); // just outside
    EXPECT_EQ(tov::DockSideAt({300, 395}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_BOTTOM);
    EXPECT_EQ(tov::DockSideAt({104, 300}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_LEFT);
    EXPECT_EQ(tov::DockSideAt({498, 300}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_RIGHT);
    // The middle of the area, or far outside it: floating.
    EXPECT_EQ(tov::DockSideAt({300, 250}, area, CBRS_ALIGN_ANY, 20), 0u);
    EXPECT_EQ(tov::DockSideAt({300, 50}, area, CBRS_ALIGN_ANY, 20), 0u);
    // In a corner the nearer edge wins; a side not allowed is never chosen.
    EXPECT_EQ(tov::DockSideAt({102, 110}, area, CBRS_ALIGN_ANY, 20), CBRS_ALIGN_LEFT);
    EXPECT_EQ(tov::DockSideAt({102, 110}, area, CBRS_ALIGN_TOP, 20), CBRS_ALIGN_TOP);
    EXPECT_EQ(tov::DockSideAt({104, 300}, area, CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM, 20), 0u);
}

TEST(KeepInsideTest, MovesARectangleBackOntoTheArea) {
    const RECT screen{0, 0, 1024, 768};
    EXPECT_RECT(tov::KeepInside(RECT{10, 20, 110, 60}, screen), 10, 20, 110, 60);
    EXPECT_RECT(tov::KeepInside(RECT{-30000, 5000, -29900, 5040}, screen), 0, 728, 100, 768);
    EXPECT_RECT(tov::KeepInside(RECT{1000, -50, 1100, -10}, screen), 924, 0, 1024, 40);
    // Larger than the area: its top-left corner stays reachable.
    EXPECT_RECT(tov::KeepInside(RECT{500, 500, 2500, 1500}, screen), 0, 0, 2000, 1000);
}

TEST(StatusPartEdgesTest, StretchyPanesShareWhatFixedPanesLeave) {
    EXPECT_EQ(tov::StatusPartEdges(std::vector<int>{-1}, 300), (std::vector<int>{300}));
    EXPECT_EQ(tov::StatusPartEdges(std::vector<int>{-1, 50, 40}, 300),
              (std::vector<int>{210, 260, 300}));
    EXPECT_EQ(tov::StatusPartEdges(std::vector<int>{-1, 20, -1}, 121),
              (std::vector<int>{50, 70, 121}));
    // Narrower than the fixed panes: the stretchy pane gets nothing, edges
    // never go backwards.
    EXPECT_EQ(tov::StatusPartEdges(std::vector<int>{-1, 50}, 30), (std::vector<int>{0, 50}));
}

std::vector<BYTE> ToolBarBytes(std::vector<WORD> words) {
    std::vector<BYTE> bytes(words.size() * 2);
    for (size_t i = 0; i < words.size(); ++i) {
        bytes[2 * i] = static_cast<BYTE>(words[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<BYTE>(words[i] >> 8);
    }
    return bytes;
}

TEST(ParseToolBarResourceTest, ReadsSizesAndIdsWithSeparators) {
    const auto parsed = tov::ParseToolBarResource(ToolBarBytes({1, 16, 15, 4, 100, 0, 101, 102}));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->buttonWidth, 16);
    EXPECT_EQ(parsed->buttonHeight, 15);
    EXPECT_EQ(parsed->ids, (std::vector<UINT>{100, 0, 101, 102}));
}

TEST(ParseToolBarResourceTest, RejectsDamagedData) {
    EXPECT_FALSE(tov::ParseToolBarResource(ToolBarBytes({1, 16, 15})));              // short header
    EXPECT_FALSE(tov::ParseToolBarResource(ToolBarBytes({1, 16, 15, 3, 100, 101}))); // ids cut off
    EXPECT_FALSE(tov::ParseToolBarResource(ToolBarBytes({2, 16, 15, 1, 100})));      // version
    EXPECT_FALSE(tov::ParseToolBarResource(ToolBarBytes({1, 0, 15, 1, 100})));       // no width
    EXPECT_FALSE(tov::ParseToolBarResource(ToolBarBytes({1, 16, 9000, 1, 100})));    // absurd size
    std::vector<BYTE> odd = ToolBarBytes({1, 16, 15, 1, 100});
    odd.pop_back(); // half an id
    EXPECT_FALSE(tov::ParseToolBarResource(odd));
    EXPECT_TRUE(tov::ParseToolBarResource(ToolBarBytes({1, 16, 15, 0}))); // empty is fine
}

} // namespace
