#include "framework/DockState.h"

#include "framework/ControlBar.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {
std::string SummarySection(const char* profileName) {
    return std::string(profileName) + "-Summary";
}
std::string BarSection(const char* profileName, int index) {
    return std::string(profileName) + "-Bar" + std::to_string(index);
}

bool IsFlag(int value) {
    return value == 0 || value == 1;
}
bool IsCoordinate(int value) {
    return value >= SHRT_MIN && value <= SHRT_MAX;
}
} // namespace

namespace tov {

std::optional<CControlBarInfo> BarInfoFromStored(const StoredBarValues& v) {
    if (v.barId < 1 || v.barId > 0xFFFF || !IsFlag(v.visible) || !IsFlag(v.floating) ||
        v.dockSide < 0 || !IsSingleSide(static_cast<DWORD>(v.dockSide)) || !IsCoordinate(v.x) ||
        !IsCoordinate(v.y))
        return std::nullopt;
    CControlBarInfo info;
    info.m_nBarID = static_cast<UINT>(v.barId);
    info.m_bVisible = v.visible == 1;
    info.m_bFloating = v.floating == 1;
    info.m_dwDockSide = static_cast<DWORD>(v.dockSide);
    info.m_pointPos = POINT{v.x, v.y};
    return info;
}

} // namespace tov

void CDockState::LoadState(const char* profileName) {
    Clear();
    CWinApp* app = AfxGetApp();
    if (app == nullptr || profileName == nullptr)
        return;
    const std::string summary = SummarySection(profileName);
    const int count = app->TryGetProfileInt(summary.c_str(), "Bars").value_or(-1);
    if (count < 0 || count > kMaxBars)
        return;
    for (int i = 0; i < count; ++i) {
        const std::string section = BarSection(profileName, i);
        const char* const entries[] = {"BarID", "Visible", "Floating", "DockSide", "XPos", "YPos"};
        int stored[std::size(entries)];
        bool complete = true;
        for (size_t e = 0; e < std::size(entries) && complete; ++e) {
            const std::optional<int> value = app->TryGetProfileInt(section.c_str(), entries[e]);
            complete = value.has_value();
            stored[e] = value.value_or(0);
        }
        if (!complete)
            continue;
        const std::optional<CControlBarInfo> info = tov::BarInfoFromStored(
            {stored[0], stored[1], stored[2], stored[3], stored[4], stored[5]});
        if (!info)
            continue;
        const bool repeated =
            std::any_of(m_arrBarInfo.begin(), m_arrBarInfo.end(), [&](const CControlBarInfo& seen) {
                return seen.m_nBarID == info->m_nBarID;
            });
        if (!repeated)
            m_arrBarInfo.push_back(*info);
    }
}

void CDockState::SaveState(const char* profileName) const {
    CWinApp* app = AfxGetApp();
    if (app == nullptr || profileName == nullptr)
        return;
    const int count = static_cast<int>(std::min<size_t>(m_arrBarInfo.size(), kMaxBars));
    for (int i = 0; i < count; ++i) {
        const CControlBarInfo& info = m_arrBarInfo[static_cast<size_t>(i)];
        const std::string section = BarSection(profileName, i);
        app->WriteProfileInt(section.c_str(), "BarID", static_cast<int>(info.m_nBarID));
        app->WriteProfileInt(section.c_str(), "Visible", info.m_bVisible ? 1 : 0);
        app->WriteProfileInt(section.c_str(), "Floating", info.m_bFloating ? 1 : 0);
        app->WriteProfileInt(section.c_str(), "DockSide", static_cast<int>(info.m_dwDockSide));
        // Written within the range that loading accepts.
        app->WriteProfileInt(section.c_str(), "XPos",
                             std::clamp<int>(info.m_pointPos.x, SHRT_MIN, SHRT_MAX));
        app->WriteProfileInt(section.c_str(), "YPos",
                             std::clamp<int>(info.m_pointPos.y, SHRT_MIN, SHRT_MAX));
    }
    // The count goes last, so that it never counts bars not yet written.
    app->WriteProfileInt(SummarySection(profileName).c_str(), "Bars", count);
}
