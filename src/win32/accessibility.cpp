#include "accessibility.h"

#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <new>

namespace win32_window {
namespace {

// The identifiers of oleacc's annotation service and properties, as
// oleacc.h declares them; MinGW's import libraries do not define them.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropValue = {0x123fe443, 0x211a, 0x4615, {0x95, 0x27, 0xc4, 0x5a, 0x7e, 0x93, 0x71, 0x7a}};
constexpr GUID kPropDescription = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr GUID kPropRole = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
// UI Automation's LiveSetting property, which the annotation service takes
// like its own; MinGW's headers lack it.
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLiveSettingPolite = 1;

constexpr GUID kTextProperties[] = {kPropName, kPropValue, kPropDescription};
constexpr UINT_PTR kSubclassId = 1;

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Hands a text to the caller as a BSTR; no text is S_FALSE, as for a
// property that is not there.
HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The system's standard object for a control, with the annotations in place
// of its own name, role, value and description, looked up each time they
// are asked. A reader may hold on to it after the control or the
// annotations are gone: it then gives the standard object's answers.
class AnnotatedAccessible final : public IAccessible {
public:
    AnnotatedAccessible(HWND control, IAccessible* standard, std::shared_ptr<const Annotations::Store> store)
        : control_(control), standard_(standard), store_(std::move(store)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The window behind the object, the children to enumerate: the
        // standard object's.
        if (id == __uuidof(IOleWindow) || id == __uuidof(IEnumVARIANT)) return standard_->QueryInterface(id, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: readers use the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the annotations.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, AccProperty::Name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, AccProperty::Value, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, AccProperty::Description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const Annotations::Entry* entry = IsSelf(child) ? Find() : nullptr;
        if (entry == nullptr || !entry->role) return standard_->get_accRole(child, role);
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = *entry->role;
        return S_OK;
    }

    // IAccessible: the system's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~AnnotatedAccessible() { standard_->Release(); }

    const Annotations::Entry* Find() const {
        const auto entry = store_->find(control_);
        return entry != store_->end() ? &entry->second : nullptr;
    }

    using StandardText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT Text(const VARIANT& child, BSTR* out, AccProperty property, StandardText standard) {
        const Annotations::Entry* entry = IsSelf(child) ? Find() : nullptr;
        const auto index = static_cast<std::size_t>(property);
        if (entry == nullptr || !entry->texts[index]) return (standard_->*standard)(child, out);
        return ReturnText(*entry->texts[index], out);
    }

    std::atomic<ULONG> references_{1};
    HWND control_;
    IAccessible* standard_;
    std::shared_ptr<const Annotations::Store> store_;
};

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

bool Annotations::Annotate(HWND control, const GUID& property, const VARIANT& value) {
    if (services_ == nullptr) return false;
    const HRESULT result = value.vt == VT_BSTR
                               ? services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, property, value.bstrVal)
                               : services_->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, property, value);
    if (result == E_NOTIMPL) return false;
    if (SUCCEEDED(result) && std::find(annotated_.begin(), annotated_.end(), control) == annotated_.end()) {
        annotated_.push_back(control);
    }
    return true;
}

Annotations::Entry& Annotations::Emulated(HWND control) {
    const auto [entry, added] = emulated_->try_emplace(control);
    if (added)
        SetWindowSubclass(control, &Annotations::AnswerGetObject, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return entry->second;
}

void Annotations::SetText(HWND control, AccProperty property, const std::wstring& text) {
    const auto index = static_cast<std::size_t>(property);
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = const_cast<wchar_t*>(text.c_str());  // only read, as an LPCWSTR
    if (!Annotate(control, kTextProperties[index], value)) Emulated(control).texts[index] = text;
}

void Annotations::SetRole(HWND control, LONG role) {
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = role;
    if (!Annotate(control, kPropRole, value)) Emulated(control).role = role;
}

void Annotations::SetPoliteLiveRegion(HWND control) {
    VARIANT value{};
    value.vt = VT_I4;
    value.lVal = kLiveSettingPolite;
    Annotate(control, kLiveSettingProperty, value);  // where the service has none, no one would read it
}

void Annotations::Clear() {
    if (services_ != nullptr) {
        MSAAPROPID properties[] = {kPropName, kPropValue, kPropDescription, kPropRole, kLiveSettingProperty};
        for (HWND control : annotated_) {
            services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, properties,
                                      static_cast<int>(std::size(properties)));
        }
    }
    annotated_.clear();
    for (const auto& [control, entry] : *emulated_) {
        RemoveWindowSubclass(control, &Annotations::AnswerGetObject, kSubclassId);
    }
    emulated_->clear();
}

LRESULT CALLBACK Annotations::AnswerGetObject(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    auto* annotations = reinterpret_cast<Annotations*>(self);
    if (message == WM_NCDESTROY) {
        annotations->emulated_->erase(control);
        RemoveWindowSubclass(control, &Annotations::AnswerGetObject, kSubclassId);
    } else if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            auto* object = new (std::nothrow) AnnotatedAccessible(control, standard, annotations->emulated_);
            if (object == nullptr) {
                standard->Release();
            } else {
                const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
                object->Release();  // the result holds its own reference
                if (result > 0) return result;
            }
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace win32_window
