#pragma once

// What speaks the window's announcements (start, stop, each switch of the
// heater) to screen readers, wherever the focus is: Narrator, NVDA and JAWS
// alike.
//
// Each message is written into a hidden static control that is a polite
// live region (its UI Automation LiveSetting annotated), which then raises
// EVENT_OBJECT_LIVEREGIONCHANGED: a reader speaks the region's name, which
// is its text. Where the system has UI Automation notifications (Windows 10
// 1709 and later; not Wine 8), the words are also raised as one, which
// carries the text itself.
//
// There are two regions, one for the run (started, stopped) and one for the
// heater (on, off): "Спри" can switch the heater off and stop the run in
// one handler, and a reader that reads a region after both still finds
// each message in its own.

#include "accessibility.h"
#include "announcements.h"

#include <windows.h>
#include <wtypes.h>

#include <string>

struct IRawElementProviderSimple;

namespace win32_window {

class Announcer {
public:
    Announcer() = default;
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    void Create(HWND parent, Annotations& annotations);
    void Announce(regulator::Message message, const std::wstring& text);
    // The live region that speaks the message.
    HWND Region(regulator::Message message) const;

private:
    using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int kind, int processing, BSTR text,
                                               BSTR activity);

    void Notify(regulator::Message message, HWND region, const std::wstring& text) const;

    HWND run_ = nullptr;
    HWND heater_ = nullptr;
    HMODULE automation_ = nullptr;
    HostProvider hostProvider_ = nullptr;
    RaiseNotification raiseNotification_ = nullptr;
};

}  // namespace win32_window
