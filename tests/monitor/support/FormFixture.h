// A loaded Ostrevi main form in a fresh program folder, for the tests of its handlers, and
// small helpers to drive pop-up menus and to ask the shell about the tray icon.
#pragma once

#include "monitor/FrmMain.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace test {

using namespace vantorel;
using namespace vantorel::ostrevi;

// Deletes the icon of `hwnd` behind its owner's back, as a shell restart loses it.
void DropTrayIcon(HWND hwnd);

// Pumps, running deferred work too, until `done` or the timeout.
bool PumpDeferredUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Chooses the `n`th command (0-based, separators not counted) of the next pop-up menu named
// `menu` by keyboard once it is open, or closes it when `n` is negative. Records the names of
// the menus that opened.
class MenuDriver {
public:
    explicit MenuDriver(HWND owner);
    ~MenuDriver();
    void Choose(const std::wstring& menu, int n, std::function<void()> whileOpen = {});
    const std::vector<std::wstring>& Opened() const { return opened_; }

private:
    HWND owner_;
    int connection_ = 0;
    std::wstring menu_;
    int n_ = -1;
    std::function<void()> whileOpen_;
    std::vector<std::wstring> opened_;
};

// Posts the keys that pick the `n`th command of an open menu (or close it when negative)
// to window `hwnd`'s thread.
void PostMenuKeys(HWND hwnd, int n);

class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TempFolder folder;
    // What SetUp hands the form.
    Seams seams;
    std::unique_ptr<FrmMain> form;
};

} // namespace test
