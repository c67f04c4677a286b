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
  web_fail: function (message) { mainForm.fail(UTF8ToString(message)); },
});
