// The log-on task that starts Ostrevi hidden at every user log-on: Task Scheduler 2.0, and
// the attempt at the older scheduler's component on versions below 6.0.
#pragma once

#include "runtime/ComApartment.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <taskschd.h>

#include <optional>
#include <string>

namespace vantorel::ostrevi {

// The task's name; also its author and its action's identifier.
inline constexpr const wchar_t* kStartupTaskName = L"Vantorel - Ostrevi";
inline constexpr const wchar_t* kStartupTaskDescription = L"Created By Vantorel - Ostrevi";
inline constexpr const wchar_t* kStartupTaskArguments = L"/startup";

// The step of a task operation that failed.
enum class TaskStep {
    None,
    Service,
    Connect,
    NewTask,
    RegistrationInfo,
    Settings,
    LogonTrigger,
    Principal,
    Action,
    Folder,
    Register,
    Delete,
    OlderScheduler,
};

struct TaskResult {
    TaskStep failedStep = TaskStep::None;
    HRESULT hr = S_OK;
    bool Succeeded() const { return failedStep == TaskStep::None; }
};

// True when the Windows version text names a version below 6.0, compared as numbers. A text
// without a version takes the Task Scheduler 2.0 path, the one every supported system has.
bool UsesOlderTaskScheduler(const std::wstring& osVersion);

// Connects to the local Task Scheduler as the current user. Needs a ComApartment.
TaskResult ConnectTaskService(rt::ComPtr<ITaskService>& service);

struct StartupTask {
    rt::ComPtr<ITaskDefinition> definition;
    // The start action inside the definition; not every scheduler hands it back from there.
    rt::ComPtr<IExecAction> action;
};

// A new definition holding every value of the log-on task for the program in `appFolder`.
// Every step runs so that the definition is complete where it can be; the first failing
// step is reported, and a definition with a failed step must not be registered.
TaskResult BuildStartupTask(ITaskService* service, const std::wstring& appFolder, StartupTask& task);

// Registers the log-on task. Nothing is registered unless every step of the definition took.
// A task of that name already registered is left as it is and counts as success.
TaskResult RegisterStartupTask(const std::wstring& appFolder);

// Removes the log-on task; a task that does not exist counts as removed.
TaskResult DeleteStartupTask();

// The older task scheduler's outside component, created on first use and kept by the form.
class OlderTaskScheduler {
public:
    TaskResult CreateTask(const std::wstring& appFolder);
    TaskResult DeleteTask();

private:
    HRESULT EnsureComponent();

    // Entered with the component and left after it is released.
    std::optional<rt::ComApartment> com_;
    rt::ComPtr<IUnknown> scheduler_;
};

} // namespace vantorel::ostrevi
