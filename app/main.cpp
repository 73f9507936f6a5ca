// Process entry: one instance, the configuration located, the main window and
// the ClockThread built, the message loop, and the ordered shutdown.
#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>

#include "../clock/clock_thread.h"
#include "../res/resources.h"
#include "../settings/setting_parse.h"
#include "../settings/settings_store.h"
#include "../ui/main_window.h"
#include "../ui/tray.h"
#include "startup.h"

extern WINDOWPLACEMENT StartupPlacement;

namespace {

// What start-up has built so far; undone newest first on failure.
enum class Built { Nothing, Mutex, WindowClass, MainWindow, Accelerators };

struct StartupState {
    HANDLE instanceMutex = nullptr;
    HWND mainWindow = nullptr;
    HACCEL accelerators = nullptr;
    char caption[kTextBufferSize];
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
    char text[kTextBufferSize];
    LoadText(textId, text);
    MessageBoxA(nullptr, text, state.caption, MB_OK | MB_ICONERROR);
    Undo(state, built);
    return 0;
}

bool ContinueOnOldWindows() {
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (version.dwMajorVersion >= 4) {
        return true;
    }
    char caption[kTextBufferSize];
    char text[kTextBufferSize];
    LoadText(IDS_CAPTION_WARNING, caption);
    LoadText(IDS_OLD_WINDOWS, text);
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// The first instance is visible: bring it forward.  Hidden: offer to restore
// it.  Not yet windowed: leave quietly.
void ActivateFirstInstance() {
    HWND first = FindWindowA(kMainWindowClass, kMainWindowClass);
    if (first == nullptr) {
        return;
    }
    if (IsWindowVisible(first)) {
        ShowWindow(first, SW_RESTORE);
        SetForegroundWindow(first);
        return;
    }
    char caption[kTextBufferSize];
    char text[kTextBufferSize];
    LoadText(IDS_CAPTION_INFORMATION, caption);
    LoadText(IDS_ALREADY_RUNNING, text);
    if (MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES) {
        RestoreFromTray(first);
    }
}

enum class Step { Done, Failed };

// Moves the working directory to the executable's folder.  A path that does
// not fit the buffer fails rather than running on a cut one.
Step MoveToExecutableFolder() {
    char path[kTextBufferSize];
    std::memset(path, 0, sizeof path);
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

// UseRegistry as stored by the Set INI Path dialog (a DWORD); a number typed
// by hand as text counts too, anything else reads as absent.
int32_t ReadUseRegistryValue(HKEY product) {
    BYTE data[kTextBufferSize];
    std::memset(data, 0, sizeof data);
    DWORD type = REG_NONE;
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(product, kValueUseRegistry, nullptr, &type, data, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    if ((type == REG_DWORD || type == REG_BINARY) && size == sizeof(int32_t)) {
        int32_t value;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        return ParseSettingInt(reinterpret_cast<const char *>(data), size);
    }
    return 0;
}

// ConfigFile and UseRegistry from the product key.  An oversized or foreign
// ConfigFile is ignored: the default path stays.
Step ReadConfigurationLocation() {
    HKEY product = nullptr;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, &product);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return Step::Done;
    }
    if (opened != ERROR_SUCCESS) {
        return Step::Failed;
    }
    char configFile[kTextBufferSize];
    std::memset(configFile, 0, sizeof configFile);
    DWORD type = REG_NONE;
    DWORD size = sizeof configFile;
    if (RegQueryValueExA(product, kValueConfigFile, nullptr, &type,
                         reinterpret_cast<BYTE *>(configFile), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || configFile[sizeof configFile - 1] != '\0') {
        std::memset(configFile, 0, sizeof configFile);
    }
    UseRegistry = ReadUseRegistryValue(product);
    RegCloseKey(product);
    if (configFile[0] != '\0') {
        std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
        lstrcpynA(ConfigFilePath, configFile, sizeof ConfigFilePath);
    }
    return Step::Done;
}

void InitialiseCommonControls() {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&controls);
}

bool RegisterMainWindowClass() {
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = InstanceHandle;
    windowClass.hIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_ORVANEL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

// Shown where the platform put it, then moved to the saved placement.
void ShowMainWindow(HWND window, const char *commandLine, int showCommand) {
    if (HasSwitch(commandLine, "/h") || ReadFlag(Setting::StartHidden)) {
        HideToTray(window);
        return;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    if (ReadFlag(Setting::SavePosition)) {
        WINDOWPLACEMENT placement;
        std::memset(&placement, 0, sizeof placement);
        if (ReadStruct(Setting::WindowPlacement, &placement)) {
            SetWindowPlacement(window, &placement);
        }
    }
}

int RunMessageLoop(HWND window, HACCEL accelerators) {
    MSG message;
    std::memset(&message, 0, sizeof message);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    StartupState state;
    std::memset(&StartupPlacement, 0, sizeof StartupPlacement);
    std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
    std::memset(state.caption, 0, sizeof state.caption);
    InstanceHandle = instance;

    if (!ContinueOnOldWindows()) {
        return 0;
    }
    LoadText(IDS_CAPTION_ERROR, state.caption);

    state.instanceMutex = CreateMutexA(nullptr, FALSE, "Orvanel");
    if (state.instanceMutex == nullptr) {
        return FailStartup(state, IDS_MUTEX_FAILED, Built::Nothing);
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ActivateFirstInstance();
        return 0;
    }

    if (MoveToExecutableFolder() == Step::Failed) {
        return FailStartup(state, IDS_SET_DIRECTORY_FAILED, Built::Mutex);
    }
    if (LocateDefaultConfigFile() == Step::Failed) {
        return FailStartup(state, IDS_GET_DIRECTORY_FAILED, Built::Mutex);
    }
    if (ReadConfigurationLocation() == Step::Failed) {
        return FailStartup(state, IDS_REGISTRY_FAILED, Built::Mutex);
    }
    InitialiseCommonControls();

    if (!RegisterMainWindowClass()) {
        return FailStartup(state, IDS_CLASS_FAILED, Built::Mutex);
    }
    state.mainWindow = CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       nullptr, nullptr, InstanceHandle, nullptr);
    if (state.mainWindow == nullptr) {
        return FailStartup(state, IDS_WINDOW_FAILED, Built::WindowClass);
    }
    state.accelerators = LoadAcceleratorsA(InstanceHandle, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    if (state.accelerators == nullptr) {
        return FailStartup(state, IDS_ACCELERATORS_FAILED, Built::MainWindow);
    }
    DWORD clockThreadId = 0;
    HANDLE clockThread =
        CreateThread(nullptr, 0, ClockThread, state.mainWindow, CREATE_SUSPENDED, &clockThreadId);
    if (clockThread == nullptr) {
        return FailStartup(state, IDS_THREAD_FAILED, Built::Accelerators);
    }

    ShowMainWindow(state.mainWindow, commandLine, showCommand);
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
