// ESLint for the project's JavaScript (run by tools/lint.sh from the
// repository's root, with this folder's locked ESLint):
//   - the page's scripts, classic scripts linked into Emscripten's loader
//     (the role scripts with --post-js, page_imports.js with --js-library) and the
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

// The page's scripts by role (every src/web/*.js but the --js-library file)
// share the loader's scope: each one's top-level functions and variables are
// the others' globals, and so is the data the build writes from the design.
const pageScripts = fs.readdirSync(path.join(root, 'src/web'))
  .filter((name) => name.endsWith('.js') && name !== 'page_imports.js')
  .map((name) => 'src/web/' + name);

function pageScriptNames() {
  const names = { designData: 'readonly' };
  for (const file of pageScripts) {
    const source = fs.readFileSync(path.join(root, file), 'utf8');
    for (const match of source.matchAll(/^(?:function|var|let|const)\s+([A-Za-z_$][\w$]*)/gm)) {
      names[match[1]] = 'readonly';
    }
  }
  return names;
}

// What Emscripten's runtime puts in the loader's scope for the scripts linked
// into it.
const emscriptenRuntime = Object.fromEntries(
  ['Module', 'ENV', 'abort', 'stringToUTF8', 'UTF8ToString', 'lengthBytesUTF8', 'ccall', 'cwrap', 'getValue', 'setValue',
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
    files: pageScripts,
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      globals: { ...globals.browser, ...emscriptenRuntime, ...programExports(), ...pageScriptNames() },
    },
    rules: {
      ...commonRules,
      // A script's own top-level names are globals of the others: defining
      // them is no redeclaration, and their users are in the other files.
      'no-redeclare': ['error', { builtinGlobals: false }],
      'no-unused-vars': ['error', { vars: 'local', caughtErrorsIgnorePattern: '^ignored$' }],
    },
  },
  {
    files: ['src/web/page_imports.js'],
    languageOptions: {
      ecmaVersion: 'latest',
      sourceType: 'script',
      // The page's scripts' names, in the same scope.
      globals: { ...globals.browser, ...emscriptenRuntime, ...emscriptenLibrary, ...pageScriptNames() },
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
    // What their evaluate callbacks may reach in the page's scope, too.
    languageOptions: { globals: { ...globals.node, ...globals.browser, ...programExports(), designData: 'readonly' } },
  },
];
