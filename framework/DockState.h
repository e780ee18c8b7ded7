// CDockState: the layout of a frame's control bars (shown or hidden, docked
// side or floating position), kept in the application profile under a
// profile name.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

// One bar's state.
struct CControlBarInfo {
    UINT m_nBarID = 0;
    bool m_bVisible = true;
    bool m_bFloating = false;
    DWORD m_dwDockSide = 0x2000; // CBRS_ALIGN_*: where it is or was last docked
    POINT m_pointPos{};          // floating window's top-left, screen coordinates
};

class CDockState {
public:
    std::vector<CControlBarInfo> m_arrBarInfo;

    // Replaces the state with the one stored under `profileName`. Bars whose
    // stored entries are missing, out of range or repeated are left out, so
    // they keep the layout they were created with; nothing stored: empty.
    void LoadState(const char* profileName);
    // Stores the state under `profileName` in the application profile.
    void SaveState(const char* profileName) const;
    void Clear() { m_arrBarInfo.clear(); }

    static constexpr int kMaxBars = 64;
};

namespace tov {

// The raw profile values of one bar, as read: any of them may be garbage.
struct StoredBarValues {
    int barId, visible, floating, dockSide, x, y;
};

// The bar's state when every value is in range; nothing otherwise.
std::optional<CControlBarInfo> BarInfoFromStored(const StoredBarValues& values);

} // namespace tov
