#include "framework/ProcessReference.h"

#include <shlobj.h>

namespace tov {

ProcessReference::ProcessReference() = default;

HRESULT STDMETHODCALLTYPE ProcessReference::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ProcessReference::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_nReferences));
}

ULONG STDMETHODCALLTYPE ProcessReference::Release() {
    const LONG left = InterlockedDecrement(&m_nReferences);
    if (left == 0)
        SetEvent(m_released.get());
    return static_cast<ULONG>(left);
}

bool ProcessReference::RunUntilReleased(DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    const HANDLE released = m_released.get();
    for (;;) {
        DWORD wait = INFINITE;
        if (timeoutMs != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            wait = spent >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - spent);
        }
        const DWORD woken = MsgWaitForMultipleObjects(1, &released, FALSE, wait, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        // Calls into this thread's apartment arrive as messages.
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

ShellProcessReference::ShellProcessReference(ProcessReference& reference) {
    SHSetInstanceExplorer(&reference);
}

ShellProcessReference::~ShellProcessReference() {
    SHSetInstanceExplorer(nullptr);
}

} // namespace tov
