// Puts the page together from its generated and hand-written parts.
//
//   node assemble.mjs site   SITE_FOLDER GENERATED_FOLDER SOURCE_FOLDER VERSION FILE...
//     index.html (script, font, icons and manifest as files beside it), the
//     FILEs copied in, and sw.js precaching all of it.
//   node assemble.mjs single OUTPUT.html GENERATED_FOLDER SOURCE_FOLDER SCRIPT.js PROGRAM.wasm FONT.woff2 ICON.svg LICENCE.txt
//     one self-contained HTML file: script, font and icon inlined, and the
//     WebAssembly gzipped, in base64, as the script's `dulmeriWasm`
//     (embedded_wasm.js); the font's licence in a comment; no manifest, no
//     service worker.
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { gzipSync } from 'node:zlib';

const [mode, output, generated, source, ...rest] = process.argv.slice(2);
const read = (file) => readFileSync(file, 'utf8');
const dataUrl = (file, type) => `data:${type};base64,${readFileSync(file).toString('base64')}`;

function page({ head, font, script }) {
  const parts = {
    TITLE: read(join(generated, 'title.txt')),
    RELOAD: read(join(generated, 'reload.txt')),
    DESCRIPTION: read(join(generated, 'description.txt')),
    HEAD: head,
    FONT: font,
    STYLE: read(join(source, 'page.css')) + read(join(generated, 'window.css')),
    WINDOW: read(join(generated, 'window.html')),
    SCRIPT: script,
  };
  // One pass, so that nothing inserted is read as a placeholder again.
  return read(join(source, 'index.html.in')).replace(/@([A-Z]+)@/g, (whole, name) => parts[name] ?? whole);
}

// The font's copyright and licence, without the notes on Debian's packaging
// of it that follow in the same file.
const fontLicence = (file) => read(file).split(/\n(?=Files: debian\/)/)[0].trimEnd();

const manifest = JSON.parse(read(join(generated, 'manifest.webmanifest')));

if (mode === 'site') {
  const [version, ...files] = rest;
  mkdirSync(output, { recursive: true });
  for (const file of files) copyFileSync(file, join(output, basename(file)));
  copyFileSync(join(generated, 'manifest.webmanifest'), join(output, 'manifest.webmanifest'));
  writeFileSync(join(output, 'index.html'), page({
    head: '<meta name="theme-color" content="' + manifest.theme_color + '">' +
      '<link rel="manifest" href="manifest.webmanifest">' +
      '<link rel="icon" href="dulmeri.svg" type="image/svg+xml">' +
      '<link rel="icon" href="dulmeri-32.png" sizes="32x32" type="image/png">' +
      '<link rel="apple-touch-icon" href="dulmeri-192.png">' +
      // The WebAssembly starts loading with the page, not after the script.
      '<link rel="preload" href="dulmeri.wasm" as="fetch" type="application/wasm" crossorigin>',
    font: 'dulmeri-serif.woff2',
    script: '<script src="dulmeri.js"></script>',
  }));
  // The service worker's cache carries the version and the hash of every file.
  const names = readdirSync(output).filter((name) => name !== 'sw.js').sort();
  const hash = createHash('sha256');
  for (const name of names) hash.update(name).update(readFileSync(join(output, name)));
  // What the page needs to open offline; the raster icons are the browser's
  // to fetch when the app is installed, and the licence is read online.
  const precached = ['./', ...names.filter((name) => !/\.(png|txt)$/.test(name))];
  writeFileSync(join(output, 'sw.js'), read(join(source, 'sw.js.in'))
    .replace('@CACHE@', `dulmeri-${version}-${hash.digest('hex').slice(0, 12)}`)
    .replace('@FILES@', JSON.stringify(precached)));
} else if (mode === 'single') {
  const [script, wasm, font, icon, licence] = rest;
  const program = gzipSync(readFileSync(wasm), { level: 9 }).toString('base64');
  const comment = (text) => '<!--\n' + text.replace(/--/g, '- -') + '\n-->';
  writeFileSync(output, page({
    head: '<meta name="theme-color" content="' + manifest.theme_color + '">' +
      '<link rel="icon" href="' + dataUrl(icon, 'image/svg+xml') + '">\n' +
      comment('The web font "Dulmeri Serif" inlined below is cut from Liberation Serif 2:\n\n' + fontLicence(licence)),
    font: dataUrl(font, 'font/woff2'),
    script: '<script>var dulmeriWasm="' + program + '";\n' + read(script).replace(/<\/(script)/gi, '<\\/$1') +
      '</script>',
  }));
} else {
  console.error('usage: assemble.mjs site|single ...');
  process.exit(2);
}
