// Where and what one drive's row draws: a pure function of the row's index
// among the shown drives, the scroll position, the client width and the
// drive's record, so that layout, texts and colours are testable without a
// window.
#pragma once

#include "drives/DriveSource.h"
#include "framework/Dpi.h"
#include "view/UsageBar.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The two layout constants of the drive view, at 96 DPI, and the DPI the
// view is shown at. Every length of a row is its 96-DPI value scaled to the
// DPI on its own, so at 96 DPI the lengths are exactly the given ones.
struct RowMetrics {
    int barHeight = 28; // height of the usage bar and the grey box
    int rowPitch = 32;  // distance between row tops; height of the free-space cell
    UINT dpi = tov::kBaseDpi;

    int Scaled(int value) const { return tov::ScaleForDpi(value, dpi); }
    // The width and height of a row's icon: 32 pixels at 96 DPI, scaled.
    int IconSize() const { return Scaled(32); }
    // One line and one page of scrolling: the scaled bar height plus the
    // scaled 5-pixel gap.
    int ScrollStep() const { return Scaled(barHeight) + Scaled(5); }
};

// The bar's two colours: the used share and the label over the rest.
constexpr COLORREF kBarUsedColour = 0x00FF0000; // blue
constexpr COLORREF kBarRestColour = 0x00C0C0C0; // silver
// The used share of a nearly-full drive when such rows are marked.
constexpr COLORREF kBarNearlyFullColour = 0x000000FF; // red
// The grey boxes: light over a drive without figures, dark over one the
// update options exclude (the stock brushes' colours).
constexpr COLORREF kBoxLightColour = 0x00C0C0C0;
constexpr COLORREF kBoxDarkColour = 0x00404040;

// What the bars follow of the system's look: whether high contrast is on,
// and where its colours come from.
struct SystemLook {
    bool highContrast = false;
    DWORD(WINAPI* sysColour)(int) = &GetSysColor;
};

// The colours of the bar (and box) of a row in `state`: blue and silver with
// the grey boxes; under high contrast the theme's highlight for the used
// share, its window colours for the rest, framed in the window text colour,
// and the box in its gray text colour. A marked row's used share (and the
// label over the rest, which takes its colour) is red, except under high
// contrast, whose colours stand.
BarColours BarColoursFor(DriveState state, const SystemLook& look = {}, bool marked = false);
constexpr char kBarPercentFormat[] = "%.0f%%";
constexpr char kBarNoMediaLabel[] = "no media";
constexpr char kBarWaitingLabel[] = "waiting";
constexpr char kBarNotRespondingLabel[] = "not responding";

struct RowLayout {
    int y = 0;            // top of the row
    POINT icon{};         // top-left of the drive's icon
    int iconSize = 32;    // the icon's width and height
    POINT letterOrigin{}; // top-left of the drive letter
    std::string letter;   // the drive letter, drawn over the icon
    DriveState state = DriveState::NoMedia;
    bool hasSize = false; // state Sized: plain letter, percentage bar, free-space text
    RECT bar{};           // the usage bar; also the grey box when there is no size
    bool drawBar = false; // the bar has a positive width
    const char* barFormat = kBarNoMediaLabel;
    uint32_t barValue = 0; // the used percentage as the bar's value (of 100)
    RECT freeCell{};       // the free-space text cell (only drawn with size)
    std::string freeText;  // empty without size
};

// The row of a drive in `state`; without figures (any state but Sized) the
// bar is the grey box labelled with the state's word.
RowLayout LayoutRow(int index, int scrollPos, int clientWidth, const DriveRecord& record,
                    const RowMetrics& metrics, DriveState state);
// The same, the state read from the record alone: sized when it has a
// total, else "no media".
RowLayout LayoutRow(int index, int scrollPos, int clientWidth, const DriveRecord& record,
                    const RowMetrics& metrics = {});

// True when the rows of `before` and `after`, each in its state, paint the
// same pixels at one place: letter, bar, box, label, free-space text and
// icon. An icon is known by its index in the system's image list and by
// being there at all: each refresh hands out new handles for the same image.
bool SameRowPixels(const DriveRecord& before, DriveState beforeState, const DriveRecord& after,
                   DriveState afterState);

// The bar label of a row without figures in `state`.
const char* PlaceholderLabel(DriveState state);

// Used share in whole percent: used ÷ (total ÷ 100) for total > 100, else
// used itself (a drive of up to 100 bytes reports its byte count). A
// negative used amount counts as 0.
int64_t UsedPercent(int64_t used, int64_t total);

// total − free; 0 when a drive reports more free bytes than its size, so that
// the difference cannot wrap around into a huge percentage.
uint64_t UsedBytes(uint64_t total, uint64_t free);

// Free space with two decimals in the largest of GB, MB and KB that is at
// least 1 (KB below that, 0 included): "465.76GB".
std::string FreeSpaceText(uint64_t freeBytes);
