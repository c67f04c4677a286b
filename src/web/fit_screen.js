// Smaller screens: the desk (the window, the button under it and the view
// "Наблюдение" when open) is scaled down to fit, never cut. With the view
// open, it stands beside the window or under it, whichever lets the whole be
// larger: beside on a wide screen, under on a narrow one. The scaling is a
// transform, which leaves the layout alone: every widget keeps its design
// size in CSS pixels, so a size is read from the layout once (measuredOnce),
// not at every tick, where reading it would make the browser lay the page
// out again; and a distance on the screen is turned into the window's pixels
// with screenScale.
//
// Returns the fitting itself, for when the view opens or closes.
function FitToScreen(desk, screen, view, guard) {
  'use strict';
  var ARRANGEMENTS = ['beside', 'under'];

  // The layout viewport without scroll bars: on a phone, innerWidth grows
  // with content wider than the screen.
  function scaleIn(width, height) {
    var root = document.documentElement;
    return Math.min(1, root.clientWidth / width, root.clientHeight / height);
  }

  var fit = guard(function () {
    var best = null;
    var arrangements = view.hidden ? [ARRANGEMENTS[0]] : ARRANGEMENTS;
    arrangements.forEach(function (arrangement) {
      ARRANGEMENTS.forEach(function (each) { desk.classList.toggle(each, each === arrangement); });
      var size = { arrangement: arrangement, width: desk.offsetWidth, height: desk.offsetHeight };
      size.factor = scaleIn(size.width, size.height);
      if (!best || size.factor > best.factor) best = size;
    });
    ARRANGEMENTS.forEach(function (each) { desk.classList.toggle(each, each === best.arrangement); });
    desk.style.transform = best.factor < 1 ? 'scale(' + best.factor + ')' : '';
    screen.style.width = best.width * best.factor + 'px';
    screen.style.height = best.height * best.factor + 'px';
  });
  window.addEventListener('resize', fit);
  fit();
  return fit;
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
