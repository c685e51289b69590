// The start-with-Windows box and the log-on task, against the real Task Scheduler of the
// test system (under Wine it refuses the log-on trigger with E_NOTIMPL).
#include "tests/monitor/settings/SettingsFixture.h"

#include "monitor/ModTask.h"
#include "common/ModCommon.h"

#include <oleauto.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

constexpr const wchar_t* kOtherTask = L"Vantorel - Other Task";

using LogonTask = SettingsFixture;

TEST(LogonTaskPath, VersionsBelowSixCompareAsNumbers)
{
    for (const wchar_t* older : {L"5.1", L"5.2", L"4.0"})
        EXPECT_TRUE(UsesOlderTaskScheduler(older)) << older;
    for (const wchar_t* newer : {L"6.0", L"6.1", L"6.2", L"6.3", L"10.0", L"11.0", L""})
        EXPECT_FALSE(UsesOlderTaskScheduler(newer)) << newer;
}

TEST_F(LogonTask, RefusedRegistrationPutsTheBoxBackAndKeepsTheKey)
{
    FrmMain& f = Start();
    ASSERT_FALSE(UsesOlderTaskScheduler(f.State.OSVersion)) << "version " << test::Narrow(f.State.OSVersion);
    Click(f.Check1.hWnd());
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_FALSE(IniHas(L"StartWithWindows"));
    // The trigger was refused: no task without it was registered.
    EXPECT_FALSE(TaskExists(kStartupTaskName));

    // Space goes the same way.
    FocusOn(f.Check1.hWnd());
    PressAndRelease(f.Check1.hWnd(), VK_SPACE, L' ');
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_FALSE(IniHas(L"StartWithWindows"));
    EXPECT_FALSE(TaskExists(kStartupTaskName));
}

TEST_F(LogonTask, StartUpSetsTheBoxWithoutTouchingTheTask)
{
    WriteSetting(L"StartWithWindows", L"1");
    FrmMain& f = Start();
    EXPECT_EQ(f.Check1.Value(), 1);
    EXPECT_FALSE(TaskExists(kStartupTaskName));

    ASSERT_TRUE(RegisterPlainTask(kStartupTaskName));
    WriteSetting(L"StartWithWindows", L"0");
    Start();
    EXPECT_EQ(form->Check1.Value(), 0);
    EXPECT_TRUE(TaskExists(kStartupTaskName));
}

TEST_F(LogonTask, UncheckingWithSpaceRemovesTheTaskAndSaves)
{
    ASSERT_TRUE(RegisterPlainTask(kStartupTaskName));
    WriteSetting(L"StartWithWindows", L"1");
    FrmMain& f = Start();
    FocusOn(f.Check1.hWnd());
    PressAndRelease(f.Check1.hWnd(), VK_SPACE, L' ');
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_FALSE(TaskExists(kStartupTaskName));
    EXPECT_EQ(Ini(L"StartWithWindows"), L"0");

    Start();
    EXPECT_EQ(form->Check1.Value(), 0);
}

TEST_F(LogonTask, RemovingATaskThatDoesNotExistDoesNothing)
{
    ASSERT_TRUE(RegisterPlainTask(kOtherTask));
    WriteSetting(L"StartWithWindows", L"1");
    FrmMain& f = Start();
    Click(f.Check1.hWnd());
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_EQ(Ini(L"StartWithWindows"), L"0");
    EXPECT_TRUE(TaskExists(kOtherTask));
    EXPECT_FALSE(TaskExists(kStartupTaskName));
    RemoveTask(kOtherTask);
}

TEST_F(LogonTask, BelowSixTheMissingOlderComponentFailsTheOperation)
{
    ASSERT_TRUE(RegisterPlainTask(kStartupTaskName));
    WriteSetting(L"StartWithWindows", L"1");
    FrmMain& f = Start();

    f.State.OSVersion = L"5.1";
    Click(f.Check1.hWnd());
    // The older path could not remove anything: the box and the key say the task is there.
    EXPECT_EQ(f.Check1.Value(), 1);
    EXPECT_EQ(Ini(L"StartWithWindows"), L"1");
    EXPECT_TRUE(TaskExists(kStartupTaskName));

    // As text "10.0" sorts before "6.0"; as a number it takes Task Scheduler 2.0.
    f.State.OSVersion = L"10.0";
    Click(f.Check1.hWnd());
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_EQ(Ini(L"StartWithWindows"), L"0");
    EXPECT_FALSE(TaskExists(kStartupTaskName));

    f.State.OSVersion = L"5.2";
    Click(f.Check1.hWnd());
    EXPECT_EQ(f.Check1.Value(), 0);
    EXPECT_EQ(Ini(L"StartWithWindows"), L"0");
}

// Reads a BSTR property through `get`, freeing it.
template <typename Get>
std::wstring Text(Get get)
{
    rt::Bstr s;
    if (FAILED(get(s.put())))
        return L"<failed>";
    return s.Text();
}

TEST(LogonTaskDefinition, HoldsEveryValueAndReportsTheRefusedTrigger)
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    ASSERT_TRUE(ConnectTaskService(service).Succeeded());
    StartupTask task;
    TaskResult r = BuildStartupTask(service.get(), L"C:\\Programs\\Vantorel", task);
    ITaskDefinition* def = task.definition.get();
    ASSERT_TRUE(def);
    // Wine has no log-on trigger: the first failure is that step, so nothing gets registered.
    EXPECT_EQ(r.failedStep, TaskStep::LogonTrigger);
    EXPECT_EQ(r.hr, E_NOTIMPL);

    rt::ComPtr<IRegistrationInfo> info;
    ASSERT_HRESULT_SUCCEEDED(def->get_RegistrationInfo(info.put()));
    EXPECT_EQ(Text([&](BSTR* s) { return info->get_Author(s); }), L"Vantorel - Ostrevi");
    EXPECT_EQ(Text([&](BSTR* s) { return info->get_Description(s); }), L"Created By Vantorel - Ostrevi");

    rt::ComPtr<ITaskSettings> settings;
    ASSERT_HRESULT_SUCCEEDED(def->get_Settings(settings.put()));
    EXPECT_EQ(Text([&](BSTR* s) { return settings->get_ExecutionTimeLimit(s); }), L"PT0S");
    struct Flag {
        HRESULT (STDMETHODCALLTYPE ITaskSettings::*get)(VARIANT_BOOL*);
        VARIANT_BOOL expected;
        const char* name;
    };
    const Flag flags[] = {
        {&ITaskSettings::get_DisallowStartIfOnBatteries, VARIANT_FALSE, "DisallowStartIfOnBatteries"},
        {&ITaskSettings::get_StopIfGoingOnBatteries, VARIANT_FALSE, "StopIfGoingOnBatteries"},
        {&ITaskSettings::get_AllowHardTerminate, VARIANT_TRUE, "AllowHardTerminate"},
        {&ITaskSettings::get_AllowDemandStart, VARIANT_TRUE, "AllowDemandStart"},
        {&ITaskSettings::get_WakeToRun, VARIANT_TRUE, "WakeToRun"},
        {&ITaskSettings::get_RunOnlyIfIdle, VARIANT_FALSE, "RunOnlyIfIdle"},
        {&ITaskSettings::get_RunOnlyIfNetworkAvailable, VARIANT_FALSE, "RunOnlyIfNetworkAvailable"},
    };
    for (const Flag& flag : flags) {
        VARIANT_BOOL value = 7;
        EXPECT_HRESULT_SUCCEEDED((settings.get()->*flag.get)(&value)) << flag.name;
        EXPECT_EQ(value, flag.expected) << flag.name;
    }
    TASK_INSTANCES_POLICY instances = TASK_INSTANCES_PARALLEL;
    EXPECT_HRESULT_SUCCEEDED(settings->get_MultipleInstances(&instances));
    EXPECT_EQ(instances, TASK_INSTANCES_IGNORE_NEW);

    // Wine's action collection can be written but not read; elsewhere it must hold one action.
    rt::ComPtr<IActionCollection> actions;
    ASSERT_HRESULT_SUCCEEDED(def->get_Actions(actions.put()));
    LONG count = 0;
    if (SUCCEEDED(actions->get_Count(&count))) {
        EXPECT_EQ(count, 1);
    }
    IExecAction* exec = task.action.get();
    ASSERT_TRUE(exec);
    TASK_ACTION_TYPE type = TASK_ACTION_SEND_EMAIL;
    EXPECT_HRESULT_SUCCEEDED(exec->get_Type(&type));
    EXPECT_EQ(type, TASK_ACTION_EXEC);
    EXPECT_EQ(Text([&](BSTR* s) { return exec->get_Id(s); }), L"Vantorel - Ostrevi");
    EXPECT_EQ(Text([&](BSTR* s) { return exec->get_Path(s); }), L"C:\\Programs\\Vantorel\\Ostrevi.exe");
    EXPECT_EQ(Text([&](BSTR* s) { return exec->get_WorkingDirectory(s); }), L"C:\\Programs\\Vantorel");
    EXPECT_EQ(Text([&](BSTR* s) { return exec->get_Arguments(s); }), L"/startup");

    // Wine keeps no run level; where the scheduler does, it must be the highest.
    rt::ComPtr<IPrincipal> principal;
    ASSERT_HRESULT_SUCCEEDED(def->get_Principal(principal.put()));
    TASK_RUNLEVEL_TYPE level = TASK_RUNLEVEL_LUA;
    if (SUCCEEDED(principal->get_RunLevel(&level))) {
        EXPECT_EQ(level, TASK_RUNLEVEL_HIGHEST);
    }
}

} // namespace
