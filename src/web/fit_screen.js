// Smaller screens: the whole window is scaled down to fit, never cut. The
// scaling is a transform, which leaves the layout alone: every widget keeps
// its design size in CSS pixels, so a size is read from the layout once
// (measuredOnce), not at every tick, where reading it would make the browser
// lay the page out again; and a distance on the screen is turned into the
// window's pixels with screenScale.
function FitToScreen(form, screen, guard) {
  'use strict';
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
}

// The size measure() finds once the page is laid out, from then on.
function measuredOnce(measure) {
  'use strict';
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

// The size of one of the element's CSS pixels on the screen.
function screenScale(element) {
  'use strict';
  return element.getBoundingClientRect().height / element.offsetHeight || 1;
}
