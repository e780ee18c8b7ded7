// The executable's load configuration. Its one setting that matters here,
// DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32, makes Windows 10 1607
// and later resolve the program's own imports from the system directory
// only: a copy started from a downloads folder never picks up a library
// planted beside it before WinMain can restrict the search. Older systems
// ignore the field. The linker does not point the image's data directory at
// this structure; cmake/set_load_config.py does that after the link.
#include <windows.h>

#include <cstddef>

namespace {
// IMAGE_LOAD_CONFIG_DIRECTORY64 up to its SEHandlerCount: the 16-bit field
// after CSDVersion, which older headers call Reserved1, is
// DependentLoadFlags.
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 0x4E);
static_assert(sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64) == 0x70);

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 LoadConfiguration() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return config;
}
} // namespace

// The name linkers and the loader's tools look for; kept through
// --gc-sections by the executable's link options. Constant-initialized: the
// loader reads it before any code of the program runs.
extern "C" {
extern const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used;
[[gnu::used]] constinit const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = LoadConfiguration();
}
