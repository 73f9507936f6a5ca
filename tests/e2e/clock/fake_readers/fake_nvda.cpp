// NVDA's controller client as the program calls it: is-running, speak and
// cancel, each answering 0 for success.
#include "reader_log.h"

extern "C" {

__declspec(dllexport) unsigned long WINAPI nvdaController_testIfRunning() {
    LogCall("nvda", "test");
    return Running("ORVANEL_FAKE_NVDA_RUNNING") ? 0 : 1717; // RPC_S_UNKNOWN_IF
}

__declspec(dllexport) unsigned long WINAPI nvdaController_speakText(const wchar_t *text) {
    LogCall("nvda", "speak", text);
    return 0;
}

__declspec(dllexport) unsigned long WINAPI nvdaController_cancelSpeech() {
    LogCall("nvda", "cancel");
    return 0;
}

} // extern "C"
