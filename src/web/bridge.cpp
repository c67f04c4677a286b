// The functions the page's script calls: one window, created and loaded by
// dulmeri_start, then one function per window event. Strings come in through
// a fixed buffer the script writes UTF-8 into.

#include "main_form.h"
#include "texts.h"

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
// loads it. Returns 1 when the window can be shown and ticked.
EMSCRIPTEN_KEEPALIVE int dulmeri_start() {
    if (form) return 0;
    try {
        form = std::make_unique<web_window::MainForm>(regulator::NumberFormat{buffer});
    } catch (...) {
        return 0;
    }
    form->Form_Load();
    return form->HasFailed() ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE void dulmeri_command1_click(int index) {
    if (form) form->Command1_Click(index);
}

EMSCRIPTEN_KEEPALIVE void dulmeri_timer1_timer() {
    if (form) form->Timer1_Timer();
}

EMSCRIPTEN_KEEPALIVE void dulmeri_vscroll1_user_change(int value) {
    if (form) form->VScroll1_UserChange(value);
}

// An error in the page's own script, described (the buffer holds its text).
EMSCRIPTEN_KEEPALIVE void dulmeri_fail_unexpected() {
    if (form) form->FailWith(design::texts::UnexpectedErrorDescription(buffer));
}
}
