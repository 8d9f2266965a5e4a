// The engine screen's state and the wording its parts share: the screen (engine.js), the run
// (engine_run.js), the result list (engine_list.js) and the downloads (engine_export.js).
import { tr } from './i18n.js';

export const $ = (id) => document.getElementById(id);

export const state = {
  running: null, // the pool of the run in progress
  stopping: false,
  loaded: null, // { id, name, scale } of the result last read
  kerma: null, // { id, name, scale, curves } of the result whose kerma is drawn
  sets: [], // [{ id, name, field, energy, family, curves, scale, row }], as `comparison` lists them
  // The C++ result library's view: { sets, listed, loaded, kerma, canSave, canUndo, undoFile }.
  comparison: null,
  opened: new Map(), // { id, scale } of each result read, by its name
  removed: null, // the kept result last removed ({ name, text, statistics }), for undo
  field: 8,
  saved: [],
  names: null,
  switches: [], // the parts of the physics a run may switch off, as the core names them
  // The geometry of every drawn curve: 0 the engine's parallel beam, else the SSD [cm] of a
  // point source. One for all sets, so that the graph, table and downloads name one.
  ssd: 0,
  total: null, // the worker that adds the blocks and keeps the opened results
  // The slab phantom of the next run, as the core read it: { link, mark, text, bands, rows };
  // text '' for water, rows the layer editor's.
  phantom: { link: 'water', mark: '', text: '', bands: [], rows: [] },
  // Why the layer editor's rows cannot run ('' when they read or the editor is closed); the
  // phantom before them stays in force, and Start rests.
  layerProblem: '',
};

// The curves are drawn on the scale of each result's fitted surface kerma (not of its kerma
// maximum, a single noisy bin), so that runs of one beam line up whatever their photon
// counts; the axis says so. The CSV keeps the result file's own scale, and says that.
export function graphTexts() {
  return {
    title: tr('Web', '線束中心軸上の深部線量プロファイル'),
    geometry: geometryText(),
    depth: tr('Figures', '水中の深さ (cm)'),
    dose: tr('Figures', '相対線量 (%)'),
    doseScale: tr('Web', '100 % = 表面の一次線カーマ（当てはめ）'),
    empty: tr('Figures', '深部線量データがありません'),
  };
}

// The geometry the curves are shown in, worded as Dosavia's --plot titles its picture.
export function geometryText() {
  return state.ssd > 0 ? tr('Figures', '点線源 SSD %1 cm（近似）', state.ssd) : tr('Figures', '平行ビーム');
}

export function componentNames() {
  return [tr('Figures', '水吸収線量'), tr('Figures', '一次線線量'), tr('Figures', '散乱線線量')];
}

// The value table's cells of one set, as shown and as drawn into the picture: the wording
// of Dosavia's table, which the core gives with the row.
// A phantom set's values at its interfaces follow its name, as in Dosavia's table.
export function tableCells(set) {
  const { dmax, surface, d10, tpr } = set.row.cells;
  return [set.interfaces ? `${set.legend} — ${set.interfaces}` : set.legend, dmax, surface, d10, tpr];
}

// Whether a set's uncertainties are estimated from its curve alone (no run statistics): its
// cells then carry "*", which the note under the table explains.
export function estimated(set) {
  return !set.row.measured && Object.values(set.row.cells).some((cell) => cell.endsWith('*'));
}

export function tableNote() {
  if (state.ssd > 0)
    return tr(
      'Web',
      '* 推定: 点線源の d_max の不確かさは、平行ビームの実行統計と曲線の雑音の大きい方です (点線源の曲線では測っていません)。',
    );
  return tr('Web', '* 推定: 実行統計 (.stat) のない結果の不確かさは、その曲線だけから見積もった値です。');
}
