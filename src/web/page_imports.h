#pragma once

// What the page's script supplies to MainForm (implemented in
// page_imports.js). Lengths are in twips; texts are UTF-8.

extern "C" {

// The byte length of Text2(index)'s text, and a copy of it (with its
// terminating zero) into `buffer` of `size` bytes.
int web_text2_length(int index);
void web_text2_copy(int index, char* buffer, int size);
// Writes the box's text; the box is left untouched when the text is the same,
// so its caret and selection stay.
void web_text2_set(int index, const char* text);

// Draws VScroll1 with its range and position.
void web_scroll_show(int min, int max, int value);

void web_option_select(int index);
void web_timer_enable(int enabled);

// Picture1's outer size in twips, clearing it, and a solid rectangle between
// two opposite corners in its own twips (origin at its top-left corner).
double web_gauge_width();
double web_gauge_height();
void web_gauge_clear();
void web_gauge_fill(double x1, double y1, double x2, double y2, int r, int g, int b);
// The readout's caption, and the temperature the gauge reports to screen readers.
void web_readout(const char* caption, int temperature);
// The heater's state, which screen readers read with the gauge.
void web_gauge_describe(const char* description);

// Speaks a message through the page's live region.
void web_announce(const char* text);

// Shows the fatal error's message; the page stops and stays inert.
void web_fail(const char* message);
}
