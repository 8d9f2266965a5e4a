// The block streams of one run spread over workers: any worker takes the next block, and the
// finished block tallies are handed to the total strictly in block order, so the result is
// the same for any number of workers and any timing. A worker runs ahead of the total by at
// most two blocks of its own, which bounds the tallies waiting for their turn (about 300 kB
// each). Used by the browser's engine screen (Web Workers) and by kestrun.mjs (Node worker
// threads); it passes block numbers and tallies only, the engine's C++ does the rest.

// runBlock(worker, b) -> Promise of the block's cells; addNext(cells) -> Promise, called in
// block order; onMerged(merged) after each addition. Resolves to { complete, merged }:
// complete is false when stop() was called before the last block was added.
export function runBlocks({ blocks, workers, runBlock, addNext, onMerged = () => {} }) {
  let next = 0;
  let merged = 0;
  let stopped = false;
  let failure = null;
  const finished = new Map();
  const ahead = 2 * workers.length;
  let waiters = [];
  const wake = () => {
    const w = waiters;
    waiters = [];
    for (const resolve of w) resolve();
  };
  let merging = Promise.resolve();

  function fail(error) {
    if (!failure) failure = error;
    stopped = true;
    wake();
  }

  function drain() {
    merging = merging
      .then(async () => {
        while (!failure && finished.has(merged)) {
          const cells = finished.get(merged);
          finished.delete(merged);
          await addNext(cells);
          merged += 1;
          onMerged(merged);
          wake();
        }
      })
      .catch(fail);
  }

  async function work(worker) {
    for (;;) {
      while (!stopped && next < blocks && next >= merged + ahead) await new Promise((r) => waiters.push(r));
      if (stopped || next >= blocks) return;
      const b = next++;
      let cells;
      try {
        cells = await runBlock(worker, b);
      } catch (error) {
        fail(error);
        return;
      }
      if (stopped) return;
      finished.set(b, cells);
      drain();
    }
  }

  const done = Promise.all(workers.map(work))
    .then(() => merging)
    .then(() => {
      if (failure) throw failure;
      return { complete: merged === blocks, merged };
    });
  return {
    done,
    stop() {
      stopped = true;
      wake();
    },
  };
}
