// The SAPI 5 backend (Windows build): voices render into a stream of ours,
// whose writes go straight to the engine's device, so speech starts as soon
// as SAPI produces it and a cut stops SAPI at its next write.
#include "engine_api.h"
#include "sink_stream.h"
#include "synthesiser.h"
#include "wave_player.h"

#include <windows.h>

#include <ole2.h>
// libuuid lacks SAPI's class and interface ids: define them here.
#include <initguid.h>
#include <sapi.h>

#include <string>
#include <vector>

namespace engine {
namespace {

// Declared by MinGW's sapi.h but defined nowhere.
const GUID kWaveFormatExId = {
    0xC31ADBAE, 0x527F, 0x4FF5, {0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C}};
constexpr uint32_t kSapiRate = 22050;

template <typename T> void release(T *&p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

std::wstring widen(const std::string &utf8) {
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

// The text goes inside SAPI's XML (for the pitch), so every markup character is escaped.
std::wstring xmlFor(const std::string &utf8, int pitch) {
    std::wstring out = L"<pitch absmiddle=\"" + std::to_wstring(pitch) + L"\">";
    for (wchar_t c : widen(utf8)) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'"':
            out += L"&quot;";
            break;
        case L'\'':
            out += L"&apos;";
            break;
        default:
            out += c;
        }
    }
    return out + L"</pitch>";
}

class SapiSynthesiser final : public Synthesiser {
  public:
    ~SapiSynthesiser() override {
        for (ISpObjectToken *&t : tokens_)
            release(t);
        if (voice_)
            voice_->SetOutput(nullptr, FALSE);
        release(voice_);
        release(output_);
        release(stream_);
        if (comStarted_)
            CoUninitialize();
    }

    uint32_t init() {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        comStarted_ = SUCCEEDED(hr);
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE)
            return kEngineNoSynthesiser;
        hr = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                              reinterpret_cast<void **>(&voice_));
        if (FAILED(hr))
            return kEngineNoSynthesiser;
        if (!findVoices())
            return kEngineNoVoiceData;
        // A voice is only usable if it can render into our stream.
        hr = CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream,
                              reinterpret_cast<void **>(&output_));
        if (FAILED(hr))
            return kEngineNoSynthesiser;
        stream_ = new (std::nothrow) SinkStream();
        if (!stream_)
            return kEngineOutOfResources;
        WAVEFORMATEX format = MonoPcm16Format(kSapiRate);
        if (FAILED(output_->SetBaseStream(stream_, kWaveFormatExId, &format)) ||
            FAILED(voice_->SetOutput(output_, FALSE)))
            return kEngineNoVoiceData;
        return kEngineOk;
    }

    uint32_t sampleRate() const override { return kSapiRate; }

    void speak(const QueueItem &item, PcmSink &sink) override {
        const SpeakerVoice *voice = speakerVoice(item.speaker);
        if (!voice)
            voice = speakerVoice(0);
        ISpObjectToken *token = tokens_[item.speaker < kEngineSpeakerCount ? item.speaker : 0];
        voice_->SetVoice(token);
        voice_->SetRate(sapiRateFor(item.rate));
        voice_->SetVolume(100);
        stream_->setSink(&sink);
        voice_->Speak(xmlFor(item.text, voice->sapiPitch).c_str(), SPF_IS_XML, nullptr);
        stream_->setSink(nullptr);
    }

  private:
    // For each speaker the first voice with its attributes, else one of its
    // gender, else the default voice (null).  False when there is no voice at all.
    bool findVoices() {
        ISpObjectTokenCategory *category = nullptr;
        if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                                    IID_ISpObjectTokenCategory,
                                    reinterpret_cast<void **>(&category))))
            return false;
        bool any = false;
        if (SUCCEEDED(category->SetId(SPCAT_VOICES, FALSE))) {
            ISpObjectToken *probe = firstToken(category, nullptr);
            any = probe != nullptr;
            release(probe);
            for (uint32_t i = 0; any && i < kEngineSpeakerCount; ++i) {
                std::string wanted = speakerVoice(i)->sapiAttributes;
                tokens_[i] = firstToken(category, widen(wanted).c_str());
                if (!tokens_[i]) {
                    std::string gender = wanted.substr(0, wanted.find(';'));
                    tokens_[i] = firstToken(category, widen(gender).c_str());
                }
            }
        }
        category->Release();
        return any;
    }

    static ISpObjectToken *firstToken(ISpObjectTokenCategory *category, const wchar_t *required) {
        IEnumSpObjectTokens *tokens = nullptr;
        ISpObjectToken *token = nullptr;
        if (SUCCEEDED(category->EnumTokens(required, nullptr, &tokens)) && tokens) {
            ULONG fetched = 0;
            if (tokens->Next(1, &token, &fetched) != S_OK || fetched != 1)
                token = nullptr;
            tokens->Release();
        }
        return token;
    }

    bool comStarted_ = false;
    ISpVoice *voice_ = nullptr;
    ISpStream *output_ = nullptr;
    SinkStream *stream_ = nullptr;
    ISpObjectToken *tokens_[kEngineSpeakerCount] = {};
};

} // namespace

uint32_t backendSampleRate() {
    return kSapiRate;
}

RateRange backendRates() {
    return kSapiRates;
}

uint32_t createSynthesiser(std::unique_ptr<Synthesiser> &out) {
    std::unique_ptr<SapiSynthesiser> sapi(new (std::nothrow) SapiSynthesiser());
    if (!sapi)
        return kEngineOutOfResources;
    uint32_t result = sapi->init();
    if (result != kEngineOk)
        return result;
    out = std::move(sapi);
    return kEngineOk;
}

} // namespace engine
