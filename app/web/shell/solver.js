// The page's side of the forced solve: one Web Worker at a time runs a second
// instance of the edition's module (solve-worker.js). The program posts the
// board through `start`; the worker's progress and its solved board go back
// to the program. Stopping ends the worker; a fresh one is started at once,
// so that it is ready for the next solve.
export class Solver {
  constructor(edition, state, program) {
    this.edition = edition;
    this.state = state;
    this.program = program;  // a function: the program once it runs, or null
    this.worker = null;
    this.solving = false;
    this.startedAt = 0;
    this.brokenNext = false;  // the tests' way to a worker that fails
  }

  spawn() {
    const script = this.brokenNext ? 'no-such-worker.js' : 'solve-worker.js';
    this.brokenNext = false;
    this.worker = new Worker(`${script}?edition=${this.edition}`);
    this.worker.onmessage = (event) => this.message(event.data);
    // A worker that failed (it could not load, or the solve ran out of
    // memory) ends its solve without a result; the next solve gets a new one.
    this.worker.onerror = (event) => {
      event.preventDefault();
      ++this.state.workerErrors;
      this.worker.terminate();
      this.worker = null;
      if (this.solving && this.program()) {
        this.solving = false;
        this.program()._orvanta_solve_ended();
      }
    };
  }

  start(bytes) {
    if (!this.worker) this.spawn();
    this.startedAt = performance.now();
    this.solving = true;
    this.worker.postMessage({board: bytes}, [bytes.buffer]);
  }

  stop() {
    this.end();
    this.spawn();
  }

  // Ends the worker for good (the program ended).
  end() {
    this.solving = false;
    if (this.worker) this.worker.terminate();
    this.worker = null;
  }

  message(message) {
    const program = this.program();
    if (!program) return;
    if (message.type === 'ready') {
      this.state.workerWarmUpMilliseconds = message.warmUpMilliseconds;
    } else if (message.type === 'progress') {
      ++this.state.solveProgressMessages;
      program._orvanta_solve_progress(message.value);
    } else if (message.type === 'done') {
      this.solving = false;
      this.state.lastSolveMilliseconds = performance.now() - this.startedAt;
      this.state.lastSolveInWorkerMilliseconds = message.milliseconds;
      // The program's transfer block, where it reads the solved board.
      program.HEAPU8.set(message.board, program._orvanta_transfer_block());
      program._orvanta_solve_ended();
    }
  }
}
