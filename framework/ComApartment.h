// A single-threaded COM apartment for the calling thread while the object
// lives, left again exactly when it was entered: a thread already in an
// apartment of another kind keeps it. The shell asks for one on every thread
// that calls it.
#pragma once

#include <objbase.h>

namespace tov {

class ComApartment {
public:
    explicit ComApartment(DWORD flags = COINIT_APARTMENTTHREADED)
        : m_entered(SUCCEEDED(CoInitializeEx(nullptr, flags))) {}
    ~ComApartment() {
        if (m_entered)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};

} // namespace tov
