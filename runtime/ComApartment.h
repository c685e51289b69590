// COM for the calling thread for as long as the object lives: every call that creates COM
// objects holds one, so it works whether or not the thread entered an apartment before.
#pragma once

#include <objbase.h>

namespace rt {

class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False when the thread is already in another kind of apartment; COM still works there.
    bool Entered() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

} // namespace rt
