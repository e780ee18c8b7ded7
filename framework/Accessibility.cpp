#include "framework/Accessibility.h"

#include "framework/Handle.h"

namespace tov {

namespace {
// What the program calls in oleacc and in the automation library, which
// oleacc loads itself.
struct Library {
    UniqueModule oleacc;
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&::SysAllocStringLen) sysAllocStringLen = nullptr;

    Library() : oleacc(LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        const HMODULE automation = GetModuleHandleW(L"oleaut32.dll");
        if (!oleacc || automation == nullptr)
            return;
        lresultFromObject = Bind<decltype(lresultFromObject)>(oleacc.get(), "LresultFromObject");
        createStdAccessibleObject =
            Bind<decltype(createStdAccessibleObject)>(oleacc.get(), "CreateStdAccessibleObject");
        sysAllocStringLen = Bind<decltype(sysAllocStringLen)>(automation, "SysAllocStringLen");
    }
    template <typename Fn> static Fn Bind(HMODULE module, const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const Library& TheLibrary() {
    static const Library library;
    return library;
}
} // namespace

LRESULT LresultFromAccessible(WPARAM wParam, IAccessible* object) {
    const Library& library = TheLibrary();
    return library.lresultFromObject != nullptr
               ? library.lresultFromObject(kIID_IAccessible, wParam, object)
               : 0;
}

IDispatch* StandardAccessible(HWND window, LONG objectId) {
    const Library& library = TheLibrary();
    void* object = nullptr;
    if (library.createStdAccessibleObject == nullptr ||
        FAILED(library.createStdAccessibleObject(window, objectId, IID_IDispatch, &object)))
        return nullptr;
    return static_cast<IDispatch*>(object);
}

BSTR AllocString(std::wstring_view text) {
    const Library& library = TheLibrary();
    return library.sysAllocStringLen != nullptr
               ? library.sysAllocStringLen(text.data(), static_cast<UINT>(text.size()))
               : nullptr;
}

} // namespace tov
