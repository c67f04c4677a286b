// Timer1: a browser timer that waits the delays the program's schedule gives
// it (the core's TickSchedule, through the bridge). The schedule keeps the
// ticks' absolute due times, so the browser's lateness never adds up, and it
// runs the tick itself when one is due:
//
//   start(now)  the timer starts; returns the delay until it is to fire
//   fired(now)  it fired; returns the delay until the next time, 0 once stopped
//
// `now` is the page's clock, performance.now(), in milliseconds.
function Timer1(start, fired, guard) {
  'use strict';
  var running = false;
  var handle = 0;

  var onTimer = guard(function () {
    handle = 0;
    if (!running) return;
    var delay = fired(performance.now());
    if (delay > 0 && running) handle = setTimeout(onTimer, delay);
    else running = false;
  });

  return {
    // Enabling a running timer keeps its rhythm.
    enable: function (enabled) {
      if (enabled && !running) {
        running = true;
        handle = setTimeout(onTimer, start(performance.now()));
      } else if (!enabled) {
        running = false;
        clearTimeout(handle);
        handle = 0;
      }
    },
  };
}
