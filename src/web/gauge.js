// Picture1, the gauge: solid rectangles drawn on the sunken face in its own
// pixels, and the temperature and the heater's state for screen readers (a
// meter with a description). The gauge is cleared and drawn again at every
// tick with the same few rectangles in a new place: each is kept as an
// element and only what changed in it is written; a rectangle no longer
// drawn is hidden once the drawing is done (at the end of the task that
// drew it).
function Gauge(picture) {
  'use strict';
  var face = picture.querySelector('.face');
  var boxes = [];  // {element, style} for each rectangle made so far
  var drawn = 0;   // how many of them the drawing under way has used
  var trimming = false;
  function trim() {
    trimming = false;
    for (var i = drawn; i < boxes.length; i++) {
      if (!boxes[i].element.hidden) boxes[i].element.hidden = true;
    }
  }
  var size = measuredOnce(function () {
    return { width: picture.offsetWidth, height: picture.offsetHeight };
  });

  return {
    width: function () { return size().width; },
    height: function () { return size().height; },
    cls: function () {
      drawn = 0;
      if (!trimming) {
        trimming = true;
        queueMicrotask(trim);
      }
    },
    fill: function (left, top, width, height, r, g, b) {
      if (drawn === boxes.length) boxes.push({ element: face.appendChild(document.createElement('div')), style: '' });
      var box = boxes[drawn++];
      var style = 'left:' + left + 'px;top:' + top + 'px;width:' + width + 'px;height:' + height +
        'px;background:rgb(' + r + ',' + g + ',' + b + ')';
      if (box.style !== style) {
        box.style = style;
        box.element.style.cssText = style;
      }
      if (box.element.hidden) box.element.hidden = false;
    },
    showValue: function (temperature) {
      var value = String(temperature);
      if (picture.getAttribute('aria-valuenow') !== value) picture.setAttribute('aria-valuenow', value);
    },
    describe: function (text) { picture.setAttribute('aria-description', text); },
  };
}
