// The view "Наблюдение" (#Observation, made from the design at build time):
// shows and hides it, draws its pictures as SVG in each drawing's own
// pixels, writes its figures and its bands table, and puts the table's text
// on the clipboard. The program tells it what to show (page_imports.js);
// it decides nothing, and knows none of the view's widgets by name: the
// drawings are its picture boxes (.picture) and the figures its labels
// without a caption of their own (.figure), each in the markup's order,
// which is the design's.
//
//   view    the view's section; entry: the button "Наблюдение" that opens it
//   refit   fits the desk to the screen again (fit_screen.js)
//
// A drawing's lines come as numbers (9 to a line) and change at every tick
// while the view is open: they are drawn as one SVG path per style (colour,
// width, dashes), kept and rewritten in place, with joined segments as one
// polyline, so a tick adds no element once the styles are known.
function Observation(view, entry, guard, refit) {
  'use strict';
  var SVG = 'http://www.w3.org/2000/svg';
  var LINE = 9, MARKER = 6;
  var figures = view.querySelectorAll('.figure');
  var table = view.querySelector('.table');
  var bands = table.querySelector('tbody');
  var bandsColumns = table.querySelectorAll('th').length;
  var byHand = document.getElementById(table.id + '_text');
  var copyButton = view.querySelector('button');
  // A dashed line's dashes and gaps, as many times longer as it is wider.
  var dashes = function (width) {
    return designData.dashPattern.map(function (length) { return number(length * width); }).join(' ');
  };

  // A number as an SVG attribute: to a hundredth of a pixel.
  var number = function (value) { return String(Math.round(value * 100) / 100); };
  var colour = function (r, g, b) { return 'rgb(' + r + ',' + g + ',' + b + ')'; };
  // Whether the lines at a and b have the same colour, width and dashes.
  var sameStyle = function (lines, a, b) {
    for (var i = 4; i < LINE; i++) if (lines[a + i] !== lines[b + i]) return false;
    return true;
  };
  var set = function (element, name, value) {
    if (element.getAttribute(name) !== value) element.setAttribute(name, value);
  };

  // A drawing: its lines, then its markers, then its texts, each in a group
  // of its own. The image is named and described as a whole, so its parts
  // are hidden from screen readers.
  function Plot(box) {
    var svg = box.querySelector('svg');
    var description = document.getElementById(svg.getAttribute('aria-describedby'));
    var group = function () {
      var made = svg.appendChild(document.createElementNS(SVG, 'g'));
      made.setAttribute('aria-hidden', 'true');
      return made;
    };
    var lineGroup = group(), markerGroup = group(), textGroup = group();
    var paths = [], labels = [], circles = [];
    var size = '';
    var keep = function (pool, parent, count, tag) {
      while (pool.length < count) pool.push(parent.appendChild(document.createElementNS(SVG, tag)));
      while (pool.length > count) parent.removeChild(pool.pop());
    };

    return {
      draw: function (width, height, lines, markers) {
        var dimensions = number(width) + ' ' + number(height);
        if (dimensions !== size) {
          size = dimensions;
          svg.setAttribute('viewBox', '0 0 ' + dimensions);
          svg.setAttribute('width', number(width));
          svg.setAttribute('height', number(height));
        }
        // The lines by style, in the order each style first comes; a line
        // mostly has the style of the one before it.
        var styles = [], style = null;
        for (var at = 0; at < lines.length; at += LINE) {
          if (!style || !sameStyle(lines, style.at, at)) {
            style = null;
            for (var known = 0; known < styles.length && !style; known++) {
              if (sameStyle(lines, styles[known].at, at)) style = styles[known];
            }
            if (!style) {
              style = { at: at, d: '', x: NaN, y: NaN };
              styles.push(style);
            }
          }
          if (lines[at] !== style.x || lines[at + 1] !== style.y) {
            style.d += 'M' + number(lines[at]) + ' ' + number(lines[at + 1]);
          }
          style.d += 'L' + number(lines[at + 2]) + ' ' + number(lines[at + 3]);
          style.x = lines[at + 2];
          style.y = lines[at + 3];
        }
        keep(paths, lineGroup, styles.length, 'path');
        styles.forEach(function (style, index) {
          var path = paths[index], first = style.at, width = lines[first + 7];
          set(path, 'fill', 'none');
          set(path, 'stroke-linejoin', 'round');
          set(path, 'stroke', colour(lines[first + 4], lines[first + 5], lines[first + 6]));
          set(path, 'stroke-width', number(width));
          set(path, 'stroke-dasharray', lines[first + 8] ? dashes(width) : 'none');
          // Thin lines on whole pixels, sharp; thicker ones smooth, with
          // round ends where a colour follows another.
          set(path, 'shape-rendering', width <= 1 ? 'crispEdges' : 'auto');
          set(path, 'stroke-linecap', width <= 1 ? 'butt' : 'round');
          set(path, 'd', style.d);
        });
        keep(circles, markerGroup, markers.length / MARKER, 'circle');
        circles.forEach(function (circle, index) {
          var at = index * MARKER;
          set(circle, 'cx', number(markers[at]));
          set(circle, 'cy', number(markers[at + 1]));
          set(circle, 'r', number(markers[at + 2]));
          set(circle, 'fill', colour(markers[at + 3], markers[at + 4], markers[at + 5]));
        });
      },
      texts: function (count) { keep(labels, textGroup, count, 'text'); },
      text: function (index, x, y, anchor, text) {
        var label = labels[index];
        set(label, 'x', number(x));
        set(label, 'y', number(y));
        set(label, 'text-anchor', anchor);
        if (label.textContent !== text) label.textContent = text;
      },
      describe: function (text) { description.textContent = text; },
    };
  }

  // The table's text where the user can copy it by hand: shown over the
  // table, selected, until it loses the focus.
  function showByHand(text) {
    byHand.value = text;
    byHand.hidden = false;
    byHand.focus();
    byHand.select();
  }
  byHand.addEventListener('blur', function () { byHand.hidden = true; });
  byHand.addEventListener('keydown', function (event) {
    if (event.key === 'Escape') copyButton.focus();
  });

  // The older way, which works from file:// and in browsers without the
  // asynchronous clipboard: a selected text copied by the browser's command.
  function copyByCommand(text) {
    var area = document.createElement('textarea');
    area.value = text;
    area.setAttribute('readonly', '');
    // Out of sight, and laid out as written: tabs and line ends stay.
    area.style.cssText = 'position:fixed;left:0;top:0;width:1px;height:1px;opacity:0;white-space:pre';
    document.body.appendChild(area);
    var focused = document.activeElement;
    area.select();
    var copied = false;
    try {
      copied = document.execCommand('copy');
    } catch (ignored) { /* then by hand */ }
    document.body.removeChild(area);
    if (focused && focused.focus) focused.focus();
    if (!copied) showByHand(text);
  }

  return {
    plots: Array.prototype.map.call(view.querySelectorAll('.picture'), Plot),
    show: function (shown) {
      if (!shown && view.contains(document.activeElement)) entry.focus();
      view.hidden = !shown;
      entry.setAttribute('aria-expanded', String(shown));
      if (!shown) byHand.hidden = true;
      refit();
    },
    figure: function (index, text) { figures[index].textContent = text; },
    bandsRows: function (count) {
      while (bands.rows.length > count) bands.deleteRow(-1);
      while (bands.rows.length < count) {
        var row = bands.insertRow(-1);
        for (var column = 0; column < bandsColumns; column++) row.insertCell(-1);
      }
    },
    bandsCell: function (row, column, text) { bands.rows[row].cells[column].textContent = text; },
    copy: function (text) {
      var clipboard = navigator.clipboard;
      if (clipboard && typeof clipboard.writeText === 'function') {
        clipboard.writeText(text).then(null, guard(function () { copyByCommand(text); }));
      } else {
        copyByCommand(text);
      }
    },
  };
}
