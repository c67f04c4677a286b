#include "announcer.h"

#include "control_factory.h"

#include <oleauto.h>
#include <uiautomationcore.h>

namespace win32_window {
namespace {

using regulator::Message;

// UI Automation's NotificationKind and NotificationProcessing, which
// MinGW's headers lack.
constexpr int kActionCompleted = 2;
constexpr int kOther = 4;
constexpr int kImportantAll = 0;
constexpr int kImportantMostRecent = 1;

bool IsRunMessage(Message message) { return message == Message::RunStarted || message == Message::RunStopped; }

template <typename Function>
Function Procedure(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A BSTR for the length of a call.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return text_; }

private:
    BSTR text_;
};

}  // namespace

Announcer::~Announcer() {
    if (automation_ != nullptr) FreeLibrary(automation_);
}

void Announcer::Create(HWND parent, Annotations& annotations) {
    run_ = CreateChild(L"STATIC", L"", SS_NOPREFIX, 0, parent, -1);
    heater_ = CreateChild(L"STATIC", L"", SS_NOPREFIX, 0, parent, -1);
    annotations.SetPoliteLiveRegion(run_);
    annotations.SetPoliteLiveRegion(heater_);
    // Looked up at run time: older systems lack the notifications, and only
    // the system's own copy of the library is loaded.
    automation_ = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (automation_ == nullptr) return;
    hostProvider_ = Procedure<HostProvider>(automation_, "UiaHostProviderFromHwnd");
    raiseNotification_ = Procedure<RaiseNotification>(automation_, "UiaRaiseNotificationEvent");
    if (hostProvider_ == nullptr || raiseNotification_ == nullptr) {
        FreeLibrary(automation_);
        automation_ = nullptr;
        hostProvider_ = nullptr;
        raiseNotification_ = nullptr;
    }
}

HWND Announcer::Region(Message message) const { return IsRunMessage(message) ? run_ : heater_; }

void Announcer::Announce(Message message, const std::wstring& text) {
    HWND region = Region(message);
    SetWindowTextW(region, text.c_str());
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, region, OBJID_CLIENT, CHILDID_SELF);
    Notify(message, region, text);
}

void Announcer::Notify(Message message, HWND region, const std::wstring& text) const {
    if (raiseNotification_ == nullptr) return;
    IRawElementProviderSimple* provider = nullptr;
    if (FAILED(hostProvider_(region, &provider)) || provider == nullptr) return;
    // Start and stop are each spoken in full; of heater switches that come
    // faster than a reader speaks, the latest.
    const bool run = IsRunMessage(message);
    const Bstr words(text.c_str());
    const Bstr activity(run ? L"Dulmeri.Run" : L"Dulmeri.Heater");
    raiseNotification_(provider, run ? kActionCompleted : kOther, run ? kImportantAll : kImportantMostRecent,
                       words.Get(), activity.Get());
    provider->Release();
}

}  // namespace win32_window
