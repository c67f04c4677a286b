// The page's side of page_imports.h: each function hands over to the page's
// window (`page`, in page.js) with C strings turned into JavaScript ones.
mergeInto(LibraryManager.library, {
  web_text2_length: function (index) { return lengthBytesUTF8(page.text2(index)); },
  web_text2_copy: function (index, buffer, size) { stringToUTF8(page.text2(index), buffer, size); },
  web_text2_set: function (index, text) { page.setText2(index, UTF8ToString(text)); },
  web_scroll_show: function (min, max, value) { page.showScale(min, max, value); },
  web_option_select: function (index) { page.selectOption(index); },
  web_timer_enable: function (enabled) { page.enableTimer(enabled !== 0); },
  web_gauge_width: function () { return page.gaugeSize().width; },
  web_gauge_height: function () { return page.gaugeSize().height; },
  web_gauge_clear: function () { page.clearGauge(); },
  web_gauge_fill: function (x1, y1, x2, y2, r, g, b) { page.fillGauge(x1, y1, x2, y2, r, g, b); },
  web_readout: function (caption, temperature) { page.showReadout(UTF8ToString(caption), temperature); },
  web_gauge_describe: function (text) { page.describeGauge(UTF8ToString(text)); },
  web_announce: function (text) { page.announce(UTF8ToString(text)); },
  web_fail: function (message) { page.fail(UTF8ToString(message)); },
});
