#include "framework/CommandText.h"

#include "framework/WinApp.h"

namespace tov {

std::string PromptOf(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

std::string TipOf(std::string_view text) {
    const size_t feed = text.find('\n');
    return feed == std::string_view::npos ? std::string() : std::string(text.substr(feed + 1));
}

UINT MenuPromptId(UINT item, UINT flags, HMENU menu) {
    constexpr UINT kSysPromptBase = 61184;
    if (menu == nullptr || flags == 0xFFFF || (flags & (MF_POPUP | MF_SEPARATOR)) != 0)
        return 0;
    if ((flags & MF_SYSMENU) != 0) {
        // Only the system commands with a prompt of their own; the low four
        // bits of a system command are used by the system and carry no meaning.
        if (item < SC_SIZE || item > SC_TASKLIST)
            return 0;
        return kSysPromptBase + (item - SC_SIZE) / 16;
    }
    return item;
}

std::string IdleMessage() {
    std::string text = AfxLoadString(AFX_IDS_IDLEMESSAGE);
    return text.empty() ? "Ready" : text;
}

} // namespace tov
