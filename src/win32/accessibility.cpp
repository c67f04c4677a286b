#include "accessibility.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>

namespace win32_window {
namespace {

// The identifiers of oleacc's annotation service and properties, as
// oleacc.h declares them; MinGW's import libraries do not define them.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropValue = {0x123fe443, 0x211a, 0x4615, {0x95, 0x27, 0xc4, 0x5a, 0x7e, 0x93, 0x71, 0x7a}};
constexpr GUID kPropRole = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

}  // namespace

Annotations::Annotations() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(init);  // also S_FALSE: already initialised, to be balanced
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
    }
}

Annotations::~Annotations() {
    Clear();
    if (services_ != nullptr) services_->Release();
    if (comInitialised_) CoUninitialize();
}

void Annotations::Remember(HWND control) {
    if (std::find(annotated_.begin(), annotated_.end(), control) == annotated_.end()) annotated_.push_back(control);
}

void Annotations::SetName(HWND control, const std::wstring& name) {
    if (services_ == nullptr) return;
    if (SUCCEEDED(services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, kPropName, name.c_str()))) {
        Remember(control);
    }
}

void Annotations::SetValue(HWND control, const std::wstring& value) {
    if (services_ == nullptr) return;
    if (SUCCEEDED(services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, kPropValue, value.c_str()))) {
        Remember(control);
    }
}

void Annotations::SetProgressBarRole(HWND control) {
    if (services_ == nullptr) return;
    VARIANT role{};  // VT_EMPTY until set
    role.vt = VT_I4;
    role.lVal = ROLE_SYSTEM_PROGRESSBAR;
    if (SUCCEEDED(services_->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, kPropRole, role))) Remember(control);
}

void Annotations::Clear() {
    if (services_ == nullptr) return;
    const MSAAPROPID properties[] = {kPropName, kPropValue, kPropRole};
    for (HWND control : annotated_) {
        services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, properties,
                                  static_cast<int>(std::size(properties)));
    }
    annotated_.clear();
}

}  // namespace win32_window
