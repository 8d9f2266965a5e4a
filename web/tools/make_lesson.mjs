// Builds the lesson screen's texts from the lesson sheets themselves (docs/lesson_<name>_ja.md
// and _en.md, for each lesson), so that the site and the printed sheets say the same numbers:
// a changed sheet is a changed screen at the next build. Each step's paragraphs are sorted by the sheet's own
// markers: the question (*Ask:* / *問い：*) and the class's activity go to the students'
// steps, the answer and the expected values with their spread to the teacher's tips.
// Anything the reader does not know (a table, a deeper heading, a marker without its kind)
// stops the build instead of vanishing from the screen.
// Usage: node make_lesson.mjs <out.js> <name> <ja.md> <en.md> [<name> <ja.md> <en.md> ...]
// (the first lesson is the one the screen opens without lesson=NAME).
import { readFileSync, writeFileSync } from 'node:fs';

// The markers that open a part of a paragraph, by kind; a part before any marker is the
// step's own text (what to show, which screen).
const MARKERS = [
  { kind: 'ask', test: /^(Ask:|問い：)$/ },
  { kind: 'answer', test: /^(Answer:|答え：)$/ },
  { kind: 'expected', test: /^(Expected( d_max)?:?|(d_max の)?期待値：?)$/ },
  { kind: 'activity', test: /^(Compare with your neighbours:|隣の人と比べる:)$/ },
];
const FOR_TEACHER = new Set(['answer', 'expected']);
// A link into the site: the sheets write it relative to the built site's folder.
const SITE_LINK = /^(?:\.\.\/build\/web\/)?(index\.html\?screen=[^\s]*)$/;

// Inline markdown as tokens: text, em, strong, code, and links into the site (a link to
// another document keeps its words only: the site has no copy of docs/).
export function inline(text) {
  const tokens = [];
  const pattern = /\*\*([^*]+)\*\*|\*([^*]+)\*|`([^`]+)`|\[([^\]]+)\]\(([^)]+)\)/g;
  let at = 0;
  for (const m of text.matchAll(pattern)) {
    if (m.index > at) tokens.push({ t: 'text', s: text.slice(at, m.index) });
    if (m[1] !== undefined) tokens.push({ t: 'strong', s: m[1] });
    else if (m[2] !== undefined) tokens.push({ t: 'em', s: m[2] });
    else if (m[3] !== undefined) {
      const site = m[3].match(SITE_LINK);
      tokens.push(site ? { t: 'link', s: m[3], href: site[1] } : { t: 'code', s: m[3] });
    } else {
      const site = m[5].match(SITE_LINK);
      tokens.push(site ? { t: 'link', s: m[4], href: site[1] } : { t: 'text', s: m[4] });
    }
    at = m.index + m[0].length;
  }
  if (at < text.length) tokens.push({ t: 'text', s: text.slice(at) });
  return tokens;
}

// A paragraph cut at its markers: [{ kind, tokens }].
function parts(paragraph) {
  const tokens = inline(paragraph);
  const out = [{ kind: 'text', tokens: [] }];
  for (const token of tokens) {
    const marker = token.t === 'em' && MARKERS.find((k) => k.test.test(token.s.trim()));
    if (marker) out.push({ kind: marker.kind, tokens: [] });
    out.at(-1).tokens.push(token);
  }
  return out.filter((p) => p.tokens.some((t) => t.s.trim()));
}

// The sheet as blocks: paragraphs and lists (a list item's continuation lines are indented),
// split at the headings.
function sections(markdown, name) {
  const lines = markdown.replace(/\r/g, '').split('\n');
  const title = lines.shift().match(/^# (.+)$/)?.[1];
  if (!title) throw new Error(`${name}: no title line`);
  const out = [{ heading: null, blocks: [] }];
  let block = null;
  for (const line of lines) {
    if (/^#{3,}\s/.test(line) || /^\s*\|/.test(line))
      throw new Error(`${name}: the lesson screen cannot show "${line}"`);
    const heading = line.match(/^## (.+)$/);
    if (heading) {
      out.push({ heading: heading[1], blocks: [] });
      block = null;
    } else if (!line.trim()) {
      block = null;
    } else if (/^- /.test(line)) {
      if (!block || block.kind !== 'list') out.at(-1).blocks.push((block = { kind: 'list', items: [] }));
      block.items.push(line.slice(2).trim());
    } else if (block?.kind === 'list' && /^\s+\S/.test(line)) {
      block.items[block.items.length - 1] += ` ${line.trim()}`;
    } else if (block?.kind === 'paragraph') {
      block.text += `\n${line.trim()}`;
    } else {
      out.at(-1).blocks.push((block = { kind: 'paragraph', text: line.trim() }));
    }
  }
  return { title, sections: out };
}

// Japanese lines join directly, English ones with a space.
const joined = (text, lang) => text.replace(/\n/g, lang === 'ja' ? '' : ' ');

// { title, intro, steps: [{ title, student, teacher }], model: { title, items } }; student
// and teacher are blocks { kind, tokens } or { kind: 'links', items: [tokens] }.
export function readSheet(markdown, lang, name) {
  const { title, sections: all } = sections(markdown, name);
  const [front, ...rest] = all;
  const modelAt = rest.length - 1;
  const steps = rest.slice(0, modelAt).map((section) => {
    if (!/^\d+\. /.test(section.heading)) throw new Error(`${name}: "${section.heading}" is no numbered step`);
    const step = { title: section.heading, student: [], teacher: [] };
    for (const block of section.blocks) {
      if (block.kind === 'list') {
        step.student.push({ kind: 'links', items: block.items.map((item) => inline(item)) });
        continue;
      }
      for (const part of parts(joined(block.text, lang)))
        (FOR_TEACHER.has(part.kind) ? step.teacher : step.student).push(part);
    }
    return step;
  });
  const model = rest[modelAt];
  const items = model.blocks.flatMap((b) => (b.kind === 'list' ? b.items.map((i) => inline(joined(i, lang))) : []));
  if (steps.length < 6 || items.length < 5)
    throw new Error(`${name}: ${steps.length} steps and ${items.length} notes on the model`);
  const intro = front.blocks.map((b) => inline(joined(b.text ?? b.items.join(' '), lang)));
  return { title, intro, steps, model: { title: model.heading, items } };
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [out, ...rest] = process.argv.slice(2);
  if (!out || rest.length === 0 || rest.length % 3 !== 0)
    throw new Error('usage: make_lesson.mjs <out.js> <name> <ja.md> <en.md> [...]');
  const lessons = {};
  for (let i = 0; i < rest.length; i += 3) {
    const [name, ja, en] = rest.slice(i, i + 3);
    const lesson = {
      ja: readSheet(readFileSync(ja, 'utf8'), 'ja', ja),
      en: readSheet(readFileSync(en, 'utf8'), 'en', en),
    };
    if (lesson.ja.steps.length !== lesson.en.steps.length)
      throw new Error(`${name}: the two sheets have different steps`);
    lessons[name] = lesson;
  }
  writeFileSync(
    out,
    `// Generated by tools/build-web.sh from the lesson sheets (docs/lesson_*.md).\nexport const LESSONS = ${JSON.stringify(lessons)};\n`,
  );
}
