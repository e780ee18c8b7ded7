// The two dialog templates, read from their DLGTEMPLATE bytes, and created
// for real to see that the platform accepts them.
#include "framework/Handle.h"
#include "res/resource.h"
#include "tests/res/ResourceBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using restest::Narrow;
using restest::ResourceBytes;

namespace {

// A name or an ordinal in a template: ordinal != 0 means the ordinal form.
struct NameOrOrdinal {
    WORD ordinal = 0;
    std::string text;
};

// A rectangle in dialog units: position and size.
struct Box {
    short x, y, cx, cy;
};

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    Box box{};
    WORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    Box box{};
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    WORD pointSize = 0;
    std::string font;
    std::vector<DialogItem> items;
};

// Reads a template front to back; any read beyond its end marks it broken.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    bool Broken() const { return m_broken; }

    template <typename T> T Get() {
        T value{};
        if (m_pos + sizeof(T) > m_bytes.size()) {
            m_broken = true;
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    std::string String(char16_t first) {
        std::u16string text;
        for (char16_t c = first; c != 0 && !m_broken; c = Get<char16_t>())
            text += c;
        return Narrow(text);
    }
    std::string String() { return String(Get<char16_t>()); }

    NameOrOrdinal NameOrOrd() {
        const WORD first = Get<WORD>();
        if (first == 0xFFFF)
            return {Get<WORD>(), {}};
        if (first == 0)
            return {};
        return {0, String(static_cast<char16_t>(first))};
    }

    // Items start on DWORD boundaries (resource data itself is DWORD-aligned).
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t{3}; }

private:
    std::span<const BYTE> m_bytes;
    size_t m_pos = 0;
    bool m_broken = false;
};

// Parses a classic DLGTEMPLATE with its DLGITEMTEMPLATEs; `ok` is false for
// an extended or truncated template.
DialogTemplate ParseDialog(std::span<const BYTE> bytes, bool& ok) {
    DialogTemplate dialog;
    TemplateReader in(bytes);
    dialog.style = in.Get<DWORD>();
    if (HIWORD(dialog.style) == 0xFFFF) { // DLGTEMPLATEEX signature
        ok = false;
        return dialog;
    }
    dialog.exStyle = in.Get<DWORD>();
    const WORD count = in.Get<WORD>();
    dialog.box = in.Get<Box>();
    dialog.menu = in.NameOrOrd();
    dialog.windowClass = in.NameOrOrd();
    dialog.title = in.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Get<WORD>();
        dialog.font = in.String();
    }
    for (WORD i = 0; i < count && !in.Broken(); ++i) {
        in.AlignDword();
        DialogItem item;
        item.style = in.Get<DWORD>();
        item.exStyle = in.Get<DWORD>();
        item.box = in.Get<Box>();
        item.id = in.Get<WORD>();
        item.windowClass = in.NameOrOrd();
        item.text = in.NameOrOrd();
        const WORD extra = in.Get<WORD>();
        for (WORD b = 0; b < extra; ++b)
            in.Get<BYTE>();
        dialog.items.push_back(item);
    }
    ok = !in.Broken();
    return dialog;
}

DialogTemplate LoadDialog(UINT id, bool& ok) {
    const auto bytes = ResourceBytes(MAKEINTRESOURCEA(id), RT_DIALOG);
    ok = !bytes.empty();
    return ok ? ParseDialog(bytes, ok) : DialogTemplate{};
}

constexpr WORD kButton = 0x0080, kStatic = 0x0082, kListBox = 0x0083;
constexpr WORD kNoId = 0xFFFF;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
// Plain inert text: never focused, never reports clicks.
constexpr DWORD kInert = WS_TABSTOP | SS_NOTIFY | WS_DISABLED;

struct ExpectedItem {
    WORD id;
    WORD classAtom;
    const char* text;     // exact text, or null
    const char* contains; // with text null: a part the text must contain
    DWORD typeMask, type; // style & typeMask == type
    DWORD required;       // style bits that must be set
    DWORD forbidden;      // style bits that must be clear
};

bool Inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}
bool Overlap(const Box& a, const Box& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

// The layout holds together: every control has a size and lies inside the
// dialog's client area with a margin, and two controls overlap only where
// one frames the other.
void ExpectSoundLayout(const DialogTemplate& dialog) {
    const Box client{7, 7, static_cast<short>(dialog.box.cx - 14),
                     static_cast<short>(dialog.box.cy - 14)};
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const Box& box = dialog.items[i].box;
        EXPECT_GT(box.cx, 0) << "control " << i;
        EXPECT_GT(box.cy, 0) << "control " << i;
        EXPECT_TRUE(Inside(box, client)) << "control " << i << " leaves the margin";
        for (size_t j = 0; j < i; ++j) {
            const Box& other = dialog.items[j].box;
            EXPECT_TRUE(!Overlap(box, other) || Inside(box, other) || Inside(other, box))
                << "controls " << j << " and " << i << " overlap";
        }
    }
}

void ExpectDialog(UINT id, const char* caption, const std::vector<ExpectedItem>& expected) {
    bool ok = false;
    const DialogTemplate dialog = LoadDialog(id, ok);
    ASSERT_TRUE(ok) << "template " << id << " missing, extended or truncated";
    EXPECT_EQ(dialog.style, kDialogStyle);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.box.x, 0);
    EXPECT_EQ(dialog.box.y, 0);
    EXPECT_EQ(dialog.title, caption);
    EXPECT_EQ(dialog.menu.ordinal, 0);
    EXPECT_EQ(dialog.menu.text, "");
    EXPECT_EQ(dialog.windowClass.ordinal, 0);
    EXPECT_EQ(dialog.windowClass.text, "");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "MS Shell Dlg");

    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.windowClass.ordinal, want.classAtom);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.style & want.typeMask, want.type) << std::hex << item.style;
        EXPECT_EQ(item.style & (kShown | want.required), kShown | want.required)
            << std::hex << item.style;
        EXPECT_EQ(item.style & want.forbidden, 0u) << std::hex << item.style;
        if (want.text != nullptr) {
            EXPECT_EQ(item.text.text, want.text);
        } else if (want.contains != nullptr) {
            EXPECT_NE(item.text.text.find(want.contains), std::string::npos) << item.text.text;
        }
    }
    ExpectSoundLayout(dialog);
}

INT_PTR CALLBACK AcceptingProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A template's dialog created modeless, destroyed when the holder goes away.
tov::UniqueHandle<HWND, DestroyWindow> LiveDialog(UINT id) {
    return tov::UniqueHandle<HWND, DestroyWindow>(CreateDialogParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, AcceptingProc, 0));
}

} // namespace

TEST(DialogTemplates, DriveSelectionHasOkCancelAndAToggleSelectionList) {
    const DWORD listStyle =
        WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT;
    const DWORD listForbidden =
        LBS_SORT | LBS_EXTENDEDSEL | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | WS_DISABLED;
    ExpectDialog(
        IDD_DRIVE_SELECT, "View Drives",
        {
            {IDOK, kButton, "OK", nullptr, BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP, WS_DISABLED},
            {IDCANCEL, kButton, "Cancel", nullptr, BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP,
             WS_DISABLED},
            {IDC_DRIVE_LIST, kListBox, "", nullptr, 0, 0, listStyle, listForbidden},
        });
}

TEST(DialogTemplates, AboutBoxHasIconVersionOkAndInertTextLines) {
    ExpectDialog(
        IDD_ABOUT, "About Tovemar",
        {
            {kNoId, kStatic, nullptr, nullptr, SS_TYPEMASK, SS_ICON, 0, kInert},
            {IDOK, kButton, "OK", nullptr, BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP, WS_DISABLED},
            {kNoId, kStatic, "Version " TOVEMAR_VERSION_SHORT, nullptr, SS_TYPEMASK, SS_LEFT, 0,
             kInert},
            {kNoId, kStatic, nullptr, "Velmora", SS_TYPEMASK, SS_CENTER, 0, kInert},
            {kNoId, kStatic, "", nullptr, SS_TYPEMASK, SS_BLACKFRAME, 0, kInert},
            {kNoId, kStatic, nullptr, "Tovemar", SS_TYPEMASK, SS_LEFT, 0, kInert},
            {kNoId, kStatic, nullptr, "mailto:", SS_TYPEMASK, SS_LEFT, 0, kInert},
            {kNoId, kStatic, nullptr, "velmora.example", SS_TYPEMASK, SS_LEFT, 0, kInert},
        });

    bool ok = false;
    const DialogTemplate about = LoadDialog(IDD_ABOUT, ok);
    ASSERT_TRUE(ok);
    // The icon control shows the program's own icon.
    EXPECT_EQ(about.items[0].text.ordinal, IDR_MAIN);
    EXPECT_NE(about.items[6].text.text.find("@velmora.example"), std::string::npos);
    // The copyright line carries years.
    const std::string& copyright = about.items[3].text.text;
    EXPECT_NE(copyright.find_first_of("0123456789"), std::string::npos) << copyright;
}

TEST(DialogTemplates, BothTemplatesCreateFixedSizeDialogsWithWorkingControls) {
    {
        const auto dialog = LiveDialog(IDD_DRIVE_SELECT);
        ASSERT_NE(dialog.get(), nullptr);
        EXPECT_EQ(GetWindowLongA(dialog.get(), GWL_STYLE) & WS_THICKFRAME, 0);
        HWND list = GetDlgItem(dialog.get(), IDC_DRIVE_LIST);
        ASSERT_NE(list, nullptr);
        for (const char* name : {"Local Disk (C:)", "DATA (D:)", " (E:)"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        // Entries keep the order they were added in, and selecting one leaves
        // the others as they are.
        char text[64] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Local Disk (C:)");
        SendMessageA(list, LB_SETSEL, TRUE, 0);
        SendMessageA(list, LB_SETSEL, TRUE, 2);
        EXPECT_GT(SendMessageA(list, LB_GETSEL, 0, 0), 0);
        EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 0);
        EXPECT_GT(SendMessageA(list, LB_GETSEL, 2, 0), 0);
    }
    {
        const auto dialog = LiveDialog(IDD_ABOUT);
        ASSERT_NE(dialog.get(), nullptr);
        EXPECT_EQ(GetWindowLongA(dialog.get(), GWL_STYLE) & WS_THICKFRAME, 0);
        HWND icon = nullptr;
        for (HWND child = GetWindow(dialog.get(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = child;
        ASSERT_NE(icon, nullptr);
        EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
    }
}
