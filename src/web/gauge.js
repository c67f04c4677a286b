// Picture1, the gauge: solid rectangles drawn on the sunken face in its own
// pixels, and the temperature and the heater's state for screen readers (a
// meter with a description).
function Gauge(picture) {
  'use strict';
  var face = picture.querySelector('.face');
  var size = measuredOnce(function () {
    return { width: picture.offsetWidth, height: picture.offsetHeight };
  });

  return {
    width: function () { return size().width; },
    height: function () { return size().height; },
    cls: function () { face.textContent = ''; },
    fill: function (left, top, width, height, r, g, b) {
      var box = document.createElement('div');
      box.style.cssText = 'left:' + left + 'px;top:' + top + 'px;width:' + width + 'px;height:' + height +
        'px;background:rgb(' + r + ',' + g + ',' + b + ')';
      face.appendChild(box);
    },
    showValue: function (temperature) { picture.setAttribute('aria-valuenow', String(temperature)); },
    describe: function (text) { picture.setAttribute('aria-description', text); },
  };
}
