// Text in the system's ANSI code page (resource strings, the program's own
// texts) turned into UTF-16, the form the platform keeps every text in.
#pragma once

#include <string>
#include <string_view>

namespace tov {

// `ansi` in UTF-16, as the platform's ANSI entry points would convert it.
std::wstring Widen(std::string_view ansi);

} // namespace tov
