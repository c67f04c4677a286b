// The page's window: builds each widget's script over the markup of #MainForm
// (made from the design at build time), routes the widgets' events to the
// program's handlers of the same name through the bridge's exports, and
// shows a fatal error. The program calls back through page_imports.js, which
// hands each call to `mainForm` here. Every event handler runs behind a
// guard: no exception reaches the browser's event loop.
//
// The button "Наблюдение" under the window and F2 anywhere in the page open
// and close the view "Наблюдение" (observation.js); a teacher's link
// (?lower=70&upper=90&observe) types into the threshold boxes and opens the
// view once the window is loaded.
//
// Linked after Emscripten's loader and the other files of the page's script
// (designData, Timer1, ScrollBar, Gauge, Announcer, FitToScreen,
// Observation), so it
// shares their scope: `Module`, the exported `_dulmeri_*` functions and the
// string helpers.

var mainForm = (function () {
  'use strict';
  var byId = function (id) { return document.getElementById(id); };
  var widgets = function (name, count) {
    var found = [];
    for (var index = 0; index < count; index++) found.push(byId(name + '_' + index));
    return found;
  };
  var form = byId('MainForm');
  var boxes = widgets('Text2', designData.text2Count);
  var options = widgets('Option1', designData.option1Count).map(function (option) {
    return option.querySelector('input');
  });
  var readout = byId('Label1_1');
  var observationButton = byId('ObservationButton');
  var observationView = byId('Observation');
  var failed = false;
  var started = false;
  var loaded = false;
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
        _dulmeri_fail();
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

  var timer1 = Timer1(function (now) { return _dulmeri_timer1_start(now); },
                      function (now) { return _dulmeri_timer1_fired(now); }, guard);
  var vscroll1 = ScrollBar(byId('VScroll1'), guard, function (request, position) {
    _dulmeri_VScroll1_UserChange(request, position || 0);
  });
  var picture1 = Gauge(byId('Picture1'));
  var announcer = Announcer(byId('announcer'));

  widgets('Command1', designData.command1Count).forEach(function (button, index) {
    button.addEventListener('click', guard(function () { _dulmeri_Command1_Click(index); }));
  });

  // The option buttons of a disabled frame show the heater's state and are
  // never operated.
  form.querySelectorAll('fieldset[data-disabled]').forEach(function (frame) {
    var refuse = function (event) { event.preventDefault(); };
    frame.addEventListener('click', refuse, true);
    frame.addEventListener('keydown', refuse, true);
  });

  // A fatal error: the timer stops, the message shows, the page is inert.
  function fail(message) {
    failed = true;
    timer1.enable(false);
    vscroll1.stopRepeat();
    [form, observationButton, observationView].forEach(function (element) {
      element.inert = true;
      element.setAttribute('inert', '');
    });
    var dialog = byId('fatal');
    byId('fatal-message').textContent = message;
    byId('fatal-reload').addEventListener('click', function () { location.reload(); });
    dialog.addEventListener('cancel', function (event) { event.preventDefault(); });
    if (typeof dialog.showModal === 'function') dialog.showModal();
    else dialog.setAttribute('open', '');
    resolveReady(false);
  }

  var refit = FitToScreen(byId('desk'), byId('screen'), observationView, guard);
  var observation = Observation(observationView, observationButton, guard, refit);

  // The view "Наблюдение": its button, F2 wherever the focus is, and the
  // view's own button "Копирай таблицата"; nothing before the window is loaded.
  var whenLoaded = function (handler) { return guard(function (event) { if (loaded) handler(event); }); };
  observationButton.addEventListener('click', whenLoaded(function () { _dulmeri_Observation_Toggle(); }));
  document.addEventListener('keydown', guard(function (event) {
    if (event.key !== 'F2' || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    event.preventDefault();
    if (loaded && !event.repeat) _dulmeri_Observation_Toggle();
  }));
  observationView.querySelector('button').addEventListener('click', whenLoaded(function () { _dulmeri_CopyBands_Click(); }));

  // A teacher's link: each threshold it carries goes into its box as typed
  // text (the program keeps two characters and checks them at the first
  // tick); only ever a box's value, never markup. A name given twice counts
  // once, the first time.
  function followTeachersLink() {
    var query = new URLSearchParams(location.search);
    [['lower', designData.lowerBox], ['upper', designData.upperBox]].forEach(function (box) {
      var text = query.get(box[0]);
      if (text === null) return;
      toBuffer(text);
      _dulmeri_TypeIntoBox(box[1]);
    });
    if (query.has('observe')) _dulmeri_Observation_Toggle();
  }

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
    loaded = _dulmeri_Form_Load() === 1;  // before the window is shown
    if (loaded) followTeachersLink();
    loaded = loaded && !failed;
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

  // The page's one interface for other scripts, read-only (README.md):
  // `ready` resolves to true when the window is loaded and can run, to false
  // when it failed instead.
  window.dulmeri = Object.freeze({ ready: ready });

  return {
    text2: function (index) { return boxes[index].value; },
    setText2: function (index, text) {
      if (boxes[index].value !== text) boxes[index].value = text;  // else caret and selection stay
    },
    vscroll1: vscroll1,
    showOption1: function (index) { options[index].checked = true; },
    timer1: timer1,
    picture1: picture1,
    showReadout: function (caption, temperature) {
      // The readout changes at every tick: its one text is rewritten in place.
      var text = readout.firstChild;
      if (text && text.nodeType === Node.TEXT_NODE && !text.nextSibling) {
        if (text.data !== caption) text.data = caption;
      } else {
        readout.textContent = caption;
      }
      picture1.showValue(temperature);
    },
    announcer: announcer,
    observation: observation,
    fail: fail,
  };
})();
