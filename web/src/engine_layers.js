// The engine screen's layer editor: a row a layer from the surface down, its material and its
// thickness in cm, rows added and removed. Every edit goes to the core, which reads the rows
// as the engine reads a phantom file; what it would refuse is shown with its row and field,
// and nothing runs until the rows read. The rows and the materials' names come from the core;
// this module draws them and forwards what is typed.
import { $, state } from './engine_state.js';
import { language, tr } from './i18n.js';

// Called with the core's answer to an edit ({ error, link, mark, text, bands, rows }).
export const layerHooks = { take: async () => {} };

let rows = []; // [{ material, thickness }] as typed
let materials = []; // [{ material, name }] in the page's language

const isOpen = () => !$('e-layers').hidden;

function draw() {
  const list = $('e-layer-rows');
  list.replaceChildren(
    ...rows.map((row, i) => {
      const item = document.createElement('li');
      const line = document.createElement('span');
      const material = document.createElement('select');
      material.setAttribute('aria-label', tr('EngineScreen', '物質'));
      material.append(...materials.map((m) => new Option(m.name, m.material)));
      material.value = row.material;
      material.addEventListener('change', () => {
        row.material = material.value;
        edited();
      });
      const thickness = document.createElement('input');
      thickness.setAttribute('aria-label', tr('EngineScreen', '厚さ [cm]'));
      thickness.inputMode = 'decimal';
      thickness.autocomplete = 'off';
      thickness.value = row.thickness;
      thickness.addEventListener('input', () => {
        row.thickness = thickness.value.normalize('NFKC').trim();
        edited();
      });
      const remove = document.createElement('button');
      remove.type = 'button';
      // A cross beside its own row, so that a row keeps to one line in the controls' column.
      remove.textContent = '×';
      remove.title = tr('EngineScreen', '行を削除');
      remove.setAttribute('aria-label', `${tr('EngineScreen', '行を削除')} ${i + 1}`);
      remove.addEventListener('click', () => {
        rows.splice(i, 1);
        draw();
        edited();
      });
      line.append(material, thickness, 'cm', remove);
      item.append(line);
      return item;
    }),
  );
}

// The rows as typed, read by the core over the phantom in force.
async function edited() {
  await state.total.call('language', { lang: language() });
  const answer = await state.total.call('editPhantom', { before: state.phantom.link, rows });
  state.layerProblem = answer.error;
  $('e-layer-problem').textContent = answer.error;
  $('e-start').disabled = Boolean(state.running) || Boolean(answer.error);
  await layerHooks.take(answer);
}

// The editor opened on the phantom in force (a preset's layers, the lung slab's for water),
// or closed; closed on refused rows, the phantom before them stays and runs.
export async function toggleLayers() {
  const open = !isOpen();
  $('e-layers').hidden = !open;
  $('e-edit-layers').setAttribute('aria-expanded', String(open));
  if (!open) {
    state.layerProblem = '';
    $('e-layer-problem').textContent = '';
    $('e-start').disabled = Boolean(state.running);
    return;
  }
  await showLayers();
  edited();
}

// The rows of the phantom in force (also after a preset is chosen), what was refused gone;
// `keepRows`: the rows as typed, only their words in the page's language.
export async function showLayers(keepRows = false) {
  if (!isOpen()) return;
  materials = await state.total.call('phantomMaterials', { english: language() === 'en' });
  if (!keepRows) {
    rows = state.phantom.rows.map((row) => ({ ...row }));
    state.layerProblem = '';
    $('e-layer-problem').textContent = '';
    $('e-start').disabled = Boolean(state.running);
  }
  draw();
  // A refusal shown is worded again in the page's language.
  if (keepRows && state.layerProblem) edited();
}

$('e-add-layer').addEventListener('click', () => {
  rows.push({ material: 'water', thickness: '1' });
  draw();
  edited();
  $('e-layer-rows').lastElementChild?.querySelector('select')?.focus();
});
$('e-edit-layers').addEventListener('click', toggleLayers);
