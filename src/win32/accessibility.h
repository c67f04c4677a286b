#pragma once

// What screen readers are told about the controls beyond what the system's
// own accessible objects say: the names of controls whose caption is
// elsewhere, the gauge's role, value and description, the scroll bar's
// value (the temperature), a live region's politeness. They are oleacc's
// dynamic annotations (IAccPropServices): the system's own objects for the
// controls carry them, to MSAA and UI Automation clients alike, and a
// reader that asks gets the latest value set.
//
// Wine 8's annotation service refuses every call. There the annotated
// controls answer for themselves: each answers WM_GETOBJECT with the
// system's standard object for it, the annotated name, role, value and
// description in place of the standard ones. What only UI Automation reads
// (the live setting) has no reader there and is left out.

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct IAccPropServices;

namespace win32_window {

enum class AccProperty { Name, Value, Description };

class Annotations {
public:
    Annotations();
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void SetText(HWND control, AccProperty property, const std::wstring& text);
    // ROLE_SYSTEM_...
    void SetRole(HWND control, LONG role);
    // UI Automation's LiveSetting, polite: a reader speaks the control's
    // name when it raises EVENT_OBJECT_LIVEREGIONCHANGED, after what it is
    // saying.
    void SetPoliteLiveRegion(HWND control);
    // Removes every annotation made, before the controls go away.
    void Clear();

    // The annotations as the controls answer them themselves.
    struct Entry {
        std::optional<std::wstring> texts[3];  // by AccProperty
        std::optional<LONG> role;
    };
    using Store = std::map<HWND, Entry>;

private:
    // The system's service took it; false where it has none.
    bool Annotate(HWND control, const GUID& property, const VARIANT& value);
    Entry& Emulated(HWND control);
    static LRESULT CALLBACK AnswerGetObject(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self);

    IAccPropServices* services_ = nullptr;
    bool comInitialised_ = false;
    std::vector<HWND> annotated_;  // by the system's service
    std::shared_ptr<Store> emulated_ = std::make_shared<Store>();
};

}  // namespace win32_window
