// eslint for the browser edition: rules that catch faults (names never defined, code and
// values never used, unreachable code, duplicate keys, ...) and the line limit; the rest of
// the layout is prettier's. tools/lint.sh runs it on the changed files (--all: every file).
import js from '@eslint/js';
import globals from 'globals';

export default [
  { ignores: ['node_modules/'] },
  js.configs.recommended,
  {
    rules: {
      // Arguments named for the reader (an event handler's event, a callback's index) may
      // stay unused; so may a caught error that the handler does not need.
      'no-unused-vars': ['error', { args: 'none', caughtErrors: 'none' }],
      // The workers name importScripts in a global comment, which the worker globals already
      // hold: harmless. A variable redeclared in one scope is still an error.
      'no-redeclare': ['error', { builtinGlobals: false }],
      // The one layout rule: prettier (web/.prettierrc.json) lays the code out in 120 columns
      // but leaves a line it cannot break longer; such a line is an error here, long texts
      // (strings, templates, patterns) excepted.
      'max-len': [
        'error',
        { code: 120, ignoreStrings: true, ignoreTemplateLiterals: true, ignoreRegExpLiterals: true, ignoreUrls: true },
      ],
    },
  },
  // The page's modules.
  {
    files: ['src/**/*.js'],
    languageOptions: { sourceType: 'module', globals: { ...globals.browser } },
  },
  // The workers are classic scripts (importScripts); the engine's worker is a Node worker
  // thread too.
  {
    files: ['src/visual_worker.js', 'src/engine_worker.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.worker } },
  },
  {
    files: ['src/engine_worker.js'],
    languageOptions: { globals: { ...globals.node } },
  },
  {
    files: ['src/sw.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.serviceworker } },
  },
  // Modules shared by the page and Node (kestrun.mjs runs the engine under Node).
  {
    files: ['src/**/*.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.browser, ...globals.node } },
  },
  // The tests and build tools run under Node; the tests' page callbacks run in the browser.
  {
    files: ['test/**/*.mjs', 'tools/**/*.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.node, ...globals.browser } },
  },
];
