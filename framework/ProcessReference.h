// The process's reference for the shell: windows the shell opens on threads
// of this process (a drive's Properties sheet and the like) hold it, and the
// process lives on after its main window until the last of them lets go.
#pragma once

#include "framework/Handle.h"

#include <windows.h>
#include <unknwn.h>

namespace tov {

// A COM object that only counts. It starts with one reference, the
// program's own; the last Release ends RunUntilReleased. It is never deleted
// through IUnknown, which has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ProcessReference final : public IUnknown {
public:
    ProcessReference();
    ProcessReference(const ProcessReference&) = delete;
    ProcessReference& operator=(const ProcessReference&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Handles the calling thread's messages until every reference is gone;
    // false when `timeoutMs` passed first or the thread was told to quit.
    bool RunUntilReleased(DWORD timeoutMs = INFINITE);

private:
    LONG m_nReferences = 1;
    UniqueHandle<HANDLE, CloseHandle> m_released{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};
#pragma GCC diagnostic pop

// Offers `reference` to the shell (SHSetInstanceExplorer) for as long as it lives.
class ShellProcessReference {
public:
    explicit ShellProcessReference(ProcessReference& reference);
    ~ShellProcessReference();
    ShellProcessReference(const ShellProcessReference&) = delete;
    ShellProcessReference& operator=(const ShellProcessReference&) = delete;
};

} // namespace tov
