// The functions the page's script calls: one per window event, each handed
// to the one MainForm, and Timer1's two calls that keep its rhythm. Strings
// come in through a fixed buffer the script writes UTF-8 into.

#include "main_form.h"

#include <emscripten/emscripten.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<web_window::MainForm> form;
char buffer[1024];

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE char* dulmeri_buffer() { return buffer; }
EMSCRIPTEN_KEEPALIVE int dulmeri_buffer_size() { return static_cast<int>(sizeof buffer); }

// Creates the window with the user's decimal separator (in the buffer) and
// loads it. Returns 1 when the window can be shown and run.
EMSCRIPTEN_KEEPALIVE int dulmeri_Form_Load() {
    if (form) return 0;
    try {
        form = std::make_unique<web_window::MainForm>(regulator::NumberFormat{buffer});
    } catch (...) {
        return 0;
    }
    form->Form_Load();
    return form->HasFailed() ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE void dulmeri_Command1_Click(int index) {
    if (form) form->Command1_Click(index);
}

// `request` is a regulator::ScrollRequest; `position` counts for
// ScrollRequest::Position only.
EMSCRIPTEN_KEEPALIVE void dulmeri_VScroll1_UserChange(int request, int position) {
    if (form) form->VScroll1_UserChange(static_cast<regulator::ScrollRequest>(request), position);
}

// The view "Наблюдение": F2 or its button, and its button "Копирай таблицата".
EMSCRIPTEN_KEEPALIVE void dulmeri_Observation_Toggle() {
    if (form) form->Observation_Toggle();
}
EMSCRIPTEN_KEEPALIVE void dulmeri_CopyBands_Click() {
    if (form) form->CopyBands_Click();
}

// A teacher's link: the text (in the buffer) typed into threshold box
// `index` (regulator::kLowerBox or kUpperBox).
EMSCRIPTEN_KEEPALIVE void dulmeri_TypeIntoBox(int index) {
    if (form) form->TypeIntoBox(index, buffer);
}

// Timer1 started, or fired, at `nowMs` on the page's clock; each returns the
// delay until it is to fire next, 0 when it is stopped.
EMSCRIPTEN_KEEPALIVE unsigned dulmeri_timer1_start(double nowMs) { return form ? form->Timer1Started(nowMs) : 0; }
EMSCRIPTEN_KEEPALIVE unsigned dulmeri_timer1_fired(double nowMs) { return form ? form->Timer1Fired(nowMs) : 0; }

// An error in the page's own script (the buffer holds what it said).
EMSCRIPTEN_KEEPALIVE void dulmeri_fail() {
    if (form) form->FailUnexpected(buffer);
}
}
