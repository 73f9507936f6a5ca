#include "outer_voices.h"

#include <oleauto.h>

#include <cstring>
#include <cwchar>

#include "engine_api.h"

namespace {

std::wstring Wide(const std::string &text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    }
    wide.resize(std::wcslen(wide.c_str()));
    return wide;
}

// A file beside the program, never one found along the search path.
HMODULE LoadBesideProgram(const char *name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return nullptr;
    }
    char *slash = std::strrchr(path, '\\');
    if (slash == nullptr || (slash + 1 - path) + std::strlen(name) >= sizeof path) {
        return nullptr;
    }
    std::strcpy(slash + 1, name);
    return LoadLibraryA(path);
}

template <typename Fn> bool Resolve(HMODULE module, const char *name, Fn &fn) {
    fn = module != nullptr
             ? reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)))
             : nullptr;
    return fn != nullptr;
}

// speech-dispatcher, through the Linux engine: it reports the end and the
// cancellation of each message, and cancels this program's messages only.
class SpeechService : public OuterVoice {
  public:
    bool Found(HMODULE engine) {
        return Resolve(engine, "ServiceSay", say_) && Resolve(engine, "ServiceCancel", cancel_) &&
               Resolve(engine, "ServiceBusy", busy_) && Resolve(engine, "ServiceVoice", voice_) &&
               Resolve(engine, "ServiceClose", close_);
    }
    ~SpeechService() override {
        if (close_ != nullptr) {
            close_();
        }
    }

    bool Say(const std::string &text, SpeechKind kind) override {
        const int32_t priority = kind == SpeechKind::Alarm       ? kServiceImportant
                                 : kind == SpeechKind::Clipboard ? kServiceText
                                                                 : kServiceMessage;
        return say_(text.c_str(), priority) == 0;
    }
    void Cancel() override { cancel_(); }
    bool ReportsEnd() const override { return true; }
    bool Busy() override { return busy_() > 0; }
    void SetVoice(int32_t speaker, int32_t rate, int32_t volume) override {
        voice_(speaker, rate, volume);
    }

  private:
    ServiceSayFn say_ = nullptr;
    ServiceCancelFn cancel_ = nullptr;
    ServiceBusyFn busy_ = nullptr;
    ServiceVoiceFn voice_ = nullptr;
    ServiceCloseFn close_ = nullptr;
};

// NVDA's controller client, the library NVDA publishes for this, shipped
// beside the program: it speaks in NVDA's own voice and tells whether NVDA
// runs; it gives no notice of the end of speech.
class Nvda : public OuterVoice {
  public:
    bool Found() {
        HMODULE client = LoadBesideProgram(sizeof(void *) == 8 ? "nvdaControllerClient64.dll"
                                                               : "nvdaControllerClient32.dll");
        return Resolve(client, "nvdaController_testIfRunning", running_) &&
               Resolve(client, "nvdaController_speakText", speak_) &&
               Resolve(client, "nvdaController_cancelSpeech", cancel_);
    }

    // An alarm is spoken at once, as on the speech service.
    bool Say(const std::string &text, SpeechKind kind) override {
        if (running_() != 0) {
            return false;
        }
        if (kind == SpeechKind::Alarm) {
            cancel_();
        }
        return speak_(Wide(text).c_str()) == 0;
    }
    void Cancel() override { cancel_(); }

  private:
    using RunningFn = unsigned long(WINAPI *)();
    using SpeakFn = unsigned long(WINAPI *)(const wchar_t *);
    RunningFn running_ = nullptr;
    SpeakFn speak_ = nullptr;
    RunningFn cancel_ = nullptr;
};

// JAWS's automation object, called by name: SayString(text, flush) and
// StopSpeech.  SayString answers false while JAWS does not run.
class Jaws : public OuterVoice {
  public:
    bool Say(const std::string &text, SpeechKind kind) override {
        IDispatch *jaws = Create();
        if (jaws == nullptr) {
            return false;
        }
        BSTR words = SysAllocString(Wide(text).c_str());
        VARIANT args[2]; // in reverse order: flush, then the text
        VariantInit(&args[0]);
        args[0].vt = VT_BOOL;
        args[0].boolVal = kind == SpeechKind::Alarm ? VARIANT_TRUE : VARIANT_FALSE;
        VariantInit(&args[1]);
        args[1].vt = VT_BSTR;
        args[1].bstrVal = words;
        VARIANT result;
        VariantInit(&result);
        const bool said = Call(jaws, L"SayString", args, 2, result) &&
                          (result.vt != VT_BOOL || result.boolVal != VARIANT_FALSE);
        VariantClear(&result);
        SysFreeString(words);
        jaws->Release();
        return said;
    }
    void Cancel() override {
        IDispatch *jaws = Create();
        if (jaws != nullptr) {
            VARIANT result;
            VariantInit(&result);
            Call(jaws, L"StopSpeech", nullptr, 0, result);
            VariantClear(&result);
            jaws->Release();
        }
    }

  private:
    // Made afresh for each use, so that JAWS started or ended meanwhile is seen.
    IDispatch *Create() {
        if (!comReady_) {
            const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            comReady_ = SUCCEEDED(started) || started == RPC_E_CHANGED_MODE;
        }
        CLSID id;
        IDispatch *jaws = nullptr;
        if (!comReady_ || FAILED(CLSIDFromProgID(L"FreedomSci.JawsApi", &id)) ||
            FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                    IID_IDispatch, reinterpret_cast<void **>(&jaws)))) {
            return nullptr;
        }
        return jaws;
    }

    static bool Call(IDispatch *object, const wchar_t *name, VARIANT *args, UINT count,
                     VARIANT &result) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
            return false;
        }
        DISPPARAMS params{args, nullptr, count, 0};
        return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                        &result, nullptr, nullptr));
    }

    bool comReady_ = false;
};

// UI Automation notification events, heard by Narrator (and other readers)
// while a client listens.  Found in uiautomationcore.dll at run time: older
// systems, and Wine, lack the event.
class Notifications : public OuterVoice {
  public:
    explicit Notifications(HWND window) : window_(window) {}

    bool Found() {
        HMODULE core = LoadLibraryA("uiautomationcore.dll");
        return Resolve(core, "UiaRaiseNotificationEvent", raise_) &&
               Resolve(core, "UiaHostProviderFromHwnd", provider_) &&
               Resolve(core, "UiaClientsAreListening", listening_);
    }

    bool Say(const std::string &text, SpeechKind kind) override {
        IUnknown *element = nullptr;
        if (!listening_() || FAILED(provider_(window_, &element)) || element == nullptr) {
            return false;
        }
        // NotificationKind_Other; NotificationProcessing_ImportantAll, All, MostRecent.
        const int processing = kind == SpeechKind::Alarm       ? 0
                               : kind == SpeechKind::Clipboard ? 3
                                                               : 2;
        BSTR words = SysAllocString(Wide(text).c_str());
        BSTR activity = SysAllocString(L"Orvanel");
        const HRESULT raised = raise_(element, 4, processing, words, activity);
        SysFreeString(activity);
        SysFreeString(words);
        element->Release();
        return SUCCEEDED(raised);
    }
    void Cancel() override {} // a notification cannot be called back

  private:
    using RaiseFn = HRESULT(WINAPI *)(IUnknown *, int, int, BSTR, BSTR);
    using ProviderFn = HRESULT(WINAPI *)(HWND, IUnknown **);
    using ListeningFn = BOOL(WINAPI *)();
    HWND window_;
    RaiseFn raise_ = nullptr;
    ProviderFn provider_ = nullptr;
    ListeningFn listening_ = nullptr;
};

} // namespace

std::vector<std::unique_ptr<OuterVoice>> FindOuterVoices(HMODULE engine, HWND window) {
    std::vector<std::unique_ptr<OuterVoice>> voices;
    auto service = std::make_unique<SpeechService>();
    if (service->Found(engine)) {
        voices.push_back(std::move(service));
    }
    auto nvda = std::make_unique<Nvda>();
    if (nvda->Found()) {
        voices.push_back(std::move(nvda));
    }
    voices.push_back(std::make_unique<Jaws>());
    auto notifications = std::make_unique<Notifications>(window);
    if (notifications->Found()) {
        voices.push_back(std::move(notifications));
    }
    return voices;
}
