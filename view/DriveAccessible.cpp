#include "view/DriveAccessible.h"

#include "framework/Text.h"
#include "view/BarFill.h"
#include "view/RowText.h"

#include <algorithm>

namespace {
std::wstring RowValue(const RowLayout& row) {
    if (row.state == DriveState::NotQueried)
        return L"no media, not queried";
    if (!row.hasSize)
        return tov::Widen(PlaceholderLabel(row.state));
    const std::string label = FormatBarLabel(row.barFormat, BarPercentage(row.barValue, 100));
    return tov::Widen(label) + L" used, " + tov::Widen(row.freeText) + L" free";
}

void SetChild(VARIANT* out, LONG id) {
    out->vt = VT_I4;
    out->lVal = id;
}
} // namespace

std::vector<AccessibleRow> AccessibleRows(DriveSource& source, int scrollPos, int clientWidth,
                                          const RowMetrics& metrics, int focusRow) {
    std::vector<AccessibleRow> rows;
    const DriveList& drives = source.Drives();
    int index = 0;
    for (const DriveRecord& record : drives) {
        if (record.bShown == 0)
            continue;
        AccessibleRow accessible;
        accessible.focused = index == focusRow;
        const DriveState state = source.StateOf(record);
        const RowLayout row = LayoutRow(index++, scrollPos, clientWidth, record, metrics, state);
        // A drive whose name has not arrived goes by its root.
        accessible.name = ListedNameOf(record);
        const DriveOutlook outlook = source.OutlookOf(record);
        accessible.value = RowValue(row);
        if (row.hasSize && outlook.nearlyFull)
            accessible.value += L", nearly full";
        accessible.description = RowDetails(record, state, outlook);
        accessible.bounds = {0, row.y, clientWidth, row.y + metrics.Scaled(metrics.rowPitch)};
        rows.push_back(std::move(accessible));
    }
    return rows;
}

// --- IUnknown and IDispatch ------------------------------------------------

HRESULT DriveAccessible::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, tov::kIID_IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DriveAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

ULONG DriveAccessible::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

HRESULT DriveAccessible::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT DriveAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr)
        *info = nullptr;
    return E_NOTIMPL;
}
HRESULT DriveAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT DriveAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                UINT*) {
    return E_NOTIMPL;
}

// --- IAccessible -----------------------------------------------------------

HRESULT DriveAccessible::Resolve(const VARIANT& child, std::vector<AccessibleRow>& rows,
                                 int& index) {
    if (m_source == nullptr)
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    rows = m_source->CurrentAccessibleRows();
    if (child.lVal == CHILDID_SELF) {
        index = -1;
        return S_OK;
    }
    if (child.lVal < 1 || child.lVal > static_cast<LONG>(rows.size()))
        return E_INVALIDARG;
    index = child.lVal - 1;
    return S_OK;
}

template <typename Text>
HRESULT DriveAccessible::RowText(const VARIANT& child, BSTR* out, Text text,
                                 const wchar_t* listText) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    std::vector<AccessibleRow> rows;
    int index = 0;
    if (const HRESULT result = Resolve(child, rows, index); FAILED(result))
        return result;
    if (index < 0 && *listText == L'\0')
        return S_FALSE;
    *out = tov::AllocString(index < 0 ? std::wstring(listText)
                                      : text(rows[static_cast<size_t>(index)]));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT DriveAccessible::get_accParent(IDispatch** parent) {
    if (parent == nullptr)
        return E_POINTER;
    *parent = nullptr;
    if (m_source == nullptr)
        return CO_E_OBJNOTCONNECTED;
    // The window around the client area, as the platform describes it.
    *parent = tov::StandardAccessible(m_source->AccessibleWindow(), OBJID_WINDOW);
    return *parent != nullptr ? S_OK : S_FALSE;
}

HRESULT DriveAccessible::get_accChildCount(LONG* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    if (m_source == nullptr)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<LONG>(m_source->CurrentAccessibleRows().size());
    return S_OK;
}

HRESULT DriveAccessible::Nothing(const VARIANT& child) {
    std::vector<AccessibleRow> rows;
    int index = 0;
    const HRESULT result = Resolve(child, rows, index);
    return FAILED(result) ? result : S_FALSE;
}

HRESULT DriveAccessible::Resolve(const VARIANT& child, VARIANT* out,
                                 std::vector<AccessibleRow>& rows, int& index) {
    if (out == nullptr)
        return E_POINTER;
    out->vt = VT_EMPTY;
    return Resolve(child, rows, index);
}

template <typename Number>
HRESULT DriveAccessible::RowNumber(const VARIANT& child, VARIANT* out, Number number) {
    std::vector<AccessibleRow> rows;
    int index = 0;
    if (const HRESULT result = Resolve(child, out, rows, index); FAILED(result))
        return result;
    SetChild(out, number(rows, index));
    return S_OK;
}

HRESULT DriveAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    // The rows are simple elements: no object of their own.
    return Nothing(child);
}

HRESULT DriveAccessible::get_accName(VARIANT child, BSTR* name) {
    return RowText(
        child, name, [](const AccessibleRow& row) { return row.name; }, L"Drives");
}

HRESULT DriveAccessible::get_accValue(VARIANT child, BSTR* value) {
    return RowText(child, value, [](const AccessibleRow& row) { return row.value; });
}

HRESULT DriveAccessible::get_accRole(VARIANT child, VARIANT* role) {
    return RowNumber(child, role, [](const std::vector<AccessibleRow>&, int index) -> LONG {
        return index < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
    });
}

HRESULT DriveAccessible::get_accState(VARIANT child, VARIANT* state) {
    return RowNumber(
        child, state, [this](const std::vector<AccessibleRow>& rows, int index) -> LONG {
            const HWND window = m_source->AccessibleWindow();
            if (index < 0)
                return STATE_SYSTEM_FOCUSABLE | (GetFocus() == window ? STATE_SYSTEM_FOCUSED : 0) |
                       (m_source->AccessibleRowsBusy() ? STATE_SYSTEM_BUSY : 0);
            // A row scrolled out of the client area is there, but not on
            // screen. Invisible would tell UI Automation and screen readers'
            // browse modes that it is not there at all, and they would skip it.
            RECT client{}, visible{};
            GetClientRect(window, &client);
            const AccessibleRow& row = rows[static_cast<size_t>(index)];
            LONG bits = STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
            if (row.focused && GetFocus() == window)
                bits |= STATE_SYSTEM_FOCUSED;
            if (!IntersectRect(&visible, &client, &row.bounds))
                bits |= STATE_SYSTEM_OFFSCREEN;
            return bits;
        });
}

HRESULT DriveAccessible::get_accDescription(VARIANT child, BSTR* text) {
    return RowText(child, text, [](const AccessibleRow& row) { return row.description; });
}

HRESULT DriveAccessible::get_accHelp(VARIANT child, BSTR* text) {
    if (text == nullptr)
        return E_POINTER;
    *text = nullptr;
    return Nothing(child);
}

HRESULT DriveAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    if (file != nullptr)
        *file = nullptr;
    if (topic != nullptr)
        *topic = 0;
    return Nothing(child);
}

HRESULT DriveAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* text) {
    return get_accHelp(child, text);
}

HRESULT DriveAccessible::get_accDefaultAction(VARIANT child, BSTR* text) {
    return get_accHelp(child, text);
}

HRESULT DriveAccessible::get_accFocus(VARIANT* child) {
    if (child == nullptr)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (m_source == nullptr)
        return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != m_source->AccessibleWindow())
        return S_FALSE;
    // The focus row when there is one, else the list itself.
    const std::vector<AccessibleRow> rows = m_source->CurrentAccessibleRows();
    const auto focused = std::find_if(rows.begin(), rows.end(),
                                      [](const AccessibleRow& row) { return row.focused; });
    SetChild(child,
             focused != rows.end() ? static_cast<LONG>(focused - rows.begin() + 1) : CHILDID_SELF);
    return S_OK;
}

HRESULT DriveAccessible::get_accSelection(VARIANT* children) {
    if (children == nullptr)
        return E_POINTER;
    children->vt = VT_EMPTY;
    return m_source == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

HRESULT DriveAccessible::accSelect(LONG, VARIANT) {
    return m_source == nullptr ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT DriveAccessible::accDoDefaultAction(VARIANT) {
    return m_source == nullptr ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT DriveAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                     VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    std::vector<AccessibleRow> rows;
    int index = 0;
    if (const HRESULT result = Resolve(child, rows, index); FAILED(result))
        return result;
    const HWND window = m_source->AccessibleWindow();
    RECT rect{};
    if (index < 0)
        GetClientRect(window, &rect);
    else
        rect = rows[static_cast<size_t>(index)].bounds;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT DriveAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    std::vector<AccessibleRow> rows;
    int index = 0;
    if (const HRESULT result = Resolve(start, end, rows, index); FAILED(result))
        return result;
    const LONG count = static_cast<LONG>(rows.size());
    LONG target = 0;
    if (index < 0) {
        // From the list to its first or last row; siblings of the list are the platform's.
        if (direction == NAVDIR_FIRSTCHILD)
            target = 1;
        else if (direction == NAVDIR_LASTCHILD)
            target = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        target = index + 2;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        target = index;
    }
    if (target < 1 || target > count)
        return S_FALSE;
    SetChild(end, target);
    return S_OK;
}

HRESULT DriveAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (child == nullptr)
        return E_POINTER;
    child->vt = VT_EMPTY;
    if (m_source == nullptr)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = m_source->AccessibleWindow();
    POINT point{x, y};
    ScreenToClient(window, &point);
    RECT client{};
    GetClientRect(window, &client);
    if (!PtInRect(&client, point))
        return S_FALSE;
    const std::vector<AccessibleRow> rows = m_source->CurrentAccessibleRows();
    LONG id = CHILDID_SELF;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (PtInRect(&rows[i].bounds, point))
            id = static_cast<LONG>(i + 1);
    }
    SetChild(child, id);
    return S_OK;
}

HRESULT DriveAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT DriveAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
