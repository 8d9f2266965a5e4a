// Builds the browser edition's texts from the sources Dosavia uses: the Japanese source texts
// and English translations of gui/translations/dosavia_en.ts, and the few texts only the
// browser shows (web/texts/web_texts.json, Japanese with English). Writes one ES module.
// Usage: node make_texts.mjs <dosavia_en.ts> <web_texts.json> <out.js>
import { readFileSync, writeFileSync } from 'node:fs';

function decode(text) {
  return text
    .replace(/&lt;/g, '<')
    .replace(/&gt;/g, '>')
    .replace(/&quot;/g, '"')
    .replace(/&apos;/g, "'")
    .replace(/&#x([0-9a-fA-F]+);/g, (_, h) => String.fromCodePoint(parseInt(h, 16)))
    .replace(/&amp;/g, '&');
}

// { context: { japanese source: english translation } }
export function parseTs(xml) {
  const contexts = {};
  for (const ctx of xml.matchAll(/<context>\s*<name>([^<]*)<\/name>([\s\S]*?)<\/context>/g)) {
    const table = (contexts[decode(ctx[1])] ??= {});
    for (const m of ctx[2].matchAll(
      /<message>\s*<source>([\s\S]*?)<\/source>\s*<translation(?:\s[^>]*)?>([\s\S]*?)<\/translation>/g,
    ))
      table[decode(m[1])] = decode(m[2]);
  }
  return contexts;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [tsFile, webFile, out] = process.argv.slice(2);
  const ts = parseTs(readFileSync(tsFile, 'utf8'));
  const web = JSON.parse(readFileSync(webFile, 'utf8'));
  for (const [ctx, table] of Object.entries(web)) {
    if (ctx.startsWith('//')) continue;
    for (const [ja, en] of Object.entries(table)) {
      if (!en) throw new Error(`${webFile}: "${ja}" has no English text`);
      (ts[ctx] ??= {})[ja] = en;
    }
  }
  writeFileSync(
    out,
    `// Generated from Dosavia's translation file and the browser's own texts.\nexport const TEXTS = ${JSON.stringify(ts)};\n`,
  );
}
