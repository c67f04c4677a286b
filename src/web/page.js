// The page's window: wires the widgets of #MainForm (made from the design at
// build time) to the program's handlers in WebAssembly, draws the scroll bar
// and the gauge, runs Timer1, speaks through the live region and shows a fatal
// error. Every event handler here runs behind a guard: no exception reaches
// the browser's event loop.
//
// Linked after Emscripten's loader, so it shares its scope: `Module`, the
// exported `_dulmeri_*` functions and the string helpers.

var page = (function () {
  'use strict';
  var TWIPS_PER_PIXEL = 15;
  var PERIOD_MS = 100;        // Timer1's interval
  var REPEAT_DELAY_MS = 400;  // a held arrow or track starts repeating ...
  var REPEAT_MS = 50;         // ... at this rate

  var byId = function (id) { return document.getElementById(id); };
  var form = byId('MainForm');
  var boxes = [byId('Text2_0'), byId('Text2_1'), byId('Text2_2')];
  var options = [byId('Option1_0').querySelector('input'), byId('Option1_1').querySelector('input')];
  var bar = byId('VScroll1');
  var part = function (name) { return bar.querySelector('[data-part="' + name + '"]'); };
  var thumb = part('thumb');
  var track = part('track');
  var gauge = byId('Picture1');
  var face = gauge.querySelector('.face');
  var readout = byId('Label1_1');
  var announcer = byId('announcer');
  var scale = { min: 0, max: 100, value: 100 };
  var failed = false;
  var started = false;
  var resolveReady;
  var ready = new Promise(function (resolve) { resolveReady = resolve; });

  // Writes a JavaScript string into the program's string buffer.
  function toBuffer(text) {
    stringToUTF8(String(text), _dulmeri_buffer(), _dulmeri_buffer_size());
  }

  // An error in this script: the program describes and shows it like its own.
  function failUnexpected(error) {
    var what = error && error.message ? error.message : String(error);
    if (started) {
      try {
        toBuffer(what);
        _dulmeri_fail_unexpected();
        return;
      } catch (ignored) { /* fall through to the plain message */ }
    }
    fail(what);
  }

  function guard(handler) {
    return function (event) {
      if (failed) return;
      try {
        handler.call(this, event);
      } catch (error) {
        failUnexpected(error);
      }
    };
  }

  // ---- Timer1: 100 ms from absolute due times, so lateness never adds up;
  // after a stall of more than a period the rhythm starts again from now.
  var timer = { enabled: false, handle: 0, due: 0 };

  function armTimer() {
    timer.handle = setTimeout(onTimer, Math.max(0, timer.due - performance.now()));
  }

  var onTimer = guard(function () {
    timer.handle = 0;
    if (!timer.enabled) return;
    var now = performance.now();
    if (now + 1 < timer.due) {  // a timer that fires early waits for its due time
      armTimer();
      return;
    }
    timer.due += PERIOD_MS;
    if (timer.due <= now) timer.due = now + PERIOD_MS;
    _dulmeri_timer1_timer();
    if (timer.enabled && !timer.handle) armTimer();
  });

  function enableTimer(enabled) {
    if (!enabled) {
      timer.enabled = false;
      clearTimeout(timer.handle);
      timer.handle = 0;
    } else if (!timer.enabled) {  // enabling a running timer keeps its rhythm
      timer.enabled = true;
      timer.due = performance.now() + PERIOD_MS;
      armTimer();
    }
  }

  // ---- VScroll1: square arrows at both ends, a square thumb on the track.
  // The widgets keep their design size (scaling to fit a small screen is a
  // transform, which leaves layout sizes alone), so their sizes are read from
  // the layout once, not in every tick, where reading them would force the
  // browser to lay the page out again.
  function measuredOnce(measure) {
    var size = null;
    return function () {
      if (size === null) {
        var measured = measure();
        if (measured.width === 0 && measured.height === 0) return measured;  // not laid out yet
        size = measured;
      }
      return size;
    };
  }

  var geometry = measuredOnce(function () {
    var side = Math.min(bar.clientWidth, Math.floor(bar.clientHeight / 3));
    var travel = Math.max(0, bar.clientHeight - 2 * side - side);
    return { side: side, travel: travel, width: bar.clientWidth, height: bar.clientHeight };
  });

  function thumbOffset(value) {
    var range = scale.max - scale.min;
    return range > 0 ? Math.round((value - scale.min) * geometry().travel / range) : 0;
  }

  function placeThumb(offset) {
    thumb.style.top = offset + 'px';
  }

  function showScale(min, max, value) {
    scale.min = min;
    scale.max = max;
    scale.value = value;
    placeThumb(thumbOffset(value));
    // Screen readers see the temperature: Max - Value.
    bar.setAttribute('aria-valuemax', String(max - min));
    bar.setAttribute('aria-valuenow', String(max - value));
  }

  function userScaleChange(value) {
    _dulmeri_vscroll1_user_change(Math.min(scale.max, Math.max(scale.min, value)));
  }

  // The size of a CSS pixel on the screen: the window may be scaled to fit.
  function screenScale() {
    return bar.getBoundingClientRect().height / bar.offsetHeight || 1;
  }

  var repeat = { handle: 0, element: null };
  function stopRepeat() {
    clearTimeout(repeat.handle);
    repeat.handle = 0;
    if (repeat.element) repeat.element.classList.remove('pressed');
    repeat.element = null;
  }

  // An arrow or the track pressed: one step now, more while it is held.
  function pressStep(element, step, pointerId) {
    element.classList.add('pressed');
    repeat.element = element;
    element.setPointerCapture(pointerId);
    userScaleChange(scale.value + step());
    var again = guard(function () {
      var next = step();
      if (next === 0) return;
      userScaleChange(scale.value + next);
      repeat.handle = setTimeout(again, REPEAT_MS);
    });
    repeat.handle = setTimeout(again, REPEAT_DELAY_MS);
  }

  var drag = null;

  bar.addEventListener('pointerdown', guard(function (event) {
    if (event.button !== 0) return;
    event.preventDefault();
    bar.focus();
    var target = event.target.getAttribute('data-part');
    if (target === 'up' || target === 'down') {
      var delta = target === 'up' ? -1 : 1;
      pressStep(event.target, function () { return delta; }, event.pointerId);
    } else if (target === 'track') {
      // Towards the pointer, one step at a time, until the thumb reaches it.
      var pointerY = (event.clientY - track.getBoundingClientRect().top) / screenScale();
      pressStep(track, function () {
        var top = thumbOffset(scale.value);
        if (pointerY < top) return -1;
        if (pointerY >= top + geometry().side) return 1;
        return 0;
      }, event.pointerId);
    } else if (target === 'thumb') {
      thumb.setPointerCapture(event.pointerId);
      thumb.classList.add('dragging');
      drag = { startY: event.clientY, startOffset: thumbOffset(scale.value), value: scale.value };
    }
  }));

  thumb.addEventListener('pointermove', guard(function (event) {
    if (!drag) return;
    var travel = geometry().travel;
    var offset = drag.startOffset + (event.clientY - drag.startY) / screenScale();
    offset = Math.min(travel, Math.max(0, offset));
    var range = scale.max - scale.min;
    drag.value = travel > 0 ? scale.min + Math.round(offset * range / travel) : scale.value;
    placeThumb(thumbOffset(drag.value));  // shown at once, reported on release
  }));

  // A drag reports its change once, when the thumb is released.
  function endDrag(commit) {
    if (!drag) return;
    var value = drag.value;
    drag = null;
    thumb.classList.remove('dragging');
    if (commit && value !== scale.value) userScaleChange(value);
    else placeThumb(thumbOffset(scale.value));
  }
  thumb.addEventListener('pointerup', guard(function () { endDrag(true); }));
  thumb.addEventListener('pointercancel', guard(function () { endDrag(false); }));
  bar.addEventListener('pointerup', guard(stopRepeat));
  bar.addEventListener('pointercancel', guard(stopRepeat));
  bar.addEventListener('lostpointercapture', guard(stopRepeat));

  var keySteps = { ArrowUp: -1, ArrowLeft: -1, PageUp: -1, ArrowDown: 1, ArrowRight: 1, PageDown: 1 };
  bar.addEventListener('keydown', guard(function (event) {
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    var value;
    if (event.key in keySteps) value = scale.value + keySteps[event.key];
    else if (event.key === 'Home') value = scale.min;
    else if (event.key === 'End') value = scale.max;
    else return;
    event.preventDefault();
    userScaleChange(value);
  }));

  // ---- The option buttons show the heater's state and are never operated.
  byId('Frame1').addEventListener('click', function (event) { event.preventDefault(); }, true);
  byId('Frame1').addEventListener('keydown', function (event) { event.preventDefault(); }, true);

  // ---- The buttons.
  [0, 1].forEach(function (index) {
    byId('Command1_' + index).addEventListener('click', guard(function () { _dulmeri_command1_click(index); }));
  });

  // ---- The gauge: rectangles in the picture box's own twips, drawn on its face.
  var gaugeSize = measuredOnce(function () {
    return { width: gauge.offsetWidth * TWIPS_PER_PIXEL, height: gauge.offsetHeight * TWIPS_PER_PIXEL };
  });

  function clearGauge() {
    face.textContent = '';
  }

  function fillGauge(x1, y1, x2, y2, r, g, b) {
    var box = document.createElement('div');
    var px = function (twips) { return twips / TWIPS_PER_PIXEL + 'px'; };
    box.style.cssText = 'left:' + px(Math.min(x1, x2)) + ';top:' + px(Math.min(y1, y2)) +
      ';width:' + px(Math.abs(x2 - x1)) + ';height:' + px(Math.abs(y2 - y1)) +
      ';background:rgb(' + r + ',' + g + ',' + b + ')';
    face.appendChild(box);
  }

  function showReadout(caption, temperature) {
    readout.textContent = caption;
    gauge.setAttribute('aria-valuenow', String(temperature));
  }

  function describeGauge(text) {
    gauge.setAttribute('aria-description', text);
  }

  // ---- The boxes.
  function text2(index) { return boxes[index].value; }
  function setText2(index, text) {
    if (boxes[index].value !== text) boxes[index].value = text;  // else caret and selection stay
  }

  function selectOption(index) { options[index].checked = true; }

  // ---- Screen readers: each message is a new node in the one live region,
  // so the same message twice is spoken twice. The messages of one event
  // (a stop that also switches the heater off) are added together; the next
  // event's replace them.
  var speaking = false;
  function announce(text) {
    if (!speaking) {
      speaking = true;
      announcer.textContent = '';
      Promise.resolve().then(function () { speaking = false; });
    }
    var message = document.createElement('p');
    message.textContent = text;
    announcer.appendChild(message);
  }

  // ---- A fatal error: the timer stops, the message shows, the page is inert.
  function fail(message) {
    failed = true;
    enableTimer(false);
    stopRepeat();
    form.inert = true;
    form.setAttribute('inert', '');
    var dialog = byId('fatal');
    byId('fatal-message').textContent = message;
    byId('fatal-reload').addEventListener('click', function () { location.reload(); });
    dialog.addEventListener('cancel', function (event) { event.preventDefault(); });
    if (typeof dialog.showModal === 'function') dialog.showModal();
    else dialog.setAttribute('open', '');
    resolveReady(false);
  }

  // ---- Smaller screens: the whole window is scaled down to fit, never cut.
  var screen = byId('screen');
  var fit = guard(function () {
    var width = form.offsetWidth, height = form.offsetHeight;
    // The layout viewport without scroll bars: on a phone, innerWidth grows
    // with content wider than the screen.
    var root = document.documentElement;
    var factor = Math.min(1, root.clientWidth / width, root.clientHeight / height);
    form.style.transform = factor < 1 ? 'scale(' + factor + ')' : '';
    screen.style.width = width * factor + 'px';
    screen.style.height = height * factor + 'px';
  });
  window.addEventListener('resize', fit);
  fit();

  // The decimal separator of the browser's language, as the desktop programs
  // take it from the user's locale.
  function decimalSeparator() {
    try {
      var language = (navigator.languages && navigator.languages[0]) || navigator.language;
      var parts = new Intl.NumberFormat(language).formatToParts(1.5);
      for (var i = 0; i < parts.length; i++) if (parts[i].type === 'decimal') return parts[i].value;
    } catch (ignored) { /* the point */ }
    return '.';
  }

  // The module could not be loaded or stopped (no WebAssembly, a broken file).
  Module['onAbort'] = function (what) { if (!failed) fail(String(what)); };

  Module['onRuntimeInitialized'] = guard(function () {
    toBuffer(decimalSeparator());
    started = true;
    var loaded = _dulmeri_start() === 1;  // Form_Load, before the window is shown
    form.classList.remove('loading');
    if (!loaded) return;
    byId('Text1_0').focus();
    performance.mark('dulmeri-ready');
    resolveReady(true);
  });

  // The installed app (not the single file) works offline.
  if (document.querySelector('link[rel="manifest"]') && 'serviceWorker' in navigator &&
      /^https?:$/.test(location.protocol)) {
    navigator.serviceWorker.register('sw.js').catch(function () { /* online only, then */ });
  }

  window.dulmeri = {
    // Resolved (true) when the window is loaded and the first tick is possible.
    ready: ready,
    // Moves the scroll bar as the user would; a position outside the scale is
    // the scroll bar's fatal error.
    setScrollValue: guard(function (value) { _dulmeri_vscroll1_user_change(value); }),
  };

  return {
    text2: text2, setText2: setText2, showScale: showScale, selectOption: selectOption,
    enableTimer: enableTimer, gaugeSize: gaugeSize, clearGauge: clearGauge, fillGauge: fillGauge,
    showReadout: showReadout, describeGauge: describeGauge, announce: announce, fail: fail,
  };
})();
