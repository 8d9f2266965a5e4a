// One source for every text: each text the browser edition shows is a Japanese source text of
// Dosavia's translation file (or of the browser's own short list), and each has its English.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseTs } from '../tools/make_texts.mjs';

const web = join(dirname(fileURLToPath(import.meta.url)), '..');
const ts = parseTs(readFileSync(join(web, '..', 'gui', 'translations', 'dosavia_en.ts'), 'utf8'));
const own = JSON.parse(readFileSync(join(web, 'texts', 'web_texts.json'), 'utf8'));

function known(ctx, ja) {
  return (ts[ctx] && ja in ts[ctx]) || (own[ctx] && ja in own[ctx]);
}

// Every tr('Context', 'text') in the scripts and data-tr="Context|text" in the pages.
function usedTexts() {
  const used = [];
  for (const file of readdirSync(join(web, 'src'))) {
    const source = readFileSync(join(web, 'src', file), 'utf8');
    for (const m of source.matchAll(/\btr\('([A-Za-z0-9]+)',\s*'((?:[^'\\]|\\.)*)'/g))
      used.push([file, m[1], m[2].replace(/\\n/g, '\n').replace(/\\'/g, "'")]);
    for (const m of source.matchAll(/data-tr="([A-Za-z0-9]+)\|([^"]*)"/g)) used.push([file, m[1], m[2]]);
  }
  return used;
}

test('every shown text has a source in Dosavia or the browser list', () => {
  const used = usedTexts();
  assert.ok(used.length > 30, `${used.length} texts found`);
  const missing = used.filter(([, ctx, ja]) => !known(ctx, ja)).map(([f, c, j]) => `${f}: ${c} "${j}"`);
  assert.deepEqual(missing, []);
});

test('every browser text has its English', () => {
  for (const [ctx, table] of Object.entries(own)) {
    if (ctx.startsWith('//')) continue;
    for (const [ja, en] of Object.entries(table)) assert.ok(en && en.trim(), `${ctx} "${ja}"`);
  }
});

test('the translation file is read with its entities', () => {
  const parsed = parseTs(
    `<TS><context><name>X</name><message><source>a &amp; &lt;b&gt; &quot;c&quot;</source><translation>d</translation></message></context></TS>`,
  );
  assert.deepEqual(parsed, { X: { 'a & <b> "c"': 'd' } });
});
