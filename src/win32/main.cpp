// Dulmeri thermostat for Windows: opens the one window and runs until it is
// closed. The program takes no command-line arguments; any it is given are
// ignored.

#include "handler_guard.h"
#include "main_form.h"
#include "texts.h"
#include "win32_text.h"

#include <windows.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        win32_window::MainForm form;
        if (form.HasFailed()) return win32_window::MainForm::kFatalExitCode;  // Form_Load failed; it was shown
        form.Show();
        return form.RunMessageLoop();
    } catch (const std::exception& error) {
        // The window itself could not be made (out of memory or handles).
        MessageBoxW(nullptr,
                    win32_window::Wide(
                        regulator::FatalErrorMessage(regulator::UnexpectedErrorDescription(error.what())))
                        .c_str(),
                    win32_window::Wide(design::texts::WindowCaption()).c_str(), MB_OK | MB_ICONERROR);
        return win32_window::MainForm::kFatalExitCode;
    }
}
