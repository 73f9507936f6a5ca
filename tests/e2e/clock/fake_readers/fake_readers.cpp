// Two screen readers' stand-ins in one DLL, named as NVDA's controller client
// and registered by the test as JAWS's automation object.  Each logs what it
// is asked to ORVANEL_FAKE_READER_LOG, and "runs" while the file named by
// ORVANEL_FAKE_NVDA_RUNNING or ORVANEL_FAKE_JAWS_RUNNING exists.
#include <windows.h>
#include <ole2.h>

#include <string>

namespace {

void Log(const char *call, const wchar_t *text = L"") {
    char path[MAX_PATH], words[1024] = {};
    if (GetEnvironmentVariableA("ORVANEL_FAKE_READER_LOG", path, MAX_PATH) - 1 >= MAX_PATH - 1)
        return;
    WideCharToMultiByte(CP_ACP, 0, text, -1, words, sizeof words - 1, nullptr, nullptr);
    const std::string line = std::string(call) + "\t" + words + "\n";
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(file);
}

bool Runs(const char *variable) {
    char path[MAX_PATH];
    return GetEnvironmentVariableA(variable, path, MAX_PATH) - 1 < MAX_PATH - 1 &&
           GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// SayString(text, flush) and StopSpeech by name; both answer whether JAWS runs.
class Jaws final : public IDispatch, public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        *out = IsEqualIID(iid, IID_IClassFactory) ? static_cast<IClassFactory *>(this)
               : IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IUnknown)
                   ? static_cast<void *>(static_cast<IDispatch *>(this))
                   : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // one object for the process
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, REFIID iid, void **out) override {
        return QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT, LCID,
                                            DISPID *ids) override {
        ids[0] = lstrcmpW(names[0], L"SayString") == 0    ? 1
                 : lstrcmpW(names[0], L"StopSpeech") == 0 ? 2
                                                          : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    // Arguments arrive last first: flush, then the text.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *, UINT *) override {
        const bool runs = Runs("ORVANEL_FAKE_JAWS_RUNNING");
        const bool say = id == 1;
        if (say && (params->cArgs != 2 || params->rgvarg[0].vt != VT_BOOL ||
                    params->rgvarg[1].vt != VT_BSTR))
            return DISP_E_TYPEMISMATCH;
        if (runs)
            Log(!say                        ? "jaws stop"
                : params->rgvarg[0].boolVal ? "jaws say flush"
                                            : "jaws say",
                say ? params->rgvarg[1].bstrVal : L"");
        result->vt = VT_BOOL;
        result->boolVal = runs ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
} TheJaws;

} // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID iid, void **out) {
    return TheJaws.QueryInterface(iid, out);
}

__declspec(dllexport) unsigned long WINAPI nvdaController_testIfRunning() {
    return Runs("ORVANEL_FAKE_NVDA_RUNNING") ? 0 : 1717; // RPC_S_UNKNOWN_IF
}

__declspec(dllexport) unsigned long WINAPI nvdaController_speakText(const wchar_t *text) {
    Log("nvda speak", text);
    return 0;
}

__declspec(dllexport) unsigned long WINAPI nvdaController_cancelSpeech() {
    Log("nvda cancel");
    return 0;
}

} // extern "C"
