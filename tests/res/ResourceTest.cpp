// The program's resources as the platform loads them: menu, strings,
// accelerator, toolbar, bitmap, icon, version information and manifest.
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/res/ResourceBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

struct Expected {
    const char* text; // null: separator
    UINT id;
};

struct ExpectedPopup {
    const char* text;
    std::vector<Expected> items;
};

const std::vector<ExpectedPopup> kMenuBar = {
    {"&File", {{"E&xit", ID_APP_EXIT}}},
    {"&Edit", {{"&Refresh\tF5", ID_DRIVES_REFRESH}}},
    {"&View",
     {{"&Toolbar", ID_VIEW_TOOLBAR},
      {"&Status Bar", ID_VIEW_STATUS_BAR},
      {nullptr, 0},
      {"&Drives ...", ID_VIEW_DRIVES},
      {nullptr, 0},
      {"Update &Floppy Drives", ID_VIEW_UPDATE_FLOPPIES},
      {"Update &Removable Drives", ID_VIEW_UPDATE_REMOVABLES}}},
    {"&Help", {{"&Contents", ID_HELP_CONTENTS}, {nullptr, 0}, {"&About Tovemar", ID_APP_ABOUT}}},
};

// The toolbar resource: version, button size, count, then the buttons.
const WORD kToolbar[] = {1,
                         16,
                         15,
                         8,
                         ID_DRIVES_REFRESH,
                         0,
                         ID_VIEW_UPDATE_FLOPPIES,
                         ID_VIEW_UPDATE_REMOVABLES,
                         0,
                         ID_VIEW_DRIVES,
                         0,
                         ID_APP_ABOUT};

} // namespace

TEST(Resources, MenuBarHasThePopupsItemsAndSeparatorsInOrder) {
    tov::UniqueMenu menu(LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    ASSERT_TRUE(menu);
    const std::vector<MenuItem> bar = ReadMenu(menu.get());
    ASSERT_EQ(bar.size(), kMenuBar.size());
    for (size_t p = 0; p < bar.size(); ++p) {
        SCOPED_TRACE(kMenuBar[p].text);
        EXPECT_EQ(bar[p].text, kMenuBar[p].text);
        ASSERT_NE(bar[p].popup, nullptr);
        const std::vector<MenuItem> items = ReadMenu(bar[p].popup);
        ASSERT_EQ(items.size(), kMenuBar[p].items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const Expected& want = kMenuBar[p].items[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(items[i].separator, want.text == nullptr);
            EXPECT_EQ(items[i].popup, nullptr);
            if (want.text != nullptr) {
                // No command is checked or grayed in the resource itself.
                EXPECT_EQ(items[i].state & (MFS_CHECKED | MFS_GRAYED), 0u);
                EXPECT_EQ(items[i].text, want.text);
                EXPECT_EQ(items[i].id, want.id);
            }
        }
    }
}

TEST(Resources, StringsHoldTitlesPromptsAndTooltipsExactly) {
    const std::pair<UINT, const char*> strings[] = {
        {IDR_MAIN, "Tovemar"},
        {AFX_IDS_APP_TITLE, "Tovemar"},
        {AFX_IDS_IDLEMESSAGE, "Ready"},
        {ID_DRIVES_REFRESH, "Updates the current drive statistics\nUpdate"},
        {ID_VIEW_DRIVES, "Determine which drives to display...\nSelect drives"},
        {ID_VIEW_UPDATE_FLOPPIES,
         "Updates the current drive statistics\nUpdate floppy disk drives on/off"},
        {ID_VIEW_UPDATE_REMOVABLES,
         "Updates the current drive statistics\nUpdate removeable drives on/off"},
        {ID_HELP_CONTENTS, "Displays help\nHelp"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {61184, "Change the window size"},
        {61185, "Change the window position"},
        {61186, "Reduce the window to an icon"},
        {61187, "Enlarge the window to full size"},
        {61188, "Switch to the next document window"},
        {61189, "Switch to the previous document window"},
        {61190, "Close the active window and prompts to save the documents"},
        {61202, "Restore the window to normal size"},
        {61203, "Activate Task List"},
    };
    for (const auto& [id, text] : strings)
        EXPECT_EQ(LoadText(id), text) << "string " << id;
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

TEST(Resources, AcceleratorTableIsF5ForRefreshAndF1ForHelp) {
    tov::UniqueAccel table(LoadAcceleratorsA(Self(), MAKEINTRESOURCEA(IDR_MAIN)));
    ASSERT_TRUE(table);
    ASSERT_EQ(CopyAcceleratorTableA(table.get(), nullptr, 0), 2);
    ACCEL entries[2] = {};
    ASSERT_EQ(CopyAcceleratorTableA(table.get(), entries, 2), 2);
    const std::pair<WORD, WORD> keys[] = {{VK_F5, ID_DRIVES_REFRESH}, {VK_F1, ID_HELP_CONTENTS}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].fVirt, FVIRTKEY | FNOINVERT) << i;
        EXPECT_EQ(entries[i].key, keys[i].first) << i;
        EXPECT_EQ(entries[i].cmd, keys[i].second) << i;
    }
}

TEST(Resources, ToolbarResourceListsTheButtonsWithSeparators) {
    const auto bytes = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), MAKEINTRESOURCEA(241));
    ASSERT_EQ(bytes.size(), sizeof kToolbar);
    EXPECT_EQ(std::memcmp(bytes.data(), kToolbar, sizeof kToolbar), 0);
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
}

TEST(Resources, IconHasSixteenColourImagesOfBothSizes) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const auto group = ResourceBytes(MAKEINTRESOURCEA(IDR_MAIN), RT_GROUP_ICON);
    ASSERT_EQ(group.size(), 6 + 2 * sizeof(GroupEntry));
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(header[1], 1); // icons, not cursors
    ASSERT_EQ(header[2], 2);
    std::set<int> sizes;
    for (int i = 0; i < 2; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        sizes.insert(entry.width);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.colours, 16);
        EXPECT_EQ(entry.bitCount, 4);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));

    for (int size : {32, 16}) {
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
