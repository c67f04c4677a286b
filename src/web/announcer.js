// What screen readers speak without the focus moving: each message is a new
// node in the page's one live region (role=status, polite), so the same
// message twice is spoken twice. A screen reader reads a message some time
// after it came, up to a second and more on a busy computer, and skips one
// whose node is gone by then: so a message stays in the region for a while,
// and leaves it only when a later one comes.
function Announcer(region) {
  'use strict';
  var KEEP_MS = 10000;  // ... for this long
  var KEEP_COUNT = 20;  // ... among no more than this many

  return {
    announce: function (text) {
      var now = performance.now();
      while (region.firstChild && (region.childNodes.length >= KEEP_COUNT || now - region.firstChild.sentAt > KEEP_MS)) {
        region.removeChild(region.firstChild);
      }
      var message = document.createElement('p');
      message.textContent = text;
      message.sentAt = now;
      region.appendChild(message);
    },
  };
}
