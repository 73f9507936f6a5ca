// Process entry: one instance, the configuration located, the main window and
// the ClockThread built, the message loop, and the ordered shutdown.
#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>

#include "../clock/clock_thread.h"
#include "resources.h"
#include "../dialogs/dialogs.h"
#include "../settings/config_location.h"
#include "../settings/settings_store.h"
#include "../ui/main_window.h"
#include "../ui/tray.h"
#include "startup.h"

namespace {

// What start-up has built so far; undone newest first on failure.
enum class Built { Nothing, Mutex, WindowClass, MainWindow, Accelerators };

struct StartupState {
    HANDLE instanceMutex = nullptr;
    HWND mainWindow = nullptr;
    HACCEL accelerators = nullptr;
};

void Undo(StartupState &state, Built built) {
    switch (built) {
    case Built::Accelerators:
        DestroyAcceleratorTable(state.accelerators);
        [[fallthrough]];
    case Built::MainWindow:
        DestroyWindow(state.mainWindow);
        [[fallthrough]];
    case Built::WindowClass:
        UnregisterClassA(kMainWindowClass, InstanceHandle);
        [[fallthrough]];
    case Built::Mutex:
        ReleaseMutex(state.instanceMutex);
        [[fallthrough]];
    case Built::Nothing:
        break;
    }
}

// Shows string textId in an ownerless error box, undoes what exists, and gives
// the exit code of every start-up failure.
int FailStartup(StartupState &state, UINT textId, Built built) {
    ShowMessageBox(nullptr, IDS_CAPTION_ERROR, textId, MB_OK | MB_ICONERROR);
    Undo(state, built);
    return 0;
}

bool ContinueOnOldWindows() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (version.dwMajorVersion >= 4) {
        return true;
    }
    return ShowMessageBox(nullptr, IDS_CAPTION_WARNING, IDS_OLD_WINDOWS,
                          MB_YESNO | MB_ICONWARNING) == IDYES;
}

// The first instance is visible: bring it forward.  Hidden: offer to restore
// it.
void ActivateFirstInstance(HWND first) {
    if (IsWindowVisible(first)) {
        ShowWindow(first, SW_RESTORE);
        SetForegroundWindow(first);
        return;
    }
    if (ShowMessageBox(nullptr, IDS_CAPTION_INFORMATION, IDS_ALREADY_RUNNING,
                       MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        RestoreFromTray(first);
    }
}

// Longer than an instance that is ending may take (it waits at most a minute
// for its ClockThread).
const DWORD kInstanceWaitMs = 65000;
const DWORD kInstanceLookMs = 100;

enum class Instance { First, Another };

// Another instance holds the mutex: one whose window exists is brought
// forward; one without a window is starting or ending, so this start waits
// for it to end (taking its place) or for its window to appear.
Instance WaitForOtherInstance(HANDLE mutex) {
    const ULONGLONG deadline = GetTickCount64() + kInstanceWaitMs;
    for (;;) {
        HWND first = FindWindowA(kMainWindowClass, kMainWindowClass);
        if (first != nullptr) {
            ActivateFirstInstance(first);
            return Instance::Another;
        }
        const DWORD result = WaitForSingleObject(mutex, kInstanceLookMs);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            return Instance::First;
        }
        if (result == WAIT_FAILED || GetTickCount64() >= deadline) {
            return Instance::Another;
        }
    }
}

enum class Step { Done, Failed };

// Moves the working directory to the executable's folder.  A path that does
// not fit the buffer fails rather than running on a cut one.
Step MoveToExecutableFolder() {
    char path[kTextBufferSize]{};
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0) {
        return Step::Done;
    }
    if (length >= sizeof path || GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        return Step::Failed;
    }
    if (!PathRemoveFileSpecA(path)) {
        return Step::Done;
    }
    return SetCurrentDirectoryA(path) ? Step::Done : Step::Failed;
}

Step LocateDefaultConfigFile() {
    std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
    DWORD length = GetCurrentDirectoryA(sizeof ConfigFilePath, ConfigFilePath);
    if (length == 0 || length >= sizeof ConfigFilePath ||
        !AppendDefaultIniName(ConfigFilePath, sizeof ConfigFilePath)) {
        std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
        return Step::Failed;
    }
    return Step::Done;
}

// ConfigFile and UseRegistry, read as the Set INI Path dialog reads them.  An
// unusable ConfigFile is ignored: the default path stays.
Step ReadConfigurationLocation() {
    const ConfigLocation location = ReadConfigLocation();
    if (location.key == LocationKey::Failed) {
        return Step::Failed;
    }
    UseRegistry = location.useRegistry;
    if (location.configFile[0] != '\0') {
        std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
        lstrcpynA(ConfigFilePath, location.configFile, sizeof ConfigFilePath);
    }
    return Step::Done;
}

// Once for the process: the toolbar and status bar, and the Configuration
// dialog's trackbar and up-downs, whoever opens it (/c, the menu, the hot key).
void InitialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&controls);
}

// The keys act only on a window the user can see: after the tray menu the
// hidden window keeps the foreground, and a Del typed into what looks like
// another program must not ask to reset the configuration.
int RunMessageLoop(HWND window, HACCEL accelerators) {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsWindowVisible(window) || !TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    StartupState state;
    std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
    InstanceHandle = instance;

    if (!ContinueOnOldWindows()) {
        return 0;
    }

    // Owned for the life of the instance, so that a new start can wait for
    // an instance that is ending.
    state.instanceMutex = CreateMutexA(nullptr, TRUE, "Orvanel");
    if (state.instanceMutex == nullptr) {
        return FailStartup(state, IDS_MUTEX_FAILED, Built::Nothing);
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS &&
        WaitForOtherInstance(state.instanceMutex) == Instance::Another) {
        CloseHandle(state.instanceMutex);
        return 0;
    }

    if (MoveToExecutableFolder() == Step::Failed) {
        return FailStartup(state, IDS_SET_DIRECTORY_FAILED, Built::Mutex);
    }
    if (LocateDefaultConfigFile() == Step::Failed) {
        return FailStartup(state, IDS_GET_DIRECTORY_FAILED, Built::Mutex);
    }
    // Before the location is read, so that a choice made here counts now.
    if (HasSwitch(commandLine, "/i")) {
        ShowSetIniPathDialog(nullptr);
    }
    if (ReadConfigurationLocation() == Step::Failed) {
        return FailStartup(state, IDS_REGISTRY_FAILED, Built::Mutex);
    }
    InitialiseCommonControls();
    // Before the main window and the ClockThread, which starts with what was saved.
    if (HasSwitch(commandLine, "/c")) {
        ShowConfigurationDialog(nullptr);
    }

    if (!RegisterMainWindowClass()) {
        return FailStartup(state, IDS_CLASS_FAILED, Built::Mutex);
    }
    state.mainWindow = CreateMainWindow();
    if (state.mainWindow == nullptr) {
        return FailStartup(state, IDS_WINDOW_FAILED, Built::WindowClass);
    }
    state.accelerators = LoadAcceleratorsA(InstanceHandle, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    if (state.accelerators == nullptr) {
        return FailStartup(state, IDS_ACCELERATORS_FAILED, Built::MainWindow);
    }
    // The ClockThread's view of the window; it lives as long as the thread.
    static ClockWindow clockWindow;
    clockWindow = MainClockWindow(state.mainWindow);
    DWORD clockThreadId = 0;
    HANDLE clockThread =
        CreateThread(nullptr, 0, ClockThread, &clockWindow, CREATE_SUSPENDED, &clockThreadId);
    if (clockThread == nullptr) {
        return FailStartup(state, IDS_THREAD_FAILED, Built::Accelerators);
    }

    ShowMainWindow(state.mainWindow, HasSwitch(commandLine, "/h") || ReadFlag(Setting::StartHidden),
                   showCommand);
    ClockThreadRunning.store(1);
    ResumeThread(clockThread);

    int exitCode = RunMessageLoop(state.mainWindow, state.accelerators);

    ClockThreadRunning.store(0);
    WakeClockThread();
    WaitForSingleObject(clockThread, 60000);
    CloseHandle(clockThread);
    DestroyAcceleratorTable(state.accelerators);
    if (IsWindow(state.mainWindow)) {
        DestroyWindow(state.mainWindow);
    }
    UnregisterClassA(kMainWindowClass, InstanceHandle);
    ReleaseMutex(state.instanceMutex);
    return exitCode;
}
