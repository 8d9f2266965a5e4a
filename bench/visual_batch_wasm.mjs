// Photons per second of the visual batch in the browser edition's WebAssembly core, without
// drawing: what the page's worker runs (tracks collected, depth dose scored), at 10 MV in a
// 10 x 10 field. Usage: node bench/visual_batch_wasm.mjs <dosavia_core.js> [photons]
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const [modulePath, photonsText = '100000'] = process.argv.slice(2);
const photons = Number(photonsText);
const m = await require(modulePath)();
const core = new m.VisualCore();
if (core.init() || core.loadSpectrumFile('10MV.csv')) throw new Error('data files not loaded');
core.setField(10);
core.run(1000); // warm-up: the engine compiles the hot paths
core.clearGraph();
const start = performance.now();
// In chunks, as the worker runs them, so the collected tracks never grow without bound.
for (let left = photons; left > 0; left -= 2000) core.run(Math.min(2000, left));
const seconds = (performance.now() - start) / 1000;
console.log(JSON.stringify({ photons, seconds, perSecond: photons / seconds }));
