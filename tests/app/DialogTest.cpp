// CDialog and DDX_Control with real dialog windows under the test's own
// templates: ownership, centring, the ways a dialog ends, control binding.
#include "DialogTestResource.h"
#include "ModalScript.h"
#include "framework/Dialog.h"
#include "framework/ListBox.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using tovtest::ModalScript;
using Steps = std::vector<ModalScript::Step>;

CWinApp theApp("DialogTest");

constexpr UINT WM_TEST_PING = WM_APP + 7;

class TestDialog : public CDialog {
public:
    explicit TestDialog(UINT id = IDD_TEST_PLAIN, CWnd* parent = nullptr) : CDialog(id, parent) {}

    DECLARE_MESSAGE_MAP()

    BOOL OnInitDialog() override {
        ++initCalls;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override {
        exchanges.push_back(dx->m_bSaveAndValidate);
        DDX_Control(dx, IDC_TEST_LIST, m_list);
    }
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        pings += static_cast<int>(wParam);
        return 0x1234;
    }

    CListBox m_list;
    int initCalls = 0, okCalls = 0, cancelCalls = 0, pings = 0;
    std::vector<BOOL> exchanges;
};

DEFINE_MESSAGE_MAP(TestDialog, CDialog, OnMessage<WM_TEST_PING, &TestDialog::OnPing>());

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.CreateEx(0, nullptr, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40,
                                   600, 420, nullptr, nullptr));
        theApp.m_pMainWnd = &owner;
    }
    void TearDown() override { theApp.m_pMainWnd = nullptr; }

    // Runs dialog.DoModal() under the script; returns its result.
    INT_PTR RunModal(CDialog& dialog, Steps steps) {
        ModalScript script(std::move(steps));
        INT_PTR result = 0;
        script.Run([&] { result = dialog.DoModal(); });
        EXPECT_FALSE(script.timedOut);
        return result;
    }

    CWnd owner;
};

TEST_F(DialogTest, MainWindowOwnsItIsDisabledMeanwhileAndTheDialogIsCentredOverIt) {
    TestDialog dialog;
    BOOL ownerEnabled = TRUE;
    HWND ownerOfDialog = nullptr;
    RECT dialogRect{};
    const INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                        ownerEnabled = IsWindowEnabled(owner.m_hWnd);
                                        ownerOfDialog = GetWindow(d, GW_OWNER);
                                        dialogRect = WindowRect(d);
                                        EndDialog(d, 42);
                                    }});
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(ownerOfDialog, owner.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    const POINT want = Centre(WindowRect(owner.m_hWnd)), got = Centre(dialogRect);
    EXPECT_NEAR(got.x, want.x, 1);
    EXPECT_NEAR(got.y, want.y, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(DialogTest, AnExplicitParentOwnsItInsteadOfTheMainWindow) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 250,
                                300, 300, nullptr, nullptr));
    TestDialog dialog(IDD_TEST_PLAIN, &parent);
    HWND ownerOfDialog = nullptr;
    BOOL mainEnabled = FALSE;
    RunModal(dialog, {[&](HWND d) {
                 ownerOfDialog = GetWindow(d, GW_OWNER);
                 mainEnabled = IsWindowEnabled(owner.m_hWnd);
                 EndDialog(d, IDOK);
             }});
    EXPECT_EQ(ownerOfDialog, parent.m_hWnd);
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(parent.m_hWnd));
}

TEST_F(DialogTest, APositioningStyleInTheTemplateIsLeftToThePlatform) {
    // A small owner in the corner: centring over it would put the dialog
    // near the corner, DS_CENTER puts it in the middle of the work area.
    SetWindowPos(owner.m_hWnd, nullptr, 0, 0, 120, 90, SWP_NOZORDER);
    TestDialog centred(IDD_TEST_CENTER);
    EXPECT_FALSE(centred.CheckAutoCenter());
    EXPECT_TRUE(TestDialog(IDD_TEST_PLAIN).CheckAutoCenter());
    EXPECT_TRUE(TestDialog(IDD_TEST_OK_ONLY).CheckAutoCenter());
    RECT dialogRect{};
    RunModal(centred, {[&](HWND d) {
                 dialogRect = WindowRect(d);
                 EndDialog(d, IDOK);
             }});
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(Centre(dialogRect).x, Centre(work).x, 2);
}

TEST_F(DialogTest, WithoutAnyOwnerItIsCentredOnTheWorkArea) {
    theApp.m_pMainWnd = nullptr;
    TestDialog dialog;
    HWND ownerOfDialog = owner.m_hWnd;
    RECT dialogRect{};
    RunModal(dialog, {[&](HWND d) {
                 ownerOfDialog = GetWindow(d, GW_OWNER);
                 dialogRect = WindowRect(d);
                 EndDialog(d, IDOK);
             }});
    EXPECT_EQ(ownerOfDialog, nullptr);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(Centre(dialogRect).x, Centre(work).x, 1);
    EXPECT_NEAR(Centre(dialogRect).y, Centre(work).y, 1);
}

TEST(CenteredPosition, CentresAndStaysInsideTheWorkArea) {
    const RECT work{0, 0, 1000, 700};
    POINT p = tov::CenteredPosition({200, 100}, RECT{100, 100, 500, 400}, work);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 200);
    // Over an owner hanging off the bottom-right corner.
    p = tov::CenteredPosition({200, 100}, RECT{900, 650, 1300, 900}, work);
    EXPECT_EQ(p.x, 800);
    EXPECT_EQ(p.y, 600);
    // Off the top-left corner.
    p = tov::CenteredPosition({200, 100}, RECT{-400, -300, -100, 0}, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Larger than the work area: the title bar stays reachable.
    p = tov::CenteredPosition({1200, 800}, RECT{100, 100, 500, 400}, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

struct EndCase {
    const char* how;
    UINT templateId;
    INT_PTR result;
    std::function<void(HWND)> end;
};

TEST_F(DialogTest, OkEnterEscapeCancelAndTheCloseBoxEndItWithTheRightCode) {
    const auto click = [](int id) {
        return [id](HWND d) { PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0); };
    };
    const auto key = [](UINT vk) { return [vk](HWND) { tovtest::PostKey(GetFocus(), vk); }; };
    const auto closeBox = [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const EndCase cases[] = {
        {"OK button", IDD_TEST_PLAIN, IDOK, click(IDOK)},
        {"Enter", IDD_TEST_PLAIN, IDOK, key(VK_RETURN)},
        {"Cancel button", IDD_TEST_PLAIN, IDCANCEL, click(IDCANCEL)},
        {"Escape", IDD_TEST_PLAIN, IDCANCEL, key(VK_ESCAPE)},
        {"close box", IDD_TEST_PLAIN, IDCANCEL, closeBox},
        // Without a Cancel button the command arrives without a control.
        {"Escape, OK only", IDD_TEST_OK_ONLY, IDCANCEL, key(VK_ESCAPE)},
        {"close box, OK only", IDD_TEST_OK_ONLY, IDCANCEL, closeBox},
        {"Enter, OK only", IDD_TEST_OK_ONLY, IDOK, key(VK_RETURN)},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.how);
        TestDialog dialog(c.templateId);
        EXPECT_EQ(RunModal(dialog, {c.end}), c.result);
        EXPECT_EQ(dialog.okCalls, c.result == IDOK ? 1 : 0);
        EXPECT_EQ(dialog.cancelCalls, c.result == IDCANCEL ? 1 : 0);
        // OK saves the data once more; Cancel does not.
        const std::vector<BOOL> exchanges =
            c.result == IDOK ? std::vector<BOOL>{FALSE, TRUE} : std::vector<BOOL>{FALSE};
        EXPECT_EQ(dialog.exchanges, exchanges);
        EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    }
}

TEST_F(DialogTest, MessagesGoThroughTheMapsAndTheRestToTheDialogManager) {
    TestDialog dialog;
    LRESULT mapped = 0;
    std::string caption;
    LRESULT defId = 0;
    RunModal(dialog, {[&](HWND d) {
                 mapped = SendMessageA(d, WM_TEST_PING, 3, 0);
                 char text[64] = {};
                 GetWindowTextA(d, text, sizeof text);
                 caption = text;
                 defId = SendMessageA(d, DM_GETDEFID, 0, 0);
                 EndDialog(d, IDOK);
             }});
    EXPECT_EQ(mapped, 0x1234);
    EXPECT_EQ(dialog.pings, 3);
    EXPECT_EQ(caption, "Test Dialog");
    EXPECT_EQ(LOWORD(defId), IDOK);
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(dialog.initCalls, 1);
}

TEST_F(DialogTest, DdxControlBindsOnTheFirstExchangeAndTheBindingEndsWithTheWindow) {
    TestDialog dialog;
    HWND list = nullptr;
    CWnd* bound = nullptr;
    int count = -1;
    HWND focus = nullptr, okButton = nullptr;
    RunModal(dialog, {[&](HWND d) {
                 focus = GetFocus();
                 okButton = GetDlgItem(d, IDOK);
                 list = GetDlgItem(d, IDC_TEST_LIST);
                 bound = CWnd::FromHandle(list);
                 // The bound control keeps its own behaviour.
                 dialog.m_list.AddString("one");
                 dialog.m_list.AddString("two");
                 dialog.m_list.SetSel(1);
                 // Text in any script survives: the binding keeps the control wide.
                 dialog.m_list.AddString(L"\u0414\u0430\u043D\u043D\u044B\u0435 \u6570\u636E");
                 EXPECT_EQ(dialog.m_list.GetText(2),
                           L"\u0414\u0430\u043D\u043D\u044B\u0435 \u6570\u636E");
                 EXPECT_TRUE(IsWindowUnicode(list));
                 count = dialog.m_list.GetCount();
                 dialog.UpdateData(TRUE); // finds it bound: no second binding
                 EXPECT_EQ(dialog.m_list.m_hWnd, list);
                 EXPECT_EQ(dialog.m_list.GetSel(1), 1);
                 EXPECT_EQ(dialog.m_list.GetSel(0), 0);
                 EndDialog(d, IDOK);
             }});
    EXPECT_NE(list, nullptr);
    EXPECT_EQ(bound, &dialog.m_list);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(focus, okButton) << "the first tab stop takes the focus";
    // The window is gone: the member holds nothing and nothing finds it.
    EXPECT_EQ(dialog.m_list.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(CWnd::FromHandle(list), nullptr);

    // The same object runs again and binds to the new control.
    HWND second = nullptr;
    RunModal(dialog, {[&](HWND d) {
                 second = GetDlgItem(d, IDC_TEST_LIST);
                 EXPECT_EQ(dialog.m_list.m_hWnd, second);
                 EXPECT_EQ(dialog.m_list.GetCount(), 0);
                 EndDialog(d, IDCANCEL);
             }});
    EXPECT_EQ(dialog.initCalls, 2);
    EXPECT_EQ(dialog.m_list.m_hWnd, nullptr);
}

TEST_F(DialogTest, ABoundControlAndItsMemberMayGoInEitherOrder) {
    TestDialog dialog;
    RunModal(dialog, {[&](HWND d) {
                 // Window first: the member is left unbound.
                 CListBox member;
                 CDataExchange load(&dialog, FALSE);
                 const HWND cancel = GetDlgItem(d, IDCANCEL);
                 DDX_Control(&load, IDCANCEL, member);
                 EXPECT_EQ(member.m_hWnd, cancel);
                 DestroyWindow(cancel);
                 EXPECT_EQ(member.m_hWnd, nullptr);
                 EXPECT_EQ(CWnd::FromHandle(cancel), nullptr);

                 // Member first: it takes the window with it.
                 auto early = std::make_unique<CListBox>();
                 const HWND ok = GetDlgItem(d, IDOK);
                 DDX_Control(&load, IDOK, *early);
                 EXPECT_EQ(CWnd::FromHandle(ok), early.get());
                 early.reset();
                 EXPECT_FALSE(IsWindow(ok));

                 // A control already bound to one member is not taken by another.
                 CListBox other;
                 DDX_Control(&load, IDC_TEST_LIST, other);
                 EXPECT_EQ(other.m_hWnd, nullptr);
                 EXPECT_EQ(CWnd::FromHandle(GetDlgItem(d, IDC_TEST_LIST)), &dialog.m_list);
                 EndDialog(d, IDOK);
             }});
    EXPECT_EQ(dialog.m_list.m_hWnd, nullptr);
}

TEST_F(DialogTest, AMissingTemplateFailsWithoutTouchingTheOwner) {
    TestDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(dialog.initCalls, 0);
}
} // namespace
