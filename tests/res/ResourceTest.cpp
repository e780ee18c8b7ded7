// The program's resources as the platform loads them: menu, strings,
// accelerator, toolbar, bitmap, icon, version information and manifest.
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/res/ResourceBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using restest::ResourceBytes;

namespace {

HINSTANCE Self() {
    return GetModuleHandleA(nullptr);
}

std::string LoadText(UINT id) {
    char buffer[512] = {};
    const int length = LoadStringA(Self(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

// One menu item as the platform reports it: separator, popup or command.
struct MenuItem {
    bool separator = false;
    std::string text;
    UINT id = 0;
    HMENU popup = nullptr;
    UINT state = 0;
};

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info)) << "item " << i;
        items.push_back(
            {(info.fType & MFT_SEPARATOR) != 0, text, info.wID, info.hSubMenu, info.fState});
    }
    return items;
}

// Tabs and line feeds as \t and \n, so that every entry stays on one line.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : std::string(1, c);
    return out;
}

// The texts and text-bearing tables the user sees, as the platform loads them,
// one line each: the menu bar (popup, then its items as "  id text" or "  -"),
// every string of the string table ("string id text"), the toolbar's buttons
// ("toolbar" then the ids, 0 a separator) and the accelerators ("accel" flags
// key command).
std::string DumpUserInterfaceTexts() {
    std::string out;
    tov::UniqueMenu menu(LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    for (const MenuItem& popup : ReadMenu(menu.get())) {
        out += "menu " + Escaped(popup.text) + "\n";
        for (const MenuItem& item : ReadMenu(popup.popup)) {
            if (item.separator) {
                out += "  -\n";
                continue;
            }
            out += "  " + std::to_string(item.id) + " " + Escaped(item.text);
            // No command is checked or grayed in the resource itself.
            const bool plain =
                item.popup == nullptr && (item.state & (MFS_CHECKED | MFS_GRAYED)) == 0;
            out += plain ? "\n" : " (not a plain command)\n";
        }
    }
    std::vector<UINT> blocks; // the string table's blocks of 16 strings
    EnumResourceNamesA(
        nullptr, RT_STRING,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
            reinterpret_cast<std::vector<UINT>*>(found)->push_back(
                static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&blocks));
    for (UINT block : blocks) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (const std::string text = LoadText(id); !text.empty())
                out += "string " + std::to_string(id) + " " + Escaped(text) + "\n";
        }
    }
    const auto toolbar = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), MAKEINTRESOURCEA(241));
    out += "toolbar";
    for (size_t offset = 0; offset + 2 <= toolbar.size(); offset += 2) {
        WORD word;
        std::memcpy(&word, toolbar.data() + offset, 2);
        out += ' ';
        out += std::to_string(word);
    }
    out += "\n";
    tov::UniqueAccel table(LoadAcceleratorsA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    std::vector<ACCEL> entries(CopyAcceleratorTableA(table.get(), nullptr, 0));
    CopyAcceleratorTableA(table.get(), entries.data(), static_cast<int>(entries.size()));
    for (const ACCEL& entry : entries)
        out += "accel " + std::to_string(entry.fVirt) + " " + std::to_string(entry.key) + " " +
               std::to_string(entry.cmd) + "\n";
    return out;
}

} // namespace

// Their exact bytes are part of the program's face, so they are compared with
// a golden file (linked into the test as a resource).
TEST(Resources, MenuStringsToolbarAndAcceleratorsMatchTheGoldenFile) {
    const auto golden = ResourceBytes("UI_TEXTS_GOLDEN", RT_RCDATA);
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(DumpUserInterfaceTexts(),
              std::string(reinterpret_cast<const char*>(golden.data()), golden.size()));
}

// Walks the loaded menu and toolbar, not a copy of them: every command
// appears once in the menu, every button is a menu command, and each has a
// prompt and a tooltip that fit the buffer the framework loads them into.
TEST(Resources, EveryMenuCommandAndToolbarButtonHasAPromptAndATooltip) {
    tov::UniqueMenu menu(LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    ASSERT_TRUE(menu);
    std::set<UINT> commands;
    for (const MenuItem& popup : ReadMenu(menu.get())) {
        for (const MenuItem& item : ReadMenu(popup.popup)) {
            if (!item.separator) {
                EXPECT_TRUE(commands.insert(item.id).second) << "command " << item.id << " twice";
            }
        }
    }
    const auto toolbar = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), MAKEINTRESOURCEA(241));
    ASSERT_GE(toolbar.size(), 8u);
    for (size_t offset = 8; offset + 2 <= toolbar.size(); offset += 2) {
        WORD id;
        std::memcpy(&id, toolbar.data() + offset, 2);
        EXPECT_TRUE(id == 0 || commands.count(id) == 1) << "button " << id << " not in the menu";
    }
    constexpr size_t kLoadBuffer = 512; // AfxLoadString's
    for (UINT id : commands) {
        const std::string text = LoadText(id);
        const size_t split = text.find('\n');
        ASSERT_NE(split, std::string::npos) << "command " << id;
        EXPECT_GT(split, 0u) << "prompt of command " << id;
        EXPECT_LT(split + 1, text.size()) << "tooltip of command " << id;
        EXPECT_EQ(text.find('\n', split + 1), std::string::npos) << "command " << id;
        EXPECT_LT(text.size() + 1, kLoadBuffer) << "command " << id;
    }
}

TEST(Resources, ToolbarBitmapHoldsFiveSixteenColourButtons) {
    const auto bytes = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), RT_BITMAP);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 5 * 16);
    EXPECT_EQ(header.biHeight, 15);
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    tov::UniqueBitmap bitmap(LoadBitmapA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    ASSERT_TRUE(bitmap);
    BITMAP info = {};
    ASSERT_EQ(GetObjectA(bitmap.get(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 80);
    EXPECT_EQ(info.bmHeight, 15);

    // The set for 144 DPI and up holds the same buttons at twice the size.
    tov::UniqueBitmap large(LoadBitmapA(Self(), MAKEINTRESOURCEA(IDB_TOOLBAR_LARGE)));
    ASSERT_TRUE(large);
    BITMAP largeInfo = {};
    ASSERT_EQ(GetObjectA(large.get(), sizeof largeInfo, &largeInfo),
              static_cast<int>(sizeof largeInfo));
    EXPECT_EQ(largeInfo.bmWidth, 2 * info.bmWidth);
    EXPECT_EQ(largeInfo.bmHeight, 2 * info.bmHeight);
}

// 16 and 32 pixels in 16 colours, and in 32-bit colour with alpha, which a
// true-colour display takes; 32-bit images for the larger scales, each
// loaded at its own size.
TEST(Resources, IconHasAnImageForEveryScale) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const auto group = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), RT_GROUP_ICON);
    WORD header[3];
    ASSERT_GE(group.size(), sizeof header);
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(header[1], 1); // icons, not cursors
    ASSERT_EQ(group.size(), 6 + header[2] * sizeof(GroupEntry));
    std::multimap<int, int> bitsBySize;
    std::map<WORD, int> bitsById;
    for (int i = 0; i < header[2]; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        const int size = entry.width == 0 ? 256 : entry.width;
        bitsBySize.emplace(size, entry.bitCount);
        bitsById[entry.id] = entry.bitCount;
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.colours, entry.bitCount == 4 ? 16 : 0) << size;
    }
    const std::multimap<int, int> expected{{16, 4},  {16, 32}, {20, 32}, {24, 32}, {32, 4},
                                           {32, 32}, {40, 32}, {48, 32}, {64, 32}, {256, 32}};
    EXPECT_EQ(bitsBySize, expected);
    for (const int size : {16, 32}) {
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, size,
                                                   size, LR_DEFAULTCOLOR);
        EXPECT_EQ(bitsById[static_cast<WORD>(id)], 32)
            << size << " pixels on a true-colour display";
    }

    for (const auto& [size, bits] : bitsBySize) {
        tov::UniqueIcon icon(static_cast<HICON>(
            LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAIN), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        tov::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap = {};
        GetObjectA(colour.get(), sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
    }
}

// The numbers and texts come from the build's one version number
// (TOVEMAR_VERSION, four numbers); the texts carry its first two.
TEST(Resources, VersionInformationFollowsTheBuildsVersion) {
    unsigned v[4] = {};
    ASSERT_EQ(std::sscanf(TOVEMAR_VERSION, "%u.%u.%u.%u", &v[0], &v[1], &v[2], &v[3]), 4);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(v[1], v[0]));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(v[3], v[2]));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(v[1], v[0]));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(v[3], v[2]));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0000);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 0x04e4);

    auto text = [&](const char* name) {
        const std::string query = std::string("\\StringFileInfo\\000004e4\\") + name;
        char* found = nullptr;
        UINT count = 0;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&found),
                            &count) ||
            found == nullptr)
            return std::string("<missing>");
        return std::string(found);
    };
    const std::string shortVersion = std::to_string(v[0]) + "." + std::to_string(v[1]);
    const std::pair<const char*, std::string> names[] = {
        {"FileVersion", shortVersion},  {"ProductVersion", shortVersion},
        {"FileDescription", "Tovemar"}, {"InternalName", "Tovemar"},
        {"ProductName", "Tovemar"},     {"OriginalFilename", "Tovemar.exe"}};
    for (const auto& [name, want] : names)
        EXPECT_EQ(text(name), want) << name;
    EXPECT_NE(text("Comments").find("Velmora"), std::string::npos);
    const std::string copyright = text("LegalCopyright");
    EXPECT_NE(copyright.find("Velmora"), std::string::npos) << copyright;
    EXPECT_NE(copyright.find("20"), std::string::npos) << copyright;
}

TEST(Resources, ManifestSelectsCommonControlsVersionSix) {
    const auto bytes = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Velmora.Tovemar\" version=\"" TOVEMAR_VERSION "\""),
              std::string::npos)
        << manifest;

    // The loader has parsed and activated it for this executable: the
    // process's activation context redirects comctl32 to version 6.
    ACTCTX_SECTION_KEYED_DATA redirect = {};
    redirect.cbSize = sizeof redirect;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &redirect));
}
