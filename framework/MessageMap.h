// Static message maps: one table per class, chained to its base class's table.
//
// An entry binds a window message, a command id, the update-UI query of a
// command id, or a control notification to a member function. Entries are
// built by small typed "crackers" (OnWmPaint<&CView::OnPaint>(), ...) so a
// handler receives real arguments instead of WPARAM/LPARAM. A class says
// DECLARE_MESSAGE_MAP() in a public part of its declaration, and its source
// file gives the entries, its own map first, then the base class's:
//
//     DEFINE_MESSAGE_MAP(CView, CWnd, OnWmPaint<&CView::OnPaint>(), ...);
#pragma once

#include <windows.h>

#include <array>
#include <span>

class CCmdTarget;
class CCmdUI;
class CWnd;

enum class MapKind : unsigned char {
    Message,  // a window message, dispatched by CWnd::WindowProc
    Command,  // WM_COMMAND from a menu, accelerator or toolbar: id
    UpdateUI, // the update-UI query of command id
    Notify,   // WM_COMMAND notification `code` from control `id`
};

using MsgThunk = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct MsgMapEntry {
    MapKind kind;
    UINT message; // Message entries
    UINT id;      // Command, UpdateUI and Notify entries
    UINT code;    // Notify entries
    MsgThunk thunk;
};

struct MsgMap {
    const MsgMap* base;
    std::span<const MsgMapEntry> entries;

    // The first entry of this map or its bases that matches, or null.
    const MsgMapEntry* Find(MapKind kind, UINT messageOrId, UINT code = 0) const;
};

namespace detail {
template <typename... Entries>
constexpr std::array<MsgMapEntry, sizeof...(Entries)> EntryArray(Entries... entries) {
    return {entries...};
}

template <typename> struct MemberOf;
template <typename C, typename F> struct MemberOf<F C::*> { using Class = C; };
template <auto Fn> using ClassOf = typename MemberOf<decltype(Fn)>::Class;
template <auto Fn> ClassOf<Fn>* Self(CCmdTarget* target) {
    return static_cast<ClassOf<Fn>*>(target);
}
} // namespace detail

CWnd* WndFromHandle(HWND window); // defined with CWnd

// The class's map and the override that hands it out.
#define DECLARE_MESSAGE_MAP()                                                                      \
    const MsgMap* GetMessageMap() const override {                                                 \
        return &messageMap;                                                                        \
    }                                                                                              \
    static const MsgMap messageMap;

// The class's entries, looked up before those of Base's map.
#define DEFINE_MESSAGE_MAP(Class, Base, ...)                                                       \
    static constexpr auto Class##MapEntries = ::detail::EntryArray(__VA_ARGS__);                   \
    const MsgMap Class::messageMap {                                                               \
        &Base::messageMap, Class##MapEntries                                                       \
    }

// --- Crackers -----------------------------------------------------------

// int OnCreate(LPCREATESTRUCTW)
template <auto Fn> constexpr MsgMapEntry OnWmCreate() {
    return {MapKind::Message, WM_CREATE, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {
                return (detail::Self<Fn>(t)->*Fn)(reinterpret_cast<LPCREATESTRUCTW>(l));
            }};
}

// void OnPaint()
template <auto Fn> constexpr MsgMapEntry OnWmPaint() {
    return {MapKind::Message, WM_PAINT, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)();
                return 0;
            }};
}

// void OnSize(UINT type, int cx, int cy)
template <auto Fn> constexpr MsgMapEntry OnWmSize() {
    return {MapKind::Message, WM_SIZE, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)),
                                           static_cast<short>(HIWORD(l)));
                return 0;
            }};
}

// void OnVScroll(UINT code, UINT position, CWnd* scrollBar)
template <auto Fn> constexpr MsgMapEntry OnWmVScroll() {
    return {MapKind::Message, WM_VSCROLL, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(LOWORD(w), HIWORD(w),
                                           WndFromHandle(reinterpret_cast<HWND>(l)));
                return 0;
            }};
}

// void OnMouseWheel(UINT keyFlags, short delta, POINT screenPoint)
template <auto Fn> constexpr MsgMapEntry OnWmMouseWheel() {
    return {MapKind::Message, WM_MOUSEWHEEL, 0, 0,
            [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                const POINT point{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
                (detail::Self<Fn>(t)->*Fn)(LOWORD(w), static_cast<short>(HIWORD(w)), point);
                return 0;
            }};
}

// void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags)
template <auto Fn> constexpr MsgMapEntry OnWmKeyDown() {
    return {MapKind::Message, WM_KEYDOWN, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
                return 0;
            }};
}

// void OnSetFocus(CWnd* oldFocus)
template <auto Fn> constexpr MsgMapEntry OnWmSetFocus() {
    return {MapKind::Message, WM_SETFOCUS, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(WndFromHandle(reinterpret_cast<HWND>(w)));
                return 0;
            }};
}

// void OnClose()
template <auto Fn> constexpr MsgMapEntry OnWmClose() {
    return {MapKind::Message, WM_CLOSE, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)();
                return 0;
            }};
}

// void OnEndSession(BOOL ending): ending is TRUE when the session really ends.
template <auto Fn> constexpr MsgMapEntry OnWmEndSession() {
    return {MapKind::Message, WM_ENDSESSION, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(static_cast<BOOL>(w));
                return 0;
            }};
}

// void OnSysColorChange()
template <auto Fn> constexpr MsgMapEntry OnWmSysColorChange() {
    return {MapKind::Message, WM_SYSCOLORCHANGE, 0, 0,
            [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)();
                return 0;
            }};
}

// void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu)
template <auto Fn> constexpr MsgMapEntry OnWmInitMenuPopup() {
    return {MapKind::Message, WM_INITMENUPOPUP, 0, 0,
            [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(reinterpret_cast<HMENU>(w), LOWORD(l), HIWORD(l));
                return 0;
            }};
}

// void OnMenuSelect(UINT item, UINT flags, HMENU menu): item is a command id,
// or a position for a popup; flags 0xFFFF with a null menu: the menu closed.
template <auto Fn> constexpr MsgMapEntry OnWmMenuSelect() {
    return {MapKind::Message, WM_MENUSELECT, 0, 0,
            [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(LOWORD(w), HIWORD(w), reinterpret_cast<HMENU>(l));
                return 0;
            }};
}

// LRESULT OnNotify(NMHDR* header)
template <auto Fn> constexpr MsgMapEntry OnWmNotify() {
    return {MapKind::Message, WM_NOTIFY, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {
                return (detail::Self<Fn>(t)->*Fn)(reinterpret_cast<NMHDR*>(l));
            }};
}

namespace detail {
// void OnMouse(UINT keyFlags, POINT clientPoint) for the client-area mouse messages.
template <UINT Msg, auto Fn> constexpr MsgMapEntry MouseEntry() {
    return {MapKind::Message, Msg, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                const POINT point{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
                (Self<Fn>(t)->*Fn)(static_cast<UINT>(w), point);
                return 0;
            }};
}
} // namespace detail

// void OnLButtonDown(UINT keyFlags, POINT point)
template <auto Fn> constexpr MsgMapEntry OnWmLButtonDown() {
    return detail::MouseEntry<WM_LBUTTONDOWN, Fn>();
}
// void OnLButtonUp(UINT keyFlags, POINT point)
template <auto Fn> constexpr MsgMapEntry OnWmLButtonUp() {
    return detail::MouseEntry<WM_LBUTTONUP, Fn>();
}
// void OnMouseMove(UINT keyFlags, POINT point)
template <auto Fn> constexpr MsgMapEntry OnWmMouseMove() {
    return detail::MouseEntry<WM_MOUSEMOVE, Fn>();
}

// LRESULT Handler(WPARAM, LPARAM): for messages without a typed cracker.
template <UINT Msg, auto Fn> constexpr MsgMapEntry OnMessage() {
    return {MapKind::Message, Msg, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {
                return (detail::Self<Fn>(t)->*Fn)(w, l);
            }};
}

// void OnCommand()
template <UINT Id, auto Fn> constexpr MsgMapEntry OnCommand() {
    return {MapKind::Command, 0, Id, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)();
                return TRUE;
            }};
}

// void OnUpdate(CCmdUI*)
template <UINT Id, auto Fn> constexpr MsgMapEntry OnUpdateCommandUI() {
    return {MapKind::UpdateUI, 0, Id, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)(reinterpret_cast<CCmdUI*>(l));
                return TRUE;
            }};
}

// void OnNotification(): WM_COMMAND notification Code from control Id.
template <UINT Code, UINT Id, auto Fn> constexpr MsgMapEntry OnControlNotify() {
    return {MapKind::Notify, 0, Id, Code, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                (detail::Self<Fn>(t)->*Fn)();
                return TRUE;
            }};
}
