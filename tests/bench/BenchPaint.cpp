// Paint benchmark of the drive view (prints figures; not a test).
//
// Paints 26 shown rows in a real view window and reports the time per paint
// and per usage bar, next to a floor measured in the same run: the same rows
// drawn straight into the window with two FillRects and two clipped
// DrawTexts per bar instead of the one-bit image and its block transfer.
#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/PaintDC.h"
#include "framework/WinApp.h"
#include "tests/view/BarImage.h"
#include "tests/view/TestDrives.h"
#include "view/DriveView.h"
#include "view/RowLayout.h"
#include "view/UsageBar.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace {
using testing_drives::MakeRecord;
using testing_drives::SetClientSize;
using testing_drives::TestFrame;

constexpr int kRows = 26;
constexpr int kClientWidth = 600;
// Taller than the virtual screen would be pointless: the last rows are drawn
// and clipped, as in a scrolled view.
constexpr int kClientHeight = 700;
constexpr int kPaints = 100;
constexpr int kRounds = 7;

double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A through Z with sizes from empty to full.
DriveList BenchDrives() {
    DriveList drives;
    const uint64_t total = uint64_t{500} << 30;
    for (int i = 0; i < kRows; ++i) {
        const std::string name = std::string("Local Disk (") + static_cast<char>('A' + i) + ":)";
        drives.push_back(MakeRecord(name.c_str(), total, total / kRows * i));
        drives.back().sfi.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    }
    return drives;
}

// The floor bar: the used share and the rest as two fills, the label twice,
// each time clipped to the part whose colour it contrasts with.
void FloorBar(HDC dc, const RowLayout& row) {
    const RECT& bar = row.bar;
    const double percentage = BarPercentage(row.barValue, 100);
    const int fill = BarFillColumn(bar.right - bar.left, percentage);
    const RECT used{bar.left, bar.top, bar.left + fill + 1, bar.bottom};
    const RECT rest{used.right, bar.top, bar.right, bar.bottom};
    static const HBRUSH usedBrush = CreateSolidBrush(kBarUsedColour);
    static const HBRUSH restBrush = CreateSolidBrush(kBarRestColour);
    FillRect(dc, &used, usedBrush);
    FillRect(dc, &rest, restBrush);
    const std::string label = FormatBarLabel(row.barFormat, percentage);
    RECT textRect = bar;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, used.left, used.top, used.right, used.bottom);
    SetTextColor(dc, kBarRestColour);
    DrawTextA(dc, label.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
    SetTextColor(dc, kBarUsedColour);
    DrawTextA(dc, label.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, -1);
}

// The same rows as the view paints at its DPI, in its font, with the floor bar.
void FloorRows(HDC dc, int clientWidth, const DriveList& drives, const RowMetrics& metrics,
               HGDIOBJ font) {
    SelectObject(dc, font);
    for (int i = 0; i < static_cast<int>(drives.size()); ++i) {
        const RowLayout row = LayoutRow(i, 0, clientWidth, drives[i], metrics);
        DrawIconEx(dc, row.icon.x, row.icon.y, drives[i].sfi.hIcon, row.iconSize, row.iconSize, 0,
                   nullptr, DI_NORMAL);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, row.letterOrigin.x, row.letterOrigin.y, row.letter.c_str(), 1);
        SaveDC(dc);
        FloorBar(dc, row);
        RestoreDC(dc, -1);
        RECT cell = row.freeCell;
        DrawTextA(dc, row.freeText.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// A drive view whose paint draws the floor rows, so that both are measured
// through the same invalidate, erase and paint cycle.
class CFloorView : public CDriveView {
public:
    using CDriveView::CDriveView;
    DECLARE_MESSAGE_MAP()
    const DriveList* drives = nullptr;
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);

    void OnPaint() {
        CPaintDC dc(this);
        FloorRows(dc.m_hDC, GetClientRect().right, *drives, Metrics(), font);
    }
};
DEFINE_MESSAGE_MAP(CFloorView, CDriveView, OnWmPaint<&CFloorView::OnPaint>());

// Milliseconds per call of `work` and of `floor`: the best of several rounds
// of `count` calls each. Rounds alternate between the two so that both meet
// the same load from other processes sharing the machine.
template <typename Work, typename Floor>
std::pair<double, double> Measure(int count, Work work, Floor floor) {
    const auto round = [count](auto&& what) {
        GdiFlush();
        const double start = NowMs();
        for (int i = 0; i < count; ++i)
            what();
        GdiFlush();
        return (NowMs() - start) / count;
    };
    work(); // warm-up
    floor();
    double bestWork = 1e300, bestFloor = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        bestWork = std::min(bestWork, round(work));
        bestFloor = std::min(bestFloor, round(floor));
    }
    return {bestWork, bestFloor};
}

// A view of the frame's drives whose client area is kClientWidth × kClientHeight.
bool CreateView(CDriveView& view, TestFrame& frame) {
    if (!view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, &frame,
                     AFX_IDW_PANE_FIRST))
        return false;
    // The rows overflow the view, which shows its scroll bar: widen the view
    // so that the client area keeps its width.
    SetClientSize(view.m_hWnd, kClientWidth + GetSystemMetrics(SM_CXVSCROLL), kClientHeight);
    return view.GetClientRect().right == kClientWidth;
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}
} // namespace

int main() {
    TestFrame frame;
    if (!frame.CreatePopup(kClientWidth + 60, kClientHeight + 40))
        return 1;
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    frame.drives = BenchDrives();

    CDriveView view{&frame};
    if (!CreateView(view, frame))
        return 1;
    {
        Repaint(view.m_hWnd);
        tov::WindowDC dc(view.m_hWnd);
        const RowMetrics metrics = view.Metrics();
        const COLORREF fullBar =
            GetPixel(dc.get(), metrics.Scaled(44) + 100, metrics.Scaled(5) + metrics.Scaled(1));
        if (fullBar != RGB(0, 0, 255)) {
            std::printf("the view did not paint (pixel %06lx)\n", fullBar);
            return 1;
        }
    }
    // On top of the view, in the same place.
    CFloorView floorView{&frame};
    floorView.drives = &frame.drives;
    const RowMetrics metrics = view.Metrics();
    const tov::UniqueFont dpiFont(tov::CreateStockFontForDpi(SYSTEM_FONT, metrics.dpi));
    if (dpiFont)
        floorView.font = dpiFont.get();
    if (!CreateView(floorView, frame))
        return 1;
    const auto [paint, floorPaint] = Measure(
        kPaints, [&] { Repaint(view.m_hWnd); }, [&] { Repaint(floorView.m_hWnd); });

    // Bars alone, one per row, into a window context.
    tov::WindowDC dc(frame.m_hWnd);
    SetTextColor(dc.get(), kBarUsedColour);
    SetBkColor(dc.get(), kBarRestColour);
    const HGDIOBJ font = floorView.font;
    SelectObject(dc.get(), font);
    const auto eachBar = [&](auto draw) {
        for (int i = 0; i < kRows; ++i)
            draw(LayoutRow(i, 0, kClientWidth, frame.drives[i], metrics));
    };
    const auto [bars, floorBars] = Measure(
        kPaints,
        [&] {
            eachBar([&](const RowLayout& row) {
                DrawUsageBar(dc.get(), font, row.bar.left, row.bar.top,
                             row.bar.right - row.bar.left, row.bar.bottom - row.bar.top,
                             row.barValue, 100, row.barFormat);
            });
        },
        [&] {
            eachBar([&](const RowLayout& row) {
                SaveDC(dc.get());
                FloorBar(dc.get(), row);
                RestoreDC(dc.get(), -1);
            });
        });
    const double bar = bars / kRows, floorBar = floorBars / kRows;

    std::printf("drive view paint: %d rows in a %dx%d view at %u DPI, best of %d rounds of %d\n",
                kRows, kClientWidth, kClientHeight, metrics.dpi, kRounds, kPaints);
    std::printf("  paint: %8.3f ms   floor %8.3f ms   ratio %.2fx\n", paint, floorPaint,
                paint / floorPaint);
    std::printf("  bar:   %8.1f us   floor %8.1f us   ratio %.2fx\n", bar * 1000.0,
                floorBar * 1000.0, bar / floorBar);
    return 0;
}
