// The drive view as screen readers see it: an accessible list (MSAA
// IAccessible, which UI Automation bridges too) with one item per shown row,
// named by the drive and valued by what its row shows.
#pragma once

#include "drives/DriveSource.h"
#include "framework/Accessibility.h"
#include "framework/Handle.h"
#include "view/RowLayout.h"

#include <string>
#include <vector>

// What one shown row says to a screen reader.
struct AccessibleRow {
    std::wstring name;  // the drive's display name
    std::wstring value; // "69% used, 74.91GB free", "no media", "no media, not queried",
                        // "waiting", "not responding"
    RECT bounds{};      // the row in client coordinates: the client width, one pitch high
};

// The shown rows in order, as they are painted at `scrollPos` in a client
// area `clientWidth` wide, each in the state the source gives it. The value
// uses the row's own texts; a row without figures reads its bar's word
// ("no media", "waiting", "not responding"), and "no media, not queried"
// for the dark box of a drive the update policy excludes.
std::vector<AccessibleRow> AccessibleRows(DriveSource& source, int scrollPos, int clientWidth,
                                          const RowMetrics& metrics);

// Where the accessible list gets its rows and its window from.
class AccessibleRowSource {
public:
    virtual HWND AccessibleWindow() const = 0;
    virtual std::vector<AccessibleRow> CurrentAccessibleRows() = 0;
    // True while the rows are not settled: the list then reports
    // STATE_SYSTEM_BUSY.
    virtual bool AccessibleRowsBusy() { return false; }

protected:
    ~AccessibleRowSource() = default;
};

// The list object handed to clients. Its children are simple elements with
// child ids 1 to n. Clients hold references beyond the window's life:
// Disconnect (when the window goes) makes every later call fail with
// CO_E_OBJNOTCONNECTED instead of reaching the view. COM interfaces have no
// virtual destructor; the object deletes itself as what it is, in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DriveAccessible final : public IAccessible {
public:
    explicit DriveAccessible(AccessibleRowSource* source) : m_source(source) {}
    DriveAccessible(const DriveAccessible&) = delete;
    DriveAccessible& operator=(const DriveAccessible&) = delete;

    void Disconnect() { m_source = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered (clients call IAccessible directly)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~DriveAccessible() = default;
    friend void DisconnectAndRelease(DriveAccessible* object);

    // The rows now, and the index of `child` among them: -1 for the list
    // itself. Fails for a child id that names no row, or once disconnected.
    HRESULT Resolve(const VARIANT& child, std::vector<AccessibleRow>& rows, int& index);
    // The same, first clearing `out` (E_POINTER when null).
    HRESULT Resolve(const VARIANT& child, VARIANT* out, std::vector<AccessibleRow>& rows,
                    int& index);
    // A text of the list (empty) or of one of its rows into `out`.
    template <typename Text> HRESULT RowText(const VARIANT& child, BSTR* out, Text text);
    // A number (role, state) of the list or of one of its rows into `out`.
    template <typename Number> HRESULT RowNumber(const VARIANT& child, VARIANT* out, Number number);
    // S_FALSE, "none", for the list or any row; the failure for a bad child.
    HRESULT Nothing(const VARIANT& child);

    LONG m_refs = 1;
    AccessibleRowSource* m_source;
};
#pragma GCC diagnostic pop

// The owner's end of the object: cut it off from its source and from the
// proxies of other processes, drop the owner's reference. Clients in this
// process may keep theirs.
inline void DisconnectAndRelease(DriveAccessible* object) {
    object->Disconnect();
    tov::DisconnectClients(object);
    object->Release();
}
using UniqueDriveAccessible = tov::UniqueHandle<DriveAccessible*, DisconnectAndRelease>;
