#include "engine.h"

#include <cstring>

#include "clock_window.h"
#include "resources.h"
#include "settings_catalogue.h"

std::atomic<int32_t> EngineErrorMessageId{0};
std::atomic<uint32_t> EngineErrorsReported{0};
std::atomic<int32_t> EngineErrorShown{0};

namespace {

const char kEngineFileName[] = "DECTALK.dll";
const char kEngineErrorMessageName[] = "DECtalkErrorMessage";

// The full path of DECTALK.dll beside the program; false when it would not fit.
bool EnginePathInProgramFolder(char (&path)[MAX_PATH]) {
    std::memset(path, 0, sizeof path);
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return false;
    }
    char *nameStart = path;
    for (char *c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            nameStart = c + 1;
        }
    }
    const size_t folderLength = static_cast<size_t>(nameStart - path);
    if (folderLength + sizeof kEngineFileName > sizeof path) {
        return false;
    }
    std::memcpy(nameStart, kEngineFileName, sizeof kEngineFileName);
    return true;
}

// The program's own copy first, so that another DECTALK.dll on the path is
// only used when none was shipped beside the program.
HMODULE LoadEngineModule(DWORD &error) {
    char path[MAX_PATH];
    if (EnginePathInProgramFolder(path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        HMODULE module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        error = module != nullptr ? 0 : GetLastError();
        return module;
    }
    HMODULE module = LoadLibraryA(kEngineFileName);
    error = module != nullptr ? 0 : GetLastError();
    return module;
}

} // namespace

DWORD LoadEngineLibrary(EngineLibrary &engine) {
    engine = EngineLibrary();
    DWORD error = 0;
    HMODULE module = LoadEngineModule(error);
    if (module == nullptr) {
        return error != 0 ? error : static_cast<DWORD>(ERROR_MOD_NOT_FOUND);
    }
    engine.module = module;
    error = ResolveEngineFunctions(module, engine);
    if (error != 0) {
        FreeLibrary(module);
        engine = EngineLibrary();
    }
    return error;
}

UINT RegisterEngineErrorMessage() {
    const UINT messageId = RegisterWindowMessageA(kEngineErrorMessageName);
    EngineErrorMessageId.store(static_cast<int32_t>(messageId));
    return messageId;
}

uint32_t WindowToCallbackValue(HWND window) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

HWND CallbackValueToWindow(uint32_t value) {
    // Handles are sign-extended when widened, as the platform does itself.
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

void ENGINE_CALL EngineErrorNotification(int32_t kind, int32_t, uint32_t user, uint32_t messageId) {
    // A registered message's id is never 0, so 0 matches nothing.
    if (messageId == 0 || messageId != static_cast<uint32_t>(EngineErrorMessageId.load())) {
        return;
    }
    UINT textId = 0;
    switch (kind) {
    case kEngineErrorWrite:
        textId = IDS_AUDIO_WRITE_FAILED;
        break;
    case kEngineErrorOpen:
        textId = IDS_AUDIO_OPEN_FAILED;
        break;
    case kEngineErrorCaps:
        textId = IDS_AUDIO_CAPS_FAILED;
        break;
    default:
        return;
    }
    EngineErrorsReported.fetch_add(1);
    if (EngineErrorShown.exchange(1) == 0) {
        PostMessageA(CallbackValueToWindow(user), kEngineAudioErrorMessage, textId, 0);
    }
}

void NoteSpeechWorked() {
    EngineErrorShown.store(0);
}
