// The page's one way of talking to its workers (the engine's, engine_worker.js, and the
// visual simulation's, visual_worker.js): a call by name with a call id, answered by a
// promise that resolves with the worker's value or rejects with the error it carried; a
// notice (`notify`) that wants no answer (Stop, the pacing acknowledgement); and the
// worker's own events (a batch's progress) handed to `onEvent`. A Web Worker in the
// browser, a worker thread under Node.
//   page -> worker: { op, call, args } (a call), { op, args } (a notice)
//   worker -> page: { call, value } or { call, error, problem }, and { event, value }; a
//   problem { code, args } is a failure the page words in its language (errorText in i18n.js),
//   the error the same in English for a log.
export class WorkerClient {
  constructor(worker, { onEvent } = {}) {
    this.worker = worker;
    this.pending = new Map();
    this.nextId = 1;
    this.onEvent = onEvent;
    const onAnswer = (message) => {
      if (message.event !== undefined) {
        this.onEvent?.(message.event, message.value);
        return;
      }
      const waiting = this.pending.get(message.call);
      if (!waiting) return;
      this.pending.delete(message.call);
      if (message.error !== undefined)
        waiting.reject(Object.assign(new Error(message.error), { problem: message.problem }));
      else waiting.resolve(message.value);
    };
    // A worker that fails (its script does not load, it runs out of memory) fails every
    // call still waiting, rather than leaving them unanswered for ever.
    const onFailure = (error) => {
      for (const waiting of this.pending.values())
        waiting.reject(error instanceof Error ? error : new Error(String(error.message ?? error)));
      this.pending.clear();
    };
    if (typeof worker.on === 'function') {
      worker.on('message', onAnswer);
      worker.on('error', onFailure);
    } else {
      worker.onmessage = (event) => onAnswer(event.data);
      worker.onerror = (event) => onFailure(event);
    }
  }

  call(op, args = {}, transfer = []) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      this.worker.postMessage({ op, call: id, args }, transfer);
    });
  }

  notify(op, args = {}) {
    this.worker.postMessage({ op, args });
  }

  terminate() {
    this.worker.terminate();
  }
}
