// Drives a modal dialog from inside its own modal loop: a thread timer, which
// the loop dispatches, runs one scripted step per tick against the dialog that
// is open. Posted input from one step is handled before the next tick (timer
// messages come only when the queue is otherwise empty). A dialog still open
// once the steps have run out is ended with kTimedOut, so a failing test
// cannot hang.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace tovtest {

constexpr INT_PTR kTimedOut = -2;

// Every dialog window of this thread, shown yet or not, topmost first.
inline std::vector<HWND> DialogWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, "#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The enabled dialog window of this thread (the innermost modal dialog), or null.
inline HWND FindOpenDialog() {
    for (HWND window : DialogWindows()) {
        if (IsWindowVisible(window) && IsWindowEnabled(window))
            return window;
    }
    return nullptr;
}

// Posts a key press (down and up) to `target`, as the keyboard would queue it.
inline void PostKey(HWND target, UINT key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, key, scan | 1);
    PostMessageA(target, WM_KEYUP, key, scan | 1 | (LPARAM{3} << 30));
}

// Posts a left click at client point (x, y) of `target`.
inline void PostClick(HWND target, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(target, WM_LBUTTONUP, 0, at);
}

class ModalScript {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit ModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {}

    // Runs `open`, which runs a modal loop, while the steps play.
    void Run(const std::function<void()>& open) {
        ModalScript* outer = std::exchange(Current(), this);
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ModalScript::Tick);
        open();
        KillTimer(nullptr, timer);
        Current() = outer;
    }

    bool timedOut = false;
    // Steps that ran.
    size_t ran = 0;

private:
    static ModalScript*& Current() {
        static ModalScript* current = nullptr;
        return current;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* self = Current();
        if (self == nullptr)
            return;
        const HWND dialog = FindOpenDialog();
        if (dialog == nullptr) {
            // Nothing open (yet, or the dialog could not be created).
            if (++self->m_idleTicks > 300)
                self->timedOut = true;
            return;
        }
        if (self->ran < self->m_steps.size()) {
            const Step step = self->m_steps[self->ran++];
            step(dialog);
        } else if (++self->m_idleTicks > 100) {
            self->timedOut = true;
            EndDialog(dialog, kTimedOut);
        }
    }

    std::vector<Step> m_steps;
    int m_idleTicks = 0;
};

} // namespace tovtest
