#include "framework/Accessibility.h"

#include "framework/SystemLibrary.h"

namespace tov {

namespace {
// What the program calls in oleacc, and in the automation and COM libraries
// that work with it. All three are loaded on first use and stay loaded until
// the process ends: clients may hold the window's object to the last, and
// unloading COM under an apartment that still exists is not safe.
struct Library {
    HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    HMODULE automation = LoadSystemLibrary(L"oleaut32.dll");
    HMODULE com = LoadSystemLibrary(L"ole32.dll");
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&::SysAllocStringLen) sysAllocStringLen = nullptr;
    decltype(&::CoDisconnectObject) coDisconnectObject = nullptr;

    Library() {
        if (oleacc == nullptr || automation == nullptr || com == nullptr)
            return;
        lresultFromObject = Bind<decltype(lresultFromObject)>(oleacc, "LresultFromObject");
        createStdAccessibleObject =
            Bind<decltype(createStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
        sysAllocStringLen = Bind<decltype(sysAllocStringLen)>(automation, "SysAllocStringLen");
        coDisconnectObject = Bind<decltype(coDisconnectObject)>(com, "CoDisconnectObject");
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
    // Marshalling the object needs the apartment that the program's start
    // set up on the window's thread.
    const Library& library = TheLibrary();
    return library.lresultFromObject != nullptr
               ? library.lresultFromObject(kIID_IAccessible, wParam, object)
               : 0;
}

void DisconnectClients(IUnknown* object) {
    const Library& library = TheLibrary();
    if (library.coDisconnectObject != nullptr)
        library.coDisconnectObject(object, 0);
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

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

namespace {
// UI Automation's core, where present (loaded once, kept). The provider is
// handled as the IUnknown it derives from.
struct Automation {
    HMODULE core = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    BOOL(WINAPI* listening)() = Bind<BOOL(WINAPI*)()>("UiaClientsAreListening");
    HRESULT(WINAPI* hostProvider)
    (HWND, IUnknown**) = Bind<HRESULT(WINAPI*)(HWND, IUnknown**)>("UiaHostProviderFromHwnd");
    HRESULT(WINAPI* raise)
    (IUnknown*, int, int, BSTR,
     BSTR) = Bind<HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR)>("UiaRaiseNotificationEvent");
    template <typename Fn> Fn Bind(const char* name) const {
        return core != nullptr
                   ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(core, name)))
                   : nullptr;
    }
};
constexpr int kNotificationKindOther = 4;
constexpr int kNotificationProcessingMostRecent = 3;
} // namespace

void AnnounceToScreenReaders(HWND window, std::wstring_view text) {
    static const Automation automation;
    if (automation.listening == nullptr || automation.hostProvider == nullptr ||
        automation.raise == nullptr || text.empty() || !automation.listening())
        return;
    IUnknown* provider = nullptr;
    if (FAILED(automation.hostProvider(window, &provider)) || provider == nullptr)
        return;
    const auto freeString = reinterpret_cast<void(WINAPI*)(BSTR)>(
        reinterpret_cast<void*>(GetProcAddress(TheLibrary().automation, "SysFreeString")));
    BSTR displayed = AllocString(text);
    BSTR activity = AllocString(L"Tovemar.RowFigures");
    if (displayed != nullptr && activity != nullptr)
        automation.raise(provider, kNotificationKindOther, kNotificationProcessingMostRecent,
                         displayed, activity);
    if (freeString != nullptr) {
        freeString(displayed);
        freeString(activity);
    }
    provider->Release();
}

} // namespace tov
