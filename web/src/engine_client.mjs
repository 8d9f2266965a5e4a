// Calls into an engine worker (engine_worker.js) by name, each answered by a promise: a Web
// Worker in the browser, a worker thread under Node.
export class EngineWorker {
  constructor(worker) {
    this.worker = worker;
    this.pending = new Map();
    this.nextId = 1;
    const onAnswer = (message) => {
      const waiting = this.pending.get(message.call);
      if (!waiting) return;
      this.pending.delete(message.call);
      if (message.error !== undefined) waiting.reject(new Error(message.error));
      else waiting.resolve(message.value);
    };
    const onFailure = (error) => {
      for (const waiting of this.pending.values()) waiting.reject(error instanceof Error ? error : new Error(String(error.message ?? error)));
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

  terminate() {
    this.worker.terminate();
  }
}
