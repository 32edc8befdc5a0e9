// The forced solve beside the page: a second instance of the edition's
// module solves the board the page posts and posts the board back. Its
// progress messages come from inside the solve (the module posts them).
'use strict';
const edition = new URL(self.location.href).searchParams.get('edition') === 'profi' ? 'profi' : 'public';
importScripts(`orvanta-${edition}.js`);

let instance = null;
const waiting = [];

function solve(message) {
  const block = instance._orvanta_transfer_block();
  const bytes = instance._orvanta_transfer_bytes();
  if (!(message.board instanceof Uint8Array) || message.board.length !== bytes) return;
  instance.HEAPU8.set(message.board, block);
  const started = performance.now();
  instance._orvanta_worker_solve();
  const milliseconds = performance.now() - started;
  const board = instance.HEAPU8.slice(block, block + bytes);
  postMessage({type: 'done', board, milliseconds}, [board.buffer]);
}

self.onmessage = (event) => {
  if (instance) solve(event.data);
  else waiting.push(event.data);
};

createOrvanta().then((module) => {
  instance = module;
  const started = performance.now();
  instance._orvanta_worker_warm_up();
  postMessage({type: 'ready', warmUpMilliseconds: performance.now() - started});
  waiting.splice(0).forEach(solve);
});
