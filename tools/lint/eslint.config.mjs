// ESLint for the project's JavaScript (run by tools/lint.sh from the
// repository's root, with this folder's locked ESLint):
//   - the page's scripts, classic scripts linked into Emscripten's loader
//     (src/web/*.js with --post-js, page_imports.js with --js-library) and the
//     Node test programs' --pre-js (tools/node-env.js): they share the
//     loader's scope, so its runtime helpers and the program's exports are
//     their globals, and their own top-level names are their interface;
//   - Node ES modules: the page's assembly at build time, the web tests and
//     the web benchmark. Functions they hand to the browser (Playwright's
//     evaluate) run in the page, so these files see the browser's globals too.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import js from '@eslint/js';
import globals from 'globals';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// The program's exports, as the loader names them: `_` and each
// EMSCRIPTEN_KEEPALIVE function of the browser front end's C++.
function programExports() {
  const names = {};
  const folder = path.join(root, 'src/web');
  for (const file of fs.readdirSync(folder).filter((name) => name.endsWith('.cpp'))) {
    const source = fs.readFileSync(path.join(folder, file), 'utf8');
    for (const match of source.matchAll(/EMSCRIPTEN_KEEPALIVE\s+[^(;{]*?\b([A-Za-z_]\w*)\s*\(/g)) {
      names['_' + match[1]] = 'readonly';
    }
  }
  return names;
}

// The page's own scripts' top-level names (src/web/*.js, each a widget's
// role, linked one after the other into the loader's scope) and the design's
// data that generate_page writes ahead of them (design.js).
function pageScriptNames() {
  const names = { designData: 'readonly' };
  const folder = path.join(root, 'src/web');
  for (const file of fs.readdirSync(folder).filter((name) => name.endsWith('.js') && name !== 'page_imports.js')) {
    const source = fs.readFileSync(path.join(folder, file), 'utf8');
    for (const match of source.matchAll(/^(?:function|var)\s+([A-Za-z_$][\w$]*)/gm)) names[match[1]] = 'readonly';
  }
  return names;
}

// What Emscripten's runtime puts in the loader's scope for the scripts linked
// into it.
const emscriptenRuntime = Object.fromEntries(
  ['Module', 'ENV', 'stringToUTF8', 'UTF8ToString', 'lengthBytesUTF8', 'ccall', 'cwrap', 'getValue', 'setValue',
    'HEAP8', 'HEAPU8', 'HEAP16', 'HEAPU16', 'HEAP32', 'HEAPU32', 'HEAPF32', 'HEAPF64']
    .map((name) => [name, 'readonly']));

// Emscripten's JavaScript library API, for --js-library files.
const emscriptenLibrary = { mergeInto: 'readonly', LibraryManager: 'readonly' };

const commonRules = {
  // `catch (ignored)`: the error is dropped on purpose.
  'no-unused-vars': ['error', { caughtErrorsIgnorePattern: '^ignored$' }],
};

export default [
  js.configs.recommended,
  {
    files: ['src/web/*.js'],
    ignores: ['src/web/page_imports.js'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      globals: { ...globals.browser, ...emscriptenRuntime, ...programExports(), ...pageScriptNames(),
        abort: 'readonly' },
    },
    rules: { ...commonRules, 'no-unused-vars': ['error', { vars: 'local', caughtErrorsIgnorePattern: '^ignored$' }],
      // Each file defines its own names among the others'.
      'no-redeclare': ['error', { builtinGlobals: false }] },
  },
  {
    files: ['src/web/page_imports.js'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      // `mainForm` is main_form.js's window, in the same scope.
      globals: { ...globals.browser, ...emscriptenRuntime, ...emscriptenLibrary, mainForm: 'readonly' },
    },
    rules: commonRules,
  },
  {
    files: ['tools/node-env.js'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      globals: { ...globals.node, ...emscriptenRuntime },
    },
    rules: commonRules,
  },
  {
    files: ['**/*.mjs'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'module',
      globals: { ...globals.node },
    },
    rules: commonRules,
  },
  {
    files: ['tests/web/**/*.mjs', 'bench/web/*.mjs'],
    // ... and the page's own scope, where a test calls the program itself.
    languageOptions: { globals: { ...globals.node, ...globals.browser, ...programExports(), designData: 'readonly' } },
  },
];
