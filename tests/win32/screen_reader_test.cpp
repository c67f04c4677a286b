// What a screen reader hears from the real window under Wine: it listens
// to the window's accessibility events out of context, as a reader does,
// and reads each event's object back through oleacc.
//
// Start, stop and each switch of the heater raise exactly one live-region
// event whose region then says the message; the run's plain steps raise
// none, and no value change either, except the scroll bar's value reported
// now and then. The user's own move of the bar is reported at once.

#include "texts.h"
#include "win32_text.h"
#include "window_fixture.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace win32_window::testing {
namespace {

namespace texts = design::texts;

struct Event {
    DWORD event;
    HWND window;
    std::wstring name;  // of the event's object, read when the event arrives
    std::wstring value;
};

std::vector<Event>* recorded = nullptr;

std::wstring Read(IAccessible* object, const VARIANT& child,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    if ((object->*property)(child, &text) != S_OK || text == nullptr) return L"";
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    return result;
}

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (recorded == nullptr || window == nullptr) return;
    Event seen{event, window, L"", L""};
    IAccessible* accessible = nullptr;
    VARIANT which{};
    if (AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &accessible, &which) ==
        S_OK) {
        seen.name = Read(accessible, which, &IAccessible::get_accName);
        seen.value = Read(accessible, which, &IAccessible::get_accValue);
        accessible->Release();
    }
    recorded->push_back(seen);
}

// A reader's hook on this process for the two events, for the life of the
// test.
class ScreenReaderTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        recorded = &events;
        for (DWORD event : {EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_VALUECHANGE}) {
            hooks.push_back(
                SetWinEventHook(event, event, nullptr, &Listen, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT));
            ASSERT_NE(hooks.back(), nullptr);
        }
    }
    void TearDown() override {
        for (HWINEVENTHOOK hook : hooks) UnhookWinEvent(hook);
        recorded = nullptr;
        WindowTest::TearDown();
    }

    // The events the last action raised, once delivered.
    std::vector<Event> Take(DWORD event) {
        Pump(form.get());
        std::vector<Event> taken;
        for (const Event& e : events) {
            if (e.event == event) taken.push_back(e);
        }
        events.clear();
        return taken;
    }

    // "Пусни", with the ticks left to the test: the system's timer is
    // stopped under the running Timer1.
    void Start() {
        SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
        KillTimer(form->Hwnd(), form->Timer1().Id());
    }

    int CheckedOption() {
        for (int i = 0; i < 2; ++i) {
            if (SendMessageW(Find(i == 0 ? "Option1_0" : "Option1_1"), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
        }
        return -1;
    }

    std::wstring Temperature() {
        const std::wstring readout = Text(Find("Label1_1"));
        return readout.substr(Wide(texts::kReadoutPrefix).size());
    }

    std::vector<Event> events;
    std::vector<HWINEVENTHOOK> hooks;
};

TEST_F(ScreenReaderTest, StartStopAndEverySwitchAreSpokenOnceAndPlainStepsNever) {
    const std::wstring started = Wide(texts::kRunStarted), stopped = Wide(texts::kRunStopped);
    Start();
    const std::vector<Event> start = Take(EVENT_OBJECT_LIVEREGIONCHANGED);
    ASSERT_EQ(start.size(), 1u);
    EXPECT_EQ(start[0].name, started);
    EXPECT_FALSE(IsWindowVisible(start[0].window)) << "the live region is not shown";

    // Up to the upper threshold and back down past the lower one.
    int switches = 0, steps = 0, option = CheckedOption();
    for (int tick = 0; tick < 105; ++tick) {
        form->Timer1_Timer();
        const std::vector<Event> spoken = Take(EVENT_OBJECT_LIVEREGIONCHANGED);
        const int now = CheckedOption();
        if (now == option) {
            ++steps;
            EXPECT_TRUE(spoken.empty()) << "tick " << tick << " said " << Utf8(spoken.front().name);
            continue;
        }
        ++switches;
        option = now;
        ASSERT_EQ(spoken.size(), 1u) << "tick " << tick;
        EXPECT_EQ(spoken[0].name, Text(Find(now == 0 ? "Option1_0" : "Option1_1"))) << "tick " << tick;
        EXPECT_NE(spoken[0].window, start[0].window) << "a switch has its own region";
    }
    EXPECT_EQ(switches, 3);  // on at 0, off at 90, on again at 81
    EXPECT_GT(steps, 100);

    // "Спри" with the heater on: its switch to off and the stop, each in
    // its own words, though both come in one handler and the reader reads
    // them only afterwards.
    ASSERT_EQ(CheckedOption(), 0);
    SendMessageW(Find("Command1_1"), BM_CLICK, 0, 0);
    const std::vector<Event> stop = Take(EVENT_OBJECT_LIVEREGIONCHANGED);
    ASSERT_EQ(stop.size(), 2u);
    EXPECT_EQ(stop[0].name, Wide(texts::kOff));
    EXPECT_EQ(stop[1].name, stopped);
    EXPECT_EQ(stop[1].window, start[0].window);

    // A second "Спри" is confirmed again; the heater says nothing more.
    SendMessageW(Find("Command1_1"), BM_CLICK, 0, 0);
    const std::vector<Event> again = Take(EVENT_OBJECT_LIVEREGIONCHANGED);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].name, stopped);
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(ScreenReaderTest, TheScrollBarsValueIsTheTemperatureReportedNowAndThenNotAtEveryStep) {
    HWND scale = Find("VScroll1");
    {
        // Before anything is reported, the value at the start.
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(scale, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        EXPECT_EQ(Read(accessible, self, &IAccessible::get_accValue), L"0");
        accessible->Release();
    }

    // The user's own step: reported at once, as the temperature.
    SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), reinterpret_cast<LPARAM>(scale));
    std::vector<Event> changes = Take(EVENT_OBJECT_VALUECHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].window, scale);
    EXPECT_EQ(changes[0].value, L"1");

    // A run of 45 steps: a few reports, each of the temperature of its
    // moment; no other control reports a value.
    Start();
    Take(EVENT_OBJECT_VALUECHANGE);
    int reports = 0;
    for (int tick = 0; tick < 45; ++tick) {
        form->Timer1_Timer();
        for (const Event& change : Take(EVENT_OBJECT_VALUECHANGE)) {
            ++reports;
            EXPECT_EQ(change.window, scale) << "tick " << tick;
            EXPECT_EQ(change.value, Temperature()) << "tick " << tick;
        }
    }
    EXPECT_GE(reports, 1);
    EXPECT_LE(reports, 45 / 5) << "the run's steps were reported one by one";

    // Stopping reports where the run left the bar, since its last report.
    SendMessageW(Find("Command1_1"), BM_CLICK, 0, 0);
    changes = Take(EVENT_OBJECT_VALUECHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].window, scale);
    EXPECT_EQ(changes[0].value, Temperature());
    EXPECT_NE(Temperature(), L"1");
    EXPECT_TRUE(fatalMessages.empty());
}

}  // namespace
}  // namespace win32_window::testing
