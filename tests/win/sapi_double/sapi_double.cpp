// A SAPI 5 double: the classes the engine creates (SpVoice, SpStream,
// SpObjectTokenCategory) with the voices, enumerator and calls it uses, so that
// the SAPI build of the engine speaks under Wine, whose own SAPI cannot.
// Everything the engine does not call returns E_NOTIMPL.
//
// Steered by the environment of the process:
//   ORVANEL_SAPI_DOUBLE_VOICES=none   no voice is installed
//   ORVANEL_SAPI_DOUBLE_LOG=PATH      one line per SetVoice, SetRate and Speak
#include "speech_markup.h"

#include <windows.h>

#include <ole2.h>
// Defines the class and interface ids of the real SAPI, which we stand in for.
#include <initguid.h>
#include <sapi.h>
#include <sperror.h>

#include <cwctype>
#include <new>
#include <string>
#include <vector>

// SAPI's own codes that MinGW's sperror.h leaves out.
#ifndef SPERR_UNINITIALIZED
#define SPERR_UNINITIALIZED static_cast<HRESULT>(0x80045001)
#define SPERR_ALREADY_INITIALIZED static_cast<HRESULT>(0x80045002)
#define SPERR_UNSUPPORTED_FORMAT static_cast<HRESULT>(0x80045003)
#endif

namespace {

// Declared by MinGW's sapi.h but defined nowhere.
const GUID kWaveFormatExId = {
    0xC31ADBAE, 0x527F, 0x4FF5, {0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C}};
const wchar_t kTokenRoot[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\";

HMODULE g_module;

// The installed voices, in enumeration order.  No senior voice: Frank and Rita
// fall back to one of their gender, as on a Windows install with few voices.
struct Voice {
    const wchar_t *id;
    const wchar_t *attributes; // Name, Gender and Age, as a token's Attributes key holds them
    double hz;
};
const Voice kVoices[] = {
    {L"OrvanelTestMale", L"Name=Orvanel Test Male;Gender=Male;Age=Adult", 105},
    {L"OrvanelTestFemale", L"Name=Orvanel Test Female;Gender=Female;Age=Adult", 210},
    {L"OrvanelTestGirl", L"Name=Orvanel Test Girl;Gender=Female;Age=Child", 230},
};

bool voicesInstalled() {
    wchar_t value[16];
    DWORD n = GetEnvironmentVariableW(L"ORVANEL_SAPI_DOUBLE_VOICES", value, 16);
    return !(n > 0 && n < 16 && lstrcmpiW(value, L"none") == 0);
}

std::string utf8(const std::wstring &w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Fields separated by TAB; the last one may hold anything but a line break.
void logLine(const std::wstring &line) {
    wchar_t path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"ORVANEL_SAPI_DOUBLE_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    HANDLE f = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    std::string bytes = utf8(line) + "\n";
    DWORD written = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

wchar_t *coMemString(const std::wstring &s) {
    auto *out = static_cast<wchar_t *>(CoTaskMemAlloc((s.size() + 1) * sizeof(wchar_t)));
    if (out)
        lstrcpyW(out, s.c_str());
    return out;
}

// Case-insensitive "A=B;C" against a voice's attributes: every one must be there.
bool matches(const wchar_t *required, const wchar_t *attributes) {
    if (!required)
        return true;
    auto lower = [](std::wstring s) {
        for (wchar_t &c : s)
            c = wchar_t(std::towlower(c));
        return s;
    };
    std::wstring have = L";" + lower(attributes) + L";";
    std::wstring want = lower(required);
    for (size_t at = 0; at <= want.size();) {
        size_t end = want.find(L';', at);
        if (end == std::wstring::npos)
            end = want.size();
        std::wstring one = want.substr(at, end - at);
        bool found = one.find(L'=') != std::wstring::npos
                         ? have.find(L";" + one + L";") != std::wstring::npos
                         : have.find(L";" + one + L"=") != std::wstring::npos;
        if (!one.empty() && !found)
            return false;
        at = end + 1;
    }
    return true;
}

// Reference counting and QueryInterface over a list of interface ids.
template <typename Primary> class ComObject : public Primary {
  public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return ULONG(left);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !answers(iid))
            return E_NOINTERFACE;
        *out = static_cast<Primary *>(this);
        AddRef();
        return S_OK;
    }

  protected:
    virtual ~ComObject() = default;
    // The interfaces Primary derives from, Primary's own included.
    virtual bool answers(REFIID iid) const = 0;

  private:
    volatile LONG refs_ = 1;
};

#define NOT_IMPLEMENTED(...)                                                                       \
    HRESULT STDMETHODCALLTYPE __VA_ARGS__ override {                                               \
        return E_NOTIMPL;                                                                          \
    }

// ISpDataKey: nothing of it is used.
template <typename Primary> class DataKey : public ComObject<Primary> {
  public:
    NOT_IMPLEMENTED(SetData(LPCWSTR, ULONG, const BYTE *))
    NOT_IMPLEMENTED(GetData(LPCWSTR, ULONG *, BYTE *))
    NOT_IMPLEMENTED(SetStringValue(LPCWSTR, LPCWSTR))
    NOT_IMPLEMENTED(GetStringValue(LPCWSTR, LPWSTR *))
    NOT_IMPLEMENTED(SetDWORD(LPCWSTR, DWORD))
    NOT_IMPLEMENTED(GetDWORD(LPCWSTR, DWORD *))
    NOT_IMPLEMENTED(OpenKey(LPCWSTR, ISpDataKey **))
    NOT_IMPLEMENTED(CreateKey(LPCWSTR, ISpDataKey **))
    NOT_IMPLEMENTED(DeleteKey(LPCWSTR))
    NOT_IMPLEMENTED(DeleteValue(LPCWSTR))
    NOT_IMPLEMENTED(EnumKeys(ULONG, LPWSTR *))
    NOT_IMPLEMENTED(EnumValues(ULONG, LPWSTR *))
};

class Token final : public DataKey<ISpObjectToken> {
  public:
    explicit Token(const Voice &voice) : voice_(voice) {}
    const Voice &voice() const { return voice_; }

    HRESULT STDMETHODCALLTYPE GetId(LPWSTR *id) override {
        if (!id)
            return E_POINTER;
        *id = coMemString(std::wstring(kTokenRoot) + voice_.id);
        return *id ? S_OK : E_OUTOFMEMORY;
    }
    NOT_IMPLEMENTED(SetId(LPCWSTR, LPCWSTR, WINBOOL))
    NOT_IMPLEMENTED(GetCategory(ISpObjectTokenCategory **))
    NOT_IMPLEMENTED(CreateInstance(IUnknown *, DWORD, REFIID, void **))
    NOT_IMPLEMENTED(GetStorageFileName(REFCLSID, LPCWSTR, LPCWSTR, ULONG, LPWSTR *))
    NOT_IMPLEMENTED(RemoveStorageFileName(REFCLSID, LPCWSTR, WINBOOL))
    NOT_IMPLEMENTED(Remove(const CLSID *))
    NOT_IMPLEMENTED(IsUISupported(LPCWSTR, void *, ULONG, IUnknown *, WINBOOL *))
    NOT_IMPLEMENTED(DisplayUI(HWND, LPCWSTR, LPCWSTR, void *, ULONG, IUnknown *))
    NOT_IMPLEMENTED(MatchesAttributes(LPCWSTR, WINBOOL *))

  private:
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_ISpDataKey) || IsEqualIID(iid, IID_ISpObjectToken);
    }
    const Voice &voice_;
};

// The voice a token given to SetVoice stands for, found by its id.
const Voice *voiceOf(ISpObjectToken *token) {
    wchar_t *id = nullptr;
    if (!token || FAILED(token->GetId(&id)) || !id)
        return nullptr;
    const Voice *found = nullptr;
    for (const Voice &v : kVoices)
        if (std::wstring(kTokenRoot) + v.id == id)
            found = &v;
    CoTaskMemFree(id);
    return found;
}

class TokenEnum final : public ComObject<IEnumSpObjectTokens> {
  public:
    explicit TokenEnum(std::vector<const Voice *> voices) : voices_(std::move(voices)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, ISpObjectToken **out, ULONG *fetched) override {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        for (; n < count && next_ < voices_.size(); ++n, ++next_) {
            out[n] = new (std::nothrow) Token(*voices_[next_]);
            if (!out[n])
                return E_OUTOFMEMORY;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    NOT_IMPLEMENTED(Skip(ULONG))
    NOT_IMPLEMENTED(Reset())
    NOT_IMPLEMENTED(Clone(IEnumSpObjectTokens **))
    NOT_IMPLEMENTED(Item(ULONG, ISpObjectToken **))
    NOT_IMPLEMENTED(GetCount(ULONG *))

  private:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_IEnumSpObjectTokens); }
    std::vector<const Voice *> voices_;
    size_t next_ = 0;
};

class TokenCategory final : public DataKey<ISpObjectTokenCategory> {
  public:
    HRESULT STDMETHODCALLTYPE SetId(LPCWSTR id, WINBOOL) override {
        if (!id)
            return E_POINTER;
        if (lstrcmpiW(id, SPCAT_VOICES) != 0)
            return SPERR_NOT_FOUND;
        isVoices_ = true;
        return S_OK;
    }
    // Like SAPI's: S_OK and an empty enumerator when nothing matches.
    HRESULT STDMETHODCALLTYPE EnumTokens(LPCWSTR required, LPCWSTR,
                                         IEnumSpObjectTokens **out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!isVoices_)
            return SPERR_UNINITIALIZED;
        std::vector<const Voice *> found;
        if (voicesInstalled())
            for (const Voice &v : kVoices)
                if (matches(required, v.attributes))
                    found.push_back(&v);
        *out = new (std::nothrow) TokenEnum(std::move(found));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    NOT_IMPLEMENTED(GetId(LPWSTR *))
    NOT_IMPLEMENTED(GetDataKey(SPDATAKEYLOCATION, ISpDataKey **))
    NOT_IMPLEMENTED(SetDefaultTokenId(LPCWSTR))
    NOT_IMPLEMENTED(GetDefaultTokenId(LPWSTR *))

  private:
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_ISpDataKey) || IsEqualIID(iid, IID_ISpObjectTokenCategory);
    }
    bool isVoices_ = false;
};

// A stream in a wave format over the caller's own stream: writes go through.
class Stream final : public ComObject<ISpStream> {
  public:
    HRESULT STDMETHODCALLTYPE SetBaseStream(IStream *base, REFGUID formatId,
                                            const WAVEFORMATEX *format) override {
        if (!base || !format)
            return E_INVALIDARG;
        if (!IsEqualGUID(formatId, kWaveFormatExId))
            return E_INVALIDARG;
        if (base_)
            return SPERR_ALREADY_INITIALIZED;
        base->AddRef();
        base_ = base;
        format_ = *format;
        format_.cbSize = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFormat(GUID *formatId, WAVEFORMATEX **format) override {
        if (!base_)
            return SPERR_UNINITIALIZED;
        if (formatId)
            *formatId = kWaveFormatExId;
        if (format) {
            *format = static_cast<WAVEFORMATEX *>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
            if (!*format)
                return E_OUTOFMEMORY;
            **format = format_;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void *data, ULONG bytes, ULONG *written) override {
        return base_ ? base_->Write(data, bytes, written) : SPERR_UNINITIALIZED;
    }
    NOT_IMPLEMENTED(Read(void *, ULONG, ULONG *))
    NOT_IMPLEMENTED(Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER *))
    NOT_IMPLEMENTED(SetSize(ULARGE_INTEGER))
    NOT_IMPLEMENTED(CopyTo(IStream *, ULARGE_INTEGER, ULARGE_INTEGER *, ULARGE_INTEGER *))
    NOT_IMPLEMENTED(Commit(DWORD))
    NOT_IMPLEMENTED(Revert())
    NOT_IMPLEMENTED(LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD))
    NOT_IMPLEMENTED(UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD))
    NOT_IMPLEMENTED(Stat(STATSTG *, DWORD))
    NOT_IMPLEMENTED(Clone(IStream **))
    NOT_IMPLEMENTED(GetBaseStream(IStream **))
    NOT_IMPLEMENTED(BindToFile(LPCWSTR, SPFILEMODE, const GUID *, const WAVEFORMATEX *, ULONGLONG))
    NOT_IMPLEMENTED(Close())

  private:
    ~Stream() override {
        if (base_)
            base_->Release();
    }
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_ISequentialStream) || IsEqualIID(iid, IID_IStream) ||
               IsEqualIID(iid, IID_ISpStreamFormat) || IsEqualIID(iid, IID_ISpStream);
    }
    IStream *base_ = nullptr;
    WAVEFORMATEX format_{};
};

class VoiceObject final : public ComObject<ISpVoice> {
  public:
    HRESULT STDMETHODCALLTYPE SetOutput(IUnknown *output, WINBOOL) override {
        ISpStreamFormat *stream = nullptr;
        WAVEFORMATEX *format = nullptr;
        GUID formatId;
        // Null asks for the default audio device, which the double does not have.
        if (output) {
            HRESULT hr =
                output->QueryInterface(IID_ISpStreamFormat, reinterpret_cast<void **>(&stream));
            if (FAILED(hr))
                return hr;
            hr = stream->GetFormat(&formatId, &format);
            if (FAILED(hr)) {
                stream->Release();
                return hr;
            }
            const bool pcm16 = format && format->wFormatTag == WAVE_FORMAT_PCM &&
                               format->wBitsPerSample == 16 && format->nChannels == 1;
            if (pcm16)
                sampleRate_ = format->nSamplesPerSec;
            CoTaskMemFree(format);
            if (!pcm16) {
                stream->Release();
                return SPERR_UNSUPPORTED_FORMAT;
            }
        }
        if (output_)
            output_->Release();
        output_ = stream;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken *token) override {
        const Voice *voice = token ? voiceOf(token) : (voicesInstalled() ? &kVoices[0] : nullptr);
        if (!voice)
            return token ? E_INVALIDARG : SPERR_NOT_FOUND;
        voice_ = voice;
        logLine(std::wstring(L"voice\t") + voice->id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetRate(LONG rate) override {
        if (rate < -10 || rate > 10)
            return E_INVALIDARG;
        rate_ = int(rate);
        logLine(L"rate\t" + std::to_wstring(rate));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetVolume(USHORT volume) override {
        if (volume > 100)
            return E_INVALIDARG;
        volume_ = volume;
        return S_OK;
    }
    // Synchronous only, as the engine speaks: returns when all is written, or
    // with the error of the first write that fails.
    HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG *streamNumber) override {
        if (!text)
            return E_INVALIDARG;
        if (flags & ~DWORD(SPF_IS_XML | SPF_IS_NOT_XML))
            return E_NOTIMPL;
        if (!output_ || !voice_)
            return SPERR_UNINITIALIZED;
        if (streamNumber)
            *streamNumber = 1;
        std::vector<sapidouble::TextRun> runs;
        if (!(flags & SPF_IS_XML)) {
            runs.push_back({text, 0});
        } else if (!sapidouble::parseMarkup(text, runs)) {
            logLine(std::wstring(L"malformed\t") + text);
            // What SAPI answers for markup it cannot read.
            return E_INVALIDARG;
        }
        for (const sapidouble::TextRun &run : runs)
            if (!run.text.empty())
                logLine(L"speak\t" + std::wstring(voice_->id) + L"\t" + std::to_wstring(rate_) +
                        L"\t" + std::to_wstring(run.pitch) + L"\t" + run.text);
        return write(runs);
    }
    NOT_IMPLEMENTED(GetOutputObjectToken(ISpObjectToken **))
    NOT_IMPLEMENTED(GetOutputStream(ISpStreamFormat **))
    NOT_IMPLEMENTED(Pause())
    NOT_IMPLEMENTED(Resume())
    NOT_IMPLEMENTED(GetVoice(ISpObjectToken **))
    NOT_IMPLEMENTED(SpeakStream(IStream *, DWORD, ULONG *))
    NOT_IMPLEMENTED(GetStatus(SPVOICESTATUS *, LPWSTR *))
    NOT_IMPLEMENTED(Skip(LPCWSTR, LONG, ULONG *))
    NOT_IMPLEMENTED(SetPriority(SPVPRIORITY))
    NOT_IMPLEMENTED(GetPriority(SPVPRIORITY *))
    NOT_IMPLEMENTED(SetAlertBoundary(SPEVENTENUM))
    NOT_IMPLEMENTED(GetAlertBoundary(SPEVENTENUM *))
    NOT_IMPLEMENTED(GetRate(LONG *))
    NOT_IMPLEMENTED(GetVolume(USHORT *))
    NOT_IMPLEMENTED(WaitUntilDone(ULONG))
    NOT_IMPLEMENTED(SetSyncSpeakTimeout(ULONG))
    NOT_IMPLEMENTED(GetSyncSpeakTimeout(ULONG *))
    HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
    NOT_IMPLEMENTED(IsUISupported(LPCWSTR, void *, ULONG, WINBOOL *))
    NOT_IMPLEMENTED(DisplayUI(HWND, LPCWSTR, LPCWSTR, void *, ULONG))
    NOT_IMPLEMENTED(SetInterest(ULONGLONG, ULONGLONG))
    NOT_IMPLEMENTED(GetEvents(ULONG, SPEVENT *, ULONG *))
    NOT_IMPLEMENTED(GetInfo(SPEVENTSOURCEINFO *))
    NOT_IMPLEMENTED(SetNotifySink(ISpNotifySink *))
    NOT_IMPLEMENTED(SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM))
    NOT_IMPLEMENTED(SetNotifyCallbackFunction(SPNOTIFYCALLBACK *, WPARAM, LPARAM))
    NOT_IMPLEMENTED(SetNotifyCallbackInterface(ISpNotifyCallback *, WPARAM, LPARAM))
    NOT_IMPLEMENTED(SetNotifyWin32Event())
    NOT_IMPLEMENTED(WaitForNotifyEvent(DWORD))
    HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }

  private:
    ~VoiceObject() override {
        if (output_)
            output_->Release();
    }
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_ISpNotifySource) || IsEqualIID(iid, IID_ISpEventSource) ||
               IsEqualIID(iid, IID_ISpVoice);
    }

    // Odd sizes, so that samples are split across writes.
    HRESULT write(const std::vector<sapidouble::TextRun> &runs) {
        static const ULONG kWriteSizes[] = {1001, 3, 4097, 777, 1, 2049};
        sapidouble::Signal signal(runs, voice_->hz, rate_, volume_, sampleRate_);
        std::vector<unsigned char> bytes;
        int16_t samples[2048];
        for (size_t turn = 0;; ++turn) {
            const ULONG size = kWriteSizes[turn % 6];
            while (bytes.size() < size) {
                size_t n = signal.next(samples, 2048);
                if (n == 0)
                    break;
                for (size_t i = 0; i < n; ++i) {
                    bytes.push_back(static_cast<unsigned char>(samples[i] & 0xFF));
                    bytes.push_back(static_cast<unsigned char>((samples[i] >> 8) & 0xFF));
                }
            }
            if (bytes.empty())
                return S_OK;
            const ULONG now = bytes.size() < size ? ULONG(bytes.size()) : size;
            ULONG written = 0;
            HRESULT hr = output_->Write(bytes.data(), now, &written);
            if (FAILED(hr))
                return hr;
            bytes.erase(bytes.begin(), bytes.begin() + now);
        }
    }

    ISpStreamFormat *output_ = nullptr;
    const Voice *voice_ = voicesInstalled() ? &kVoices[0] : nullptr;
    int rate_ = 0;
    unsigned volume_ = 100;
    uint32_t sampleRate_ = 22050;
};

template <typename T> class Factory final : public ComObject<IClassFactory> {
  public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T *object = new (std::nothrow) T();
        if (!object)
            return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  private:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_IClassFactory); }
};

const CLSID *const kClasses[] = {&CLSID_SpVoice, &CLSID_SpStream, &CLSID_SpObjectTokenCategory};

const wchar_t kSavedServer[] = L"OrvanelSavedServer";

std::wstring serverKey(const CLSID &clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text + L"\\InprocServer32";
}

bool readString(HKEY key, const wchar_t *name, std::wstring &out) {
    wchar_t value[MAX_PATH + 1] = {};
    DWORD type = 0, bytes = sizeof value - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out = value;
    return true;
}

LONG writeString(HKEY key, const wchar_t *name, const wchar_t *value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                          DWORD((lstrlenW(value) + 1) * sizeof(wchar_t)));
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = module;
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void **out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    IClassFactory *factory = nullptr;
    if (IsEqualCLSID(clsid, CLSID_SpVoice))
        factory = new (std::nothrow) Factory<VoiceObject>();
    else if (IsEqualCLSID(clsid, CLSID_SpStream))
        factory = new (std::nothrow) Factory<Stream>();
    else if (IsEqualCLSID(clsid, CLSID_SpObjectTokenCategory))
        factory = new (std::nothrow) Factory<TokenCategory>();
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    if (!factory)
        return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

// Stays loaded for the life of the process.
HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}

// Wine looks classes up in HKEY_LOCAL_MACHINE only (a per-user registration
// is not seen), so the double takes SAPI's class ids there, by full path, and
// keeps the server it replaces under kSavedServer to put it back.
HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return E_FAIL;
    for (const CLSID *clsid : kClasses) {
        HKEY key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, serverKey(*clsid).c_str(), 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return E_FAIL;
        std::wstring before;
        LONG r = ERROR_SUCCESS;
        // Registered twice (a run that ended early): the first saving stands.
        if (!readString(key, kSavedServer, before) && readString(key, nullptr, before))
            r = writeString(key, kSavedServer, before.c_str());
        if (r == ERROR_SUCCESS)
            r = writeString(key, nullptr, path);
        if (r == ERROR_SUCCESS)
            r = writeString(key, L"ThreadingModel", L"Both");
        RegCloseKey(key);
        if (r != ERROR_SUCCESS)
            return E_FAIL;
    }
    return S_OK;
}

// Puts back what registration replaced; nothing to do when not registered.
HRESULT STDAPICALLTYPE DllUnregisterServer() {
    for (const CLSID *clsid : kClasses) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, serverKey(*clsid).c_str(), 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            continue;
        std::wstring saved;
        if (readString(key, kSavedServer, saved)) {
            writeString(key, nullptr, saved.c_str());
            RegDeleteValueW(key, kSavedServer);
        }
        RegCloseKey(key);
    }
    return S_OK;
}

} // extern "C"
