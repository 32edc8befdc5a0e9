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
  instance._orvanta_worker_solve();
  const board = instance.HEAPU8.slice(block, block + bytes);
  postMessage({type: 'done', board}, [board.buffer]);
}

self.onmessage = (event) => {
  if (instance) solve(event.data);
  else waiting.push(event.data);
};

createOrvanta().then((module) => {
  instance = module;
  waiting.splice(0).forEach(solve);
});
