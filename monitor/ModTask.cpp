#include "monitor/ModTask.h"

#include "common/core/TextHandling.h"

#include <oleauto.h>

namespace vantorel::ostrevi {

namespace {

// The older scheduler's component and its default interface.
constexpr CLSID kOlderSchedulerClass = {0x5E360B21, 0x74BE, 0x4155, {0x92, 0x17, 0xB1, 0x18, 0xF8, 0x8E, 0x56, 0xD7}};
constexpr IID kOlderSchedulerInterface = {0xCA246CF8, 0x9237, 0x4E26, {0x92, 0x3F, 0x29, 0x1A, 0x07, 0x7A, 0xBF, 0x5E}};

// Remembers the first failing step; later steps still run.
class StepLog {
public:
    void Check(TaskStep step, HRESULT hr)
    {
        if (FAILED(hr) && result_.Succeeded())
            result_ = {step, hr};
    }
    const TaskResult& Result() const { return result_; }

private:
    TaskResult result_;
};

HRESULT SetRegistrationInfo(ITaskDefinition* def)
{
    rt::ComPtr<IRegistrationInfo> info;
    HRESULT hr = def->get_RegistrationInfo(info.put());
    if (FAILED(hr))
        return hr;
    HRESULT first = info->put_Author(rt::Bstr(kStartupTaskName));
    HRESULT second = info->put_Description(rt::Bstr(kStartupTaskDescription));
    return FAILED(first) ? first : second;
}

HRESULT SetTaskSettings(ITaskDefinition* def)
{
    rt::ComPtr<ITaskSettings> settings;
    HRESULT hr = def->get_Settings(settings.put());
    if (FAILED(hr))
        return hr;
    HRESULT results[] = {
        settings->put_ExecutionTimeLimit(rt::Bstr(L"PT0S")), // no time limit
        settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE),
        settings->put_StopIfGoingOnBatteries(VARIANT_FALSE),
        settings->put_AllowHardTerminate(VARIANT_TRUE),
        settings->put_AllowDemandStart(VARIANT_TRUE),
        settings->put_WakeToRun(VARIANT_TRUE),
        settings->put_RunOnlyIfIdle(VARIANT_FALSE),
        settings->put_RunOnlyIfNetworkAvailable(VARIANT_FALSE),
        settings->put_MultipleInstances(TASK_INSTANCES_IGNORE_NEW),
    };
    for (HRESULT r : results) {
        if (FAILED(r))
            return r;
    }
    return S_OK;
}

HRESULT AddLogonTrigger(ITaskDefinition* def)
{
    rt::ComPtr<ITriggerCollection> triggers;
    HRESULT hr = def->get_Triggers(triggers.put());
    if (FAILED(hr))
        return hr;
    // No user and no delay: it fires at the log-on of any user.
    rt::ComPtr<ITrigger> trigger;
    return triggers->Create(TASK_TRIGGER_LOGON, trigger.put());
}

HRESULT SetHighestRunLevel(ITaskDefinition* def)
{
    rt::ComPtr<IPrincipal> principal;
    HRESULT hr = def->get_Principal(principal.put());
    if (FAILED(hr))
        return hr;
    return principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST);
}

HRESULT AddStartAction(ITaskDefinition* def, const std::wstring& appFolder, rt::ComPtr<IExecAction>& exec)
{
    rt::ComPtr<IActionCollection> actions;
    HRESULT hr = def->get_Actions(actions.put());
    if (FAILED(hr))
        return hr;
    rt::ComPtr<IAction> action;
    hr = actions->Create(TASK_ACTION_EXEC, action.put());
    if (FAILED(hr))
        return hr;
    hr = action->QueryInterface(IID_IExecAction, exec.put_void());
    if (FAILED(hr))
        return hr;
    HRESULT results[] = {
        action->put_Id(rt::Bstr(kStartupTaskName)),
        exec->put_Path(rt::Bstr(appFolder + L"\\Ostrevi.exe")),
        exec->put_WorkingDirectory(rt::Bstr(appFolder)),
        exec->put_Arguments(rt::Bstr(kStartupTaskArguments)),
    };
    for (HRESULT r : results) {
        if (FAILED(r))
            return r;
    }
    return S_OK;
}

HRESULT RootFolder(ITaskService* service, rt::ComPtr<ITaskFolder>& folder)
{
    return service->GetFolder(rt::Bstr(L"\\"), folder.put());
}

} // namespace

bool UsesOlderTaskScheduler(const std::wstring& osVersion)
{
    auto order = CompareWindowsVersion(osVersion, 6, 0);
    return order && *order < 0;
}

TaskResult ConnectTaskService(rt::ComPtr<ITaskService>& service)
{
    HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.put_void());
    if (FAILED(hr))
        return {TaskStep::Service, hr};
    // Four empty values: the local machine, as the current user.
    rt::Variant none;
    hr = service->Connect(none, none, none, none);
    if (FAILED(hr))
        return {TaskStep::Connect, hr};
    return {};
}

TaskResult BuildStartupTask(ITaskService* service, const std::wstring& appFolder, StartupTask& task)
{
    rt::ComPtr<ITaskDefinition>& def = task.definition;
    HRESULT hr = service->NewTask(0, def.put());
    if (FAILED(hr))
        return {TaskStep::NewTask, hr};
    StepLog log;
    log.Check(TaskStep::RegistrationInfo, SetRegistrationInfo(def.get()));
    log.Check(TaskStep::Settings, SetTaskSettings(def.get()));
    log.Check(TaskStep::LogonTrigger, AddLogonTrigger(def.get()));
    log.Check(TaskStep::Principal, SetHighestRunLevel(def.get()));
    log.Check(TaskStep::Action, AddStartAction(def.get(), appFolder, task.action));
    return log.Result();
}

TaskResult RegisterStartupTask(const std::wstring& appFolder)
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    if (TaskResult r = ConnectTaskService(service); !r.Succeeded())
        return r;
    StartupTask task;
    // A task without its trigger, or missing any other value, would never start the
    // program as asked: such a definition is not registered.
    if (TaskResult r = BuildStartupTask(service.get(), appFolder, task); !r.Succeeded())
        return r;
    rt::ComPtr<ITaskFolder> folder;
    if (HRESULT hr = RootFolder(service.get(), folder); FAILED(hr))
        return {TaskStep::Folder, hr};
    rt::Variant none;
    rt::Variant sddl(L"");
    rt::ComPtr<IRegisteredTask> registered;
    // Create only: a task of that name already there stays as it is.
    HRESULT hr = folder->RegisterTaskDefinition(rt::Bstr(kStartupTaskName), task.definition.get(), TASK_CREATE, none,
                                                none, TASK_LOGON_INTERACTIVE_TOKEN, sddl, registered.put());
    if (hr == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS))
        return {};
    if (FAILED(hr))
        return {TaskStep::Register, hr};
    return {};
}

TaskResult DeleteStartupTask()
{
    rt::ComApartment com;
    rt::ComPtr<ITaskService> service;
    if (TaskResult r = ConnectTaskService(service); !r.Succeeded())
        return r;
    rt::ComPtr<ITaskFolder> folder;
    if (HRESULT hr = RootFolder(service.get(), folder); FAILED(hr))
        return {TaskStep::Folder, hr};
    HRESULT hr = folder->DeleteTask(rt::Bstr(kStartupTaskName), 0);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return {};
    if (FAILED(hr))
        return {TaskStep::Delete, hr};
    return {};
}

HRESULT OlderTaskScheduler::EnsureComponent()
{
    if (scheduler_)
        return S_OK;
    com_.emplace();
    HRESULT hr = CoCreateInstance(kOlderSchedulerClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  kOlderSchedulerInterface, scheduler_.put_void());
    if (FAILED(hr))
        com_.reset();
    return hr;
}

// The component lies outside this system and this build binds none of its operations: where
// it is missing, as on every system this build runs on, creating it fails and so does the
// operation; where it exists, the operation reports failure rather than claim a task.
TaskResult OlderTaskScheduler::CreateTask(const std::wstring&)
{
    HRESULT hr = EnsureComponent();
    return {TaskStep::OlderScheduler, FAILED(hr) ? hr : E_NOTIMPL};
}

TaskResult OlderTaskScheduler::DeleteTask()
{
    HRESULT hr = EnsureComponent();
    return {TaskStep::OlderScheduler, FAILED(hr) ? hr : E_NOTIMPL};
}

} // namespace vantorel::ostrevi
