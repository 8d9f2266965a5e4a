// The engine screen's result list, Dosavia's 既存データ: the results kept in the browser
// (engine_store.js) with their downloads and removal, a result read into the total worker
// (読み込み), and result files (with their run statistics) opened from the machine.
import { $, state } from './engine_state.js';
import { saveBlob } from './engine_export.js';
import { listResults, removeResult, resultsOutliveThePage, saveResult } from './engine_store.js';
import { language, tr } from './i18n.js';
import { showNotice } from './notice.js';

export function showLoaded() {
  $('e-loaded-label').textContent = state.loaded
    ? tr('EngineScreen', '読み込んだファイル：%1', state.loaded.name)
    : tr('EngineScreen', '  結果ファイルを選択して下さい ').trim();
}

// The statistics file's name of each kept result (the core's rule: 10MV-1M.stat).
const statisticsNames = new Map();

// The screen's comparison, set by engine.js: compare(action, arg, draw) as the C++ result
// library takes it, then (unless `draw` is false) the list, graph and table drawn again.
export const listHooks = { compare: async () => {} };

export async function refreshSaved() {
  state.saved = await listResults();
  for (const record of state.saved)
    if (!statisticsNames.has(record.name))
      statisticsNames.set(record.name, await state.total.call('statisticsName', { file: record.name }));
  $('e-store-note').hidden = resultsOutliveThePage();
  // Drawn once, at the end: a result no longer kept is drawn no more.
  await listHooks.compare(
    'list',
    state.saved.map((record) => record.name),
  );
}

export function renderSaved() {
  const list = $('e-saved');
  list.replaceChildren();
  for (const record of state.saved) {
    const li = document.createElement('li');
    const read = document.createElement('button');
    read.type = 'button';
    read.className = 'saved-name';
    read.textContent = record.name;
    read.title = tr('EngineScreen', '読み込み');
    read.setAttribute('aria-pressed', String(state.loaded?.name === record.name));
    read.addEventListener('click', () => readResult(record.name, record.text, record.statistics));
    const download = document.createElement('button');
    download.type = 'button';
    download.textContent = '⤓';
    download.title = tr('Web', 'ダウンロード');
    download.setAttribute('aria-label', `${tr('Web', 'ダウンロード')} ${record.name}`);
    download.addEventListener('click', () => saveBlob(new Blob([record.text], { type: 'text/plain' }), record.name));
    // The run statistics go with the result, so that Dosavia measures its uncertainties
    // wherever the two files are put side by side.
    const statistics = document.createElement('button');
    statistics.type = 'button';
    statistics.className = 'stat-download';
    statistics.textContent = '⤓.stat';
    statistics.title = tr('Web', '実行統計 (.stat) をダウンロード');
    statistics.hidden = !record.statistics;
    if (record.statistics) {
      const name = statisticsNames.get(record.name) ?? `${record.name}.stat`;
      statistics.setAttribute('aria-label', `${tr('Web', 'ダウンロード')} ${name}`);
      statistics.addEventListener('click', () => saveBlob(new Blob([record.statistics], { type: 'text/plain' }), name));
    }
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.textContent = '✕';
    remove.title = tr('Web', '削除');
    remove.setAttribute('aria-label', `${tr('Web', '削除')} ${record.name}`);
    remove.addEventListener('click', async () => {
      // Taken off the list and the graph at once; 元に戻す under the graph brings it back.
      state.removed = record;
      await removeResult(record.name);
      await listHooks.compare('forget', record.name, false);
      await refreshSaved();
    });
    li.append(read, download, statistics, remove);
    list.append(li);
  }
  if (state.saved.length === 0) {
    const li = document.createElement('li');
    li.className = 'note';
    li.textContent = tr('Web', '保存された結果はまだありません');
    list.append(li);
  }
}

// Reads a result file's text (or its bytes) into the total worker (the desktop's 読み込み),
// with its run statistics (a .stat file's text) when there are any; the sets drawn from it
// keep its curves. Returns { opened, attached, why }: attached is false for statistics that
// are not that very result's or no run's (its uncertainties then stay estimated), and `why`
// says what was wrong with them.
export async function readResult(name, text, statistics, statisticsName = undefined) {
  await state.total.call('language', { lang: language() });
  const opened = await state.total.call('open', { text, name });
  if (opened.error) {
    showNotice(`${tr('EngineScreen', '%1 は計算結果ファイルとして読み込めません', name)}\n${opened.error}`);
    return { opened: false, attached: false };
  }
  const why = statistics
    ? await state.total.call('attach', { id: opened.id, text: statistics, name: statisticsName ?? 'statistics' })
    : undefined;
  const attached = why === '';
  state.loaded = {
    id: opened.id,
    name,
    scale: await state.total.call('scale', { id: opened.id }),
  };
  state.opened.set(name, { id: opened.id, scale: state.loaded.scale });
  showNotice('');
  await listHooks.compare('load', name);
  return { opened: true, attached, why };
}

// The result files chosen by the user, read as the desktop reads one: refused unread when it
// is larger than any reader takes (it would be kept and loaded again on every visit), and
// its bytes given to the C++ reader as they are, so that a byte-order mark or UTF-16 is
// refused there as on the desktop instead of being decoded away. A result's run statistics
// may come with it, chosen together: the .stat file of its name (10MV-1M.stat beside
// 10MV-1M.data) is kept with it when it is that very run's, and said when it is not.
export async function openFiles(files) {
  await state.total.call('language', { lang: language() });
  const problems = [];
  // Said with the other problems at the end: a notice shown now would be cleared by the
  // next file read.
  const tooLarge = async (file) => {
    const problem = await state.total.call('sizeProblem', { name: file.name, bytes: file.size });
    if (problem)
      problems.push(`${tr('EngineScreen', '%1 は計算結果ファイルとして読み込めません', file.name)}\n${problem}`);
    return Boolean(problem);
  };
  const isStatistics = (file) => /\.stat$/i.test(file.name);
  const statistics = new Map(files.filter(isStatistics).map((file) => [file.name, file]));
  for (const file of files.filter((f) => !isStatistics(f))) {
    const statName = await state.total.call('statisticsName', { file: file.name });
    const statFile = statistics.get(statName);
    statistics.delete(statName);
    if (await tooLarge(file)) continue;
    const statText = statFile && !(await tooLarge(statFile)) ? await statFile.text() : undefined;
    const bytes = new Uint8Array(await file.arrayBuffer());
    const read = await readResult(file.name, bytes, statText, statFile?.name);
    if (!read.opened) continue;
    if (statText !== undefined && !read.attached)
      problems.push(
        `${tr('Web', '%1 は %2 の実行統計ではありません (別の計算のものか、壊れています)。不確かさは推定のままです。', statFile.name, file.name)} ${read.why}`,
      );
    await saveResult(file.name, new TextDecoder().decode(bytes), read.attached ? statText : undefined);
    await refreshSaved();
  }
  // Statistics without their result cannot be read alone.
  for (const name of statistics.keys())
    problems.push(tr('Web', '%1 だけでは読めません。結果ファイルと一緒に選んで下さい。', name));
  if (problems.length > 0) showNotice(problems.join(' '));
}
