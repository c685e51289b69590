#include "tests/monitor/settings/SettingsFixture.h"

#include "monitor/ModMain.h"
#include "monitor/ModTask.h"
#include "monitor/Modini.h"
#include "runtime/Runtime.h"

#include <oleauto.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

// A quit posted when the last form goes would end the next modal loop of the test at once.
void DropQuit()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

rt::ComPtr<ITaskFolder> RootTaskFolder(rt::ComPtr<ITaskService>& service)
{
    rt::ComPtr<ITaskFolder> folder;
    if (!ConnectTaskService(service).Succeeded())
        return folder;
    service->GetFolder(rt::Bstr(L"\\"), folder.put());
    return folder;
}

} // namespace

void SettingsFixture::SetUp()
{
    test::InitControls();
    rt::SetAppPath(app.Path());
}

void SettingsFixture::TearDown()
{
    Stop();
    RemoveTask(kStartupTaskName);
}

FrmMain& SettingsFixture::Start()
{
    Stop();
    form = std::make_unique<FrmMain>(Seams{.commandLine = L""});
    form->Load();
    form->Show();
    EXPECT_TRUE(test::PumpQueued());
    return *form;
}

void SettingsFixture::Stop()
{
    form.reset();
    EXPECT_TRUE(test::PumpQueued());
    DropQuit();
}

std::wstring SettingsFixture::Ini(const std::wstring& key) const { return ReadIni(L"main", key, IniPath(), kLongestLogLocation); }

bool SettingsFixture::IniHas(const std::wstring& key) const
{
    wchar_t buf[16] = {};
    GetPrivateProfileStringW(L"main", key.c_str(), L"<missing>", buf, 16, IniPath().c_str());
    return std::wstring(buf) != L"<missing>";
}

void SettingsFixture::WriteSetting(const std::wstring& key, const std::wstring& value) const
{
    WriteIni(L"main", key, value, IniPath());
}

void TypeChar(HWND control, wchar_t ch)
{
    SendMessageW(control, WM_CHAR, ch, 1);
    SendMessageW(control, WM_KEYUP, VkKeyScanW(ch) & 0xFF, 0xC0000001);
}

void PressAndRelease(HWND control, UINT virtualKey, wchar_t ch)
{
    SendMessageW(control, WM_KEYDOWN, virtualKey, 1);
    if (ch)
        SendMessageW(control, WM_CHAR, ch, 1);
    SendMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

void Click(HWND control)
{
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void FocusOn(HWND control)
{
    SetFocus(control);
    EXPECT_TRUE(test::PumpQueued());
}

bool TaskExists(const std::wstring& name)
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    rt::ComPtr<ITaskFolder> folder = RootTaskFolder(service);
    if (!folder)
        return false;
    rt::ComPtr<IRegisteredTask> task;
    return SUCCEEDED(folder->GetTask(rt::Bstr(name), task.put()));
}

bool RegisterPlainTask(const std::wstring& name)
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    rt::ComPtr<ITaskFolder> folder = RootTaskFolder(service);
    if (!folder)
        return false;
    rt::ComPtr<ITaskDefinition> def;
    rt::ComPtr<IActionCollection> actions;
    rt::ComPtr<IAction> action;
    if (FAILED(service->NewTask(0, def.put())) || FAILED(def->get_Actions(actions.put())) ||
        FAILED(actions->Create(TASK_ACTION_EXEC, action.put())))
        return false;
    rt::ComPtr<IExecAction> exec;
    if (SUCCEEDED(action->QueryInterface(IID_IExecAction, exec.put_void())))
        exec->put_Path(rt::Bstr(L"C:\\windows\\notepad.exe"));
    rt::Variant none;
    rt::ComPtr<IRegisteredTask> registered;
    HRESULT hr = folder->RegisterTaskDefinition(rt::Bstr(name), def.get(), TASK_CREATE_OR_UPDATE, none, none,
                                                TASK_LOGON_INTERACTIVE_TOKEN, none, registered.put());
    return SUCCEEDED(hr);
}

void RemoveTask(const std::wstring& name)
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    rt::ComPtr<ITaskFolder> folder = RootTaskFolder(service);
    if (!folder)
        return;
    folder->DeleteTask(rt::Bstr(name), 0);
}
