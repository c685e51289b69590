#include "tests/monitor/support/FormFixture.h"

#include "monitor/ModMain.h"
#include "runtime/Menu.h"
#include "runtime/Runtime.h"

#include <shellapi.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace test {

void DropTrayIcon(HWND hwnd)
{
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = hwnd;
    d.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &d);
}

bool PumpDeferredUntil(const std::function<bool()>& done, int timeoutMs)
{
    return PumpUntil(
        [&] {
            rt::RunDeferred();
            return done();
        },
        timeoutMs);
}

void PostMenuKeys(HWND hwnd, int n)
{
    if (n < 0) {
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    for (int i = 0; i <= n; ++i)
        PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
}

MenuDriver::MenuDriver(HWND owner) : owner_(owner)
{
    connection_ = rt::MenuOpening().Connect([this](const std::wstring& name) {
        opened_.push_back(name);
        if (name != menu_)
            return;
        if (whileOpen_)
            whileOpen_();
        PostMenuKeys(owner_, n_);
        menu_.clear();
    });
}

MenuDriver::~MenuDriver() { rt::MenuOpening().Disconnect(connection_); }

void MenuDriver::Choose(const std::wstring& menu, int n, std::function<void()> whileOpen)
{
    menu_ = menu;
    n_ = n;
    whileOpen_ = std::move(whileOpen);
}

void FormTest::SetUp()
{
    InitControls();
    rt::SetAppPath(folder.Path());
    seams.commandLine = L"";
    form = std::make_unique<FrmMain>(seams);
    form->Load();
    form->ShowAfterLoad();
    EXPECT_TRUE(PumpQueued());
}

void FormTest::TearDown()
{
    form.reset();
    EXPECT_TRUE(PumpQueued());
    rt::RunDeferred();
}

} // namespace test
