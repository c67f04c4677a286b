// The window's text runs as wide in every engine: reads the widths that the
// Chromium, Firefox and WebKit tests measured on the site (page_checks.mjs,
// checkTextWidths), prints them side by side with the font's own widths and
// fails when two engines differ by more than a pixel on any run.
//
//   node compare_text_widths.mjs ENGINE=FILE...
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

const TOLERANCE_PX = 1;

const engines = process.argv.slice(2).map((argument) => {
  const [name, file] = argument.split('=');
  return { name, measured: JSON.parse(readFileSync(file, 'utf8')) };
});
assert.ok(engines.length >= 2, 'usage: compare_text_widths.mjs ENGINE=FILE ENGINE=FILE...');

const wrong = [];
for (const fonts of Object.keys(engines[0].measured)) {
  console.log(`\n${fonts === 'page' ? 'The fonts the page gets here' : 'The page\'s web font'} (px):`);
  console.log(['font', ...engines.map((engine) => engine.name), 'run'].map((cell) => cell.padEnd(9)).join(' '));
  const runs = engines[0].measured[fonts];
  for (const [i, run] of runs.entries()) {
    const widths = engines.map((engine) => {
      const same = engine.measured[fonts]?.[i];
      assert.ok(same && same.widget === run.widget && same.text === run.text,
                `${engine.name} measured the same runs as ${engines[0].name} (${run.widget} "${run.text}")`);
      return same.width;
    });
    console.log([run.font, ...widths].map((width) => width.toFixed(2).padEnd(9)).join(' ') + ` ${run.widget} "${run.text}"`);
    const spread = Math.max(...widths) - Math.min(...widths);
    if (spread > TOLERANCE_PX) wrong.push(`${fonts} ${run.widget} "${run.text}": ${spread.toFixed(2)} px apart`);
  }
}
assert.deepEqual(wrong, [], `text runs more than ${TOLERANCE_PX} px apart between engines`);
