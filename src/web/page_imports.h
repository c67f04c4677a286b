#pragma once

// What the page's script supplies to MainForm (page_imports.js hands each
// call to the widget's own script). Lengths are CSS pixels of the window at
// its design size; texts are UTF-8.

extern "C" {

// The byte length of Text2(index)'s text, and a copy of it (with its
// terminating zero) into `buffer` of `size` bytes.
int web_text2_length(int index);
void web_text2_copy(int index, char* buffer, int size);
// Writes the box's text; the box is left untouched when the text is the same,
// so its caret and selection stay.
void web_text2_set(int index, const char* text);

// Draws VScroll1 with its range and position; the temperatures at its two
// ends are the range screen readers are given.
void web_vscroll1_show(int min, int max, int value, int lowestTemperature, int highestTemperature);
// Gives screen readers the scroll bar's value.
void web_vscroll1_report(int temperature);

void web_option1_show(int index);

// Starts or stops the page's timer; starting a running one changes nothing.
void web_timer1_enable(int enabled);

// Picture1's outer size, clearing it, and a solid rectangle in its own
// pixels (origin at its top-left corner).
double web_picture1_width();
double web_picture1_height();
void web_picture1_cls();
void web_picture1_fill(double left, double top, double width, double height, int r, int g, int b);
// The readout's caption, and the temperature the gauge reports to screen readers.
void web_readout(const char* caption, int temperature);
// The heater's state, which screen readers read with the gauge.
void web_picture1_describe(const char* description);

// Speaks a message through the page's live region.
void web_announce(const char* text);

// The view "Наблюдение" (#Observation): shown or hidden.
void web_observation_show(int shown);
// Drawing `plot` (the view's plot-th picture box), `width` by `height` of its own
// pixels: its lines, 9 numbers each (x1, y1, x2, y2, r, g, b, width, dashed
// 0 or 1), and its markers, filled circles of 6 numbers each (x, y, radius,
// r, g, b). The texts stay as they are.
void web_plot_draw(int plot, double width, double height, const double* lines, int lineCount, const double* markers,
                   int markerCount);
// The drawing's texts: how many there are, and one of them, its anchor point
// (x, y) at the middle of its line, `anchor` "start", "middle" or "end".
void web_plot_texts(int plot, int count);
void web_plot_text(int plot, int index, double x, double y, const char* anchor, const char* text);
// The drawing's description for screen readers.
void web_plot_describe(int plot, const char* text);
// Figure_i's text.
void web_observation_figure(int index, const char* text);
// The bands table: how many rows it has, and one cell's text.
void web_bands_rows(int count);
void web_bands_cell(int row, int column, const char* text);
// Puts the text on the clipboard.
void web_clipboard(const char* text);

// Shows the fatal error's message; the page stops and stays inert.
void web_fail(const char* message);
}
