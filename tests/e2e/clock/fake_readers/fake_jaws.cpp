// JAWS's automation object as the program calls it, by name through
// IDispatch: SayString(text, flush) answers false while "JAWS" does not run;
// StopSpeech.  Registered by the test under the ProgID FreedomSci.JawsApi.
#include "reader_log.h"

#include <ole2.h>

#include <new>

namespace {

enum { kSayString = 1, kStopSpeech = 2 };

class Jaws final : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        if (!out)
            return E_POINTER;
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ? this : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID,
                                            DISPID *ids) override {
        if (count != 1)
            return DISP_E_UNKNOWNNAME;
        ids[0] = lstrcmpiW(names[0], L"SayString") == 0    ? kSayString
                 : lstrcmpiW(names[0], L"StopSpeech") == 0 ? kStopSpeech
                                                           : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *, UINT *) override {
        const bool running = Running("ORVANEL_FAKE_JAWS_RUNNING");
        if (id == kSayString) {
            // Arguments arrive last first: flush, then the text.
            if (params->cArgs != 2 || params->rgvarg[1].vt != VT_BSTR ||
                params->rgvarg[0].vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            if (running)
                LogCall("jaws", params->rgvarg[0].boolVal ? "say flush" : "say",
                        params->rgvarg[1].bstrVal);
        } else if (id == kStopSpeech) {
            if (running)
                LogCall("jaws", "stop");
        } else {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (result) {
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = running ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }

  private:
    LONG refs_ = 1;
};

class Factory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ? this
                                                                                     : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Jaws *jaws = new (std::nothrow) Jaws();
        if (!jaws)
            return E_OUTOFMEMORY;
        HRESULT hr = jaws->QueryInterface(iid, out);
        jaws->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory TheFactory;

} // namespace

// Any class id the test registers for it is this object.
extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID iid, void **out) {
    return TheFactory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}
