// What screen readers speak without the focus moving: each message is a new
// node in the page's one live region (role=status, polite), so the same
// message twice is spoken twice. The messages of one event (a stop that also
// switches the heater off) are added together; the next event's replace them.
function Announcer(region) {
  'use strict';
  var speaking = false;
  return {
    announce: function (text) {
      if (!speaking) {
        speaking = true;
        region.textContent = '';
        Promise.resolve().then(function () { speaking = false; });
      }
      var message = document.createElement('p');
      message.textContent = text;
      region.appendChild(message);
    },
  };
}
