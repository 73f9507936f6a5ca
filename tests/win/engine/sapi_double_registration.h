// The SAPI double (tests/win/sapi_double) registered under SAPI's own class
// ids for the life of the object, so that the SAPI engine's CoCreateInstance
// calls reach it.  It registers itself in the test prefix and puts back what it
// replaced when unregistered.
#pragma once

#include <windows.h>

#include <string>

namespace enginetest {

class SapiDoubleRegistration {
  public:
    explicit SapiDoubleRegistration(const std::string &windowsPath, bool registered = true)
        : module_(LoadLibraryA(windowsPath.c_str())) {
        if (registered)
            ok_ = call("DllRegisterServer");
        else
            call("DllUnregisterServer");
    }
    ~SapiDoubleRegistration() {
        if (ok_)
            call("DllUnregisterServer");
    }
    SapiDoubleRegistration(const SapiDoubleRegistration &) = delete;
    SapiDoubleRegistration &operator=(const SapiDoubleRegistration &) = delete;
    bool ok() const { return ok_; }

  private:
    bool call(const char *name) {
        using Fn = HRESULT(WINAPI *)();
        auto fn =
            module_ ? reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module_, name)))
                    : nullptr;
        return fn && SUCCEEDED(fn());
    }
    HMODULE module_;
    bool ok_ = false;
};

} // namespace enginetest
