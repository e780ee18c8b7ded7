// The drive view as a screen reader finds it through the platform: an
// accessible list of the shown rows, the reorder event, and an object that
// outlives its window without reaching it.
#include "framework/Accessibility.h"
#include "framework/WinApp.h"
#include "tests/view/TestDrives.h"
#include "view/DriveView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using testing_drives::MakeRecord;
using testing_drives::SetClientSize;
using testing_drives::TestFrame;

VARIANT Child(LONG id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Take(BSTR text) {
    std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"<null>";
    SysFreeString(text);
    return result;
}

class AccessibleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override {
        ASSERT_TRUE(frame.CreatePopup(700, 400, true));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, &frame,
                                AFX_IDW_PANE_FIRST));
        frame.drives = {MakeRecord("Local Disk (C:)", 1000, 250),
                        MakeRecord("Hidden (D:)", 1000, 250, false), MakeRecord("Stick (E:)", 0, 0),
                        MakeRecord("Floppy (A:)", 0, 0)};
        frame.excluded = {"A:"};
        SetClientSize(view.m_hWnd, 600, 50); // row 2 lies below the client area
        view.UpdateScrollBars();
    }
    IAccessible* Open() {
        void* object = nullptr;
        EXPECT_EQ(
            AccessibleObjectFromWindow(view.m_hWnd, OBJID_CLIENT, tov::kIID_IAccessible, &object),
            S_OK);
        return static_cast<IAccessible*>(object);
    }
    static std::wstring Name(IAccessible* a, LONG id) {
        BSTR text = nullptr;
        return SUCCEEDED(a->get_accName(Child(id), &text)) ? Take(text) : L"<failed>";
    }
    static std::wstring Value(IAccessible* a, LONG id) {
        BSTR text = nullptr;
        return SUCCEEDED(a->get_accValue(Child(id), &text)) ? Take(text) : L"<failed>";
    }
    static LONG Number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* a, LONG id) {
        VARIANT out{};
        return SUCCEEDED((a->*get)(Child(id), &out)) && out.vt == VT_I4 ? out.lVal : -1;
    }

    TestFrame frame;
    CDriveView view{&frame};
};

// One list item per shown row, in order, named by the drive and valued by
// what the row shows; the light and the dark box read differently.
TEST_F(AccessibleTest, TheViewIsAListOfItsShownRows) {
    IAccessible* list = Open();
    ASSERT_NE(list, nullptr);
    LONG count = 0;
    ASSERT_EQ(list->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Number(&IAccessible::get_accRole, list, CHILDID_SELF), ROLE_SYSTEM_LIST);
    EXPECT_EQ(Number(&IAccessible::get_accRole, list, 1), ROLE_SYSTEM_LISTITEM);
    const std::vector<std::pair<std::wstring, std::wstring>> rows = {
        {L"Local Disk (C:)", L"75% used, 0.24KB free"},
        {L"Stick (E:)", L"no media"},
        {L"Floppy (A:)", L"no media, not queried"},
    };
    for (LONG id = 1; id <= 3; ++id) {
        EXPECT_EQ(Name(list, id), rows[static_cast<size_t>(id - 1)].first) << id;
        EXPECT_EQ(Value(list, id), rows[static_cast<size_t>(id - 1)].second) << id;
    }
    BSTR none = nullptr;
    EXPECT_EQ(list->get_accName(Child(4), &none), E_INVALIDARG);

    // Row 1 on the screen, where a click would land; row 2 scrolled out of view.
    POINT origin{0, 0};
    ClientToScreen(view.m_hWnd, &origin);
    LONG x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_EQ(list->accLocation(&x, &y, &cx, &cy, Child(2)), S_OK);
    EXPECT_EQ(y, origin.y + 37);
    EXPECT_EQ(cy, 32);
    EXPECT_EQ(cx, view.GetClientRect().right); // the client width, less the scroll bar
    VARIANT hit{};
    ASSERT_EQ(list->accHitTest(origin.x + 10, origin.y + 40, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 2);
    EXPECT_EQ(Number(&IAccessible::get_accState, list, 2) & STATE_SYSTEM_OFFSCREEN, 0);
    EXPECT_EQ(Number(&IAccessible::get_accState, list, 3) &
                  (STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE),
              STATE_SYSTEM_OFFSCREEN);
    VARIANT next{};
    ASSERT_EQ(list->accNavigate(NAVDIR_NEXT, Child(2), &next), S_OK);
    EXPECT_EQ(next.lVal, 3);
    EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, Child(3), &next), S_FALSE);
    list->Release();
}

// Rows without figures say why; the list is busy while answers are out.
TEST_F(AccessibleTest, WaitingAndNotRespondingRowsAndABusyList) {
    IAccessible* list = Open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Number(&IAccessible::get_accState, list, CHILDID_SELF) & STATE_SYSTEM_BUSY, 0);
    frame.states = {{"C", DriveState::NotResponding}, {"E", DriveState::Waiting}};
    frame.busy = true;
    EXPECT_EQ(Value(list, 1), L"not responding");
    EXPECT_EQ(Value(list, 2), L"waiting");
    EXPECT_EQ(Value(list, 3), L"no media, not queried");
    EXPECT_EQ(Number(&IAccessible::get_accState, list, CHILDID_SELF) & STATE_SYSTEM_BUSY,
              STATE_SYSTEM_BUSY);
    list->Release();
}

// Row changes raise the reorder event; a client's object outlives the
// window and then answers "disconnected" instead of reading a dead view.
TEST_F(AccessibleTest, RowChangesAreAnnouncedAndTheObjectOutlivesTheWindow) {
    static std::vector<std::pair<HWND, LONG>> events;
    events.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_REORDER, EVENT_OBJECT_REORDER, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
            events.emplace_back(window, object);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    view.RowsChanged();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    EXPECT_EQ(events, (std::vector<std::pair<HWND, LONG>>{{view.m_hWnd, OBJID_CLIENT}}));

    IAccessible* list = Open();
    ASSERT_NE(list, nullptr);
    frame.drives[1].bShown = 1; // the child count follows the records
    LONG count = 0;
    EXPECT_EQ(list->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    view.DestroyWindow();
    EXPECT_EQ(list->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(Name(list, 1), L"<failed>");
    list->Release();
}
// The list is named; each row is focusable and describes its drive in the
// tooltip's words; with the keyboard focus in the view the focus row is the
// focused item, and moving it raises the focus event for its child id.
TEST_F(AccessibleTest, TheFocusRowIsTheFocusedItemAndRowsDescribeTheirDrive) {
    IAccessible* list = Open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Name(list, CHILDID_SELF), L"Drives");
    BSTR text = nullptr;
    ASSERT_EQ(list->get_accDescription(Child(2), &text), S_OK);
    EXPECT_EQ(Take(text), L"Stick (E:)\n\nno media");

    static std::vector<LONG> focused;
    focused.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT && child != CHILDID_SELF) // the platform's for the window
                focused.push_back(child);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    // Focus reaching a row speaks its figures; the name stays the drive's.
    static std::vector<std::wstring> spoken;
    spoken.clear();
    view.SetAnnouncer([](HWND, std::wstring_view said) { spoken.emplace_back(said); });
    SetFocus(view.m_hWnd);
    view.SendMessage(WM_KEYDOWN, VK_END, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    EXPECT_EQ(focused, (std::vector<LONG>{1, 3}));
    const std::vector<AccessibleRow> rows = view.CurrentAccessibleRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(spoken, (std::vector<std::wstring>{rows[0].value, rows[2].value}));

    VARIANT focus{};
    ASSERT_EQ(list->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, 3);
    EXPECT_EQ(Number(&IAccessible::get_accState, list, 1) & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(Number(&IAccessible::get_accState, list, 3) &
                  (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE),
              STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE);
    list->Release();
}
} // namespace
