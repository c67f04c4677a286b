// The page's side of page_imports.h: each function hands over to the page's
// window (`mainForm`, in main_form.js) with C strings turned into JavaScript ones.
mergeInto(LibraryManager.library, {
  web_text2_length: function (index) { return lengthBytesUTF8(mainForm.text2(index)); },
  web_text2_copy: function (index, buffer, size) { stringToUTF8(mainForm.text2(index), buffer, size); },
  web_text2_set: function (index, text) { mainForm.setText2(index, UTF8ToString(text)); },
  web_vscroll1_show: function (min, max, value, lowest, highest) {
    mainForm.vscroll1.show(min, max, value, lowest, highest);
  },
  web_vscroll1_report: function (temperature) { mainForm.vscroll1.report(temperature); },
  web_option1_show: function (index) { mainForm.showOption1(index); },
  web_timer1_enable: function (enabled) { mainForm.timer1.enable(enabled !== 0); },
  web_picture1_width: function () { return mainForm.picture1.width(); },
  web_picture1_height: function () { return mainForm.picture1.height(); },
  web_picture1_cls: function () { mainForm.picture1.cls(); },
  web_picture1_fill: function (left, top, width, height, r, g, b) {
    mainForm.picture1.fill(left, top, width, height, r, g, b);
  },
  web_readout: function (caption, temperature) { mainForm.showReadout(UTF8ToString(caption), temperature); },
  web_picture1_describe: function (text) { mainForm.picture1.describe(UTF8ToString(text)); },
  web_announce: function (text) { mainForm.announcer.announce(UTF8ToString(text)); },
  web_observation_show: function (shown) { mainForm.observation.show(shown !== 0); },
  web_plot_draw: function (plot, width, height, lines, lineCount, markers, markerCount) {
    mainForm.observation.plots[plot].draw(width, height, HEAPF64.subarray(lines >> 3, (lines >> 3) + lineCount * 9),
                                          HEAPF64.subarray(markers >> 3, (markers >> 3) + markerCount * 6));
  },
  web_plot_texts: function (plot, count) { mainForm.observation.plots[plot].texts(count); },
  web_plot_text: function (plot, index, x, y, anchor, text) {
    mainForm.observation.plots[plot].text(index, x, y, UTF8ToString(anchor), UTF8ToString(text));
  },
  web_plot_describe: function (plot, text) { mainForm.observation.plots[plot].describe(UTF8ToString(text)); },
  web_observation_figure: function (index, text) { mainForm.observation.figure(index, UTF8ToString(text)); },
  web_bands_rows: function (count) { mainForm.observation.bandsRows(count); },
  web_bands_cell: function (row, column, text) { mainForm.observation.bandsCell(row, column, UTF8ToString(text)); },
  web_clipboard: function (text) { mainForm.observation.copy(UTF8ToString(text)); },
  web_fail: function (message) { mainForm.fail(UTF8ToString(message)); },
});
