// What the image controls of one top-level window share: which of them holds the mouse, the
// list of those registered, and one GDI+ session for the window. The session is handed on to
// a hidden child of the window, which lets it go when the window is destroyed; every image
// that copied the token keeps it running until the last of them is gone.
#pragma once

#include "alphaimage/ICrossComm.h"
#include "alphaimage/core/InstanceList.h"
#include "imaging/GdiPlusToken.h"

#include <windows.h>

namespace aic {

class cCrossComm {
public:
    // The control holding the mouse; none is null.
    ICrossComm* CapturedControl() const { return captured_; }
    // Another holder first hears ReleaseMouseCapture.
    void CapturedControl(ICrossComm* ucPointer);

    // Empty until ManageGDIToken started GDI+ or found it started for the window; a token
    // found so is marked as started elsewhere.
    const imaging::GdiPlusToken& gdiToken() const { return token_; }

    // Registers a control; null and a control already registered are ignored.
    void AddRef(ICrossComm* ucPointer);
    // Unregisters a control, and lets go of the mouse when it held it.
    void RemoveRef(ICrossComm* ucPointer);
    bool IsRegistered(const ICrossComm* ucPointer) const;

    // Shares the GDI+ session of the top-level window above `containerHwnd` (through parents,
    // then owners), starting one there when it has none.
    void ManageGDIToken(HWND containerHwnd);

private:
    InstanceList instances_;
    ICrossComm* captured_ = nullptr;
    imaging::GdiPlusToken token_;
};

} // namespace aic
