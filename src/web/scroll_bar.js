// VScroll1: square arrows at both ends and a square thumb on the track, the
// thumb drawn where the program puts it. What the user does goes to the
// program as a request (designData.scrollRequest), which it turns into a
// position: an arrow's step, the track's page towards the pointer, a key's
// step or end, and the position where the dragged thumb is let go. A held
// arrow or track repeats. Screen readers get the bar's value only when the
// program reports it, not at every position it shows.
//
//   request(kind, position)  the user's request; position for a drag only
function ScrollBar(bar, guard, request) {
  'use strict';
  var REPEAT_DELAY_MS = 400;  // a held arrow or track starts repeating ...
  var REPEAT_MS = 50;         // ... at this rate, as a desktop's scroll bar

  var requests = designData.scrollRequest;
  var part = function (name) { return bar.querySelector('[data-part="' + name + '"]'); };
  var thumb = part('thumb');
  var track = part('track');
  var scale = null;  // {min, max, value} as last shown

  var geometry = measuredOnce(function () {
    return { width: bar.clientWidth, height: bar.clientHeight, side: thumb.offsetHeight,
             travel: Math.max(0, track.clientHeight - thumb.offsetHeight) };
  });

  function thumbOffset(value) {
    var range = scale.max - scale.min;
    return range > 0 ? Math.round((value - scale.min) * geometry().travel / range) : 0;
  }

  // The thumb moves at every tick while the run goes: by a transform, which
  // lays nothing out again.
  var thumbPlaced = null;
  function placeThumb(offset) {
    if (offset === thumbPlaced) return;
    thumbPlaced = offset;
    thumb.style.transform = 'translateY(' + offset + 'px)';
  }

  // Writes an attribute only when it changes: a screen reader may take any
  // write as news.
  function setAttribute(name, value) {
    if (bar.getAttribute(name) !== String(value)) bar.setAttribute(name, String(value));
  }

  var repeat = { handle: 0, element: null };
  function stopRepeat() {
    clearTimeout(repeat.handle);
    repeat.handle = 0;
    if (repeat.element) repeat.element.classList.remove('pressed');
    repeat.element = null;
  }

  // An arrow or the track pressed: one request now, more while it is held,
  // as long as next() names one.
  function pressRepeating(element, next, pointerId) {
    element.classList.add('pressed');
    repeat.element = element;
    element.setPointerCapture(pointerId);
    var first = next();
    if (first !== null) request(first);
    var again = guard(function () {
      var kind = next();
      if (kind === null) return;
      request(kind);
      repeat.handle = setTimeout(again, REPEAT_MS);
    });
    repeat.handle = setTimeout(again, REPEAT_DELAY_MS);
  }

  var drag = null;

  bar.addEventListener('pointerdown', guard(function (event) {
    if (event.button !== 0 || scale === null) return;
    event.preventDefault();
    bar.focus();
    var target = event.target.getAttribute('data-part');
    if (target === 'up' || target === 'down') {
      var step = target === 'up' ? requests.lineUp : requests.lineDown;
      pressRepeating(event.target, function () { return step; }, event.pointerId);
    } else if (target === 'track') {
      // Towards the pointer, a page at a time, until the thumb reaches it.
      var pointerY = (event.clientY - track.getBoundingClientRect().top) / screenScale(bar);
      pressRepeating(track, function () {
        var top = thumbOffset(scale.value);
        if (pointerY < top) return requests.pageUp;
        if (pointerY >= top + geometry().side) return requests.pageDown;
        return null;
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
    var offset = drag.startOffset + (event.clientY - drag.startY) / screenScale(bar);
    offset = Math.min(travel, Math.max(0, offset));
    var range = scale.max - scale.min;
    drag.value = travel > 0 ? scale.min + Math.round(offset * range / travel) : scale.value;
    placeThumb(thumbOffset(drag.value));  // shown at once, reported on release
  }));

  // A drag reports its change once, when the thumb is let go.
  function endDrag(commit) {
    if (!drag) return;
    var value = drag.value;
    drag = null;
    thumb.classList.remove('dragging');
    if (commit && value !== scale.value) request(requests.position, value);
    else placeThumb(thumbOffset(scale.value));
  }
  thumb.addEventListener('pointerup', guard(function () { endDrag(true); }));
  thumb.addEventListener('pointercancel', guard(function () { endDrag(false); }));
  bar.addEventListener('pointerup', guard(stopRepeat));
  bar.addEventListener('pointercancel', guard(stopRepeat));
  bar.addEventListener('lostpointercapture', guard(stopRepeat));

  var keys = {
    ArrowUp: requests.lineUp, ArrowLeft: requests.lineUp, ArrowDown: requests.lineDown,
    ArrowRight: requests.lineDown, PageUp: requests.pageUp, PageDown: requests.pageDown,
    Home: requests.top, End: requests.bottom,
  };
  bar.addEventListener('keydown', guard(function (event) {
    if (event.altKey || event.ctrlKey || event.metaKey || !(event.key in keys) || scale === null) return;
    event.preventDefault();
    request(keys[event.key]);
  }));

  return {
    // Draws the bar; the temperatures at its ends are its range for screen readers.
    show: function (min, max, value, lowestTemperature, highestTemperature) {
      scale = { min: min, max: max, value: value };
      if (!drag) placeThumb(thumbOffset(value));
      setAttribute('aria-valuemin', lowestTemperature);
      setAttribute('aria-valuemax', highestTemperature);
    },
    report: function (temperature) { setAttribute('aria-valuenow', temperature); },
    stopRepeat: stopRepeat,
  };
}
