// The forced solve in a Web Worker: the page posts the board to a worker that
// runs a second instance of this module (shell.js holds the worker). Its
// progress and its result come back as messages; the result is collected on
// the page's thread. Stopping ends the worker and starts a fresh one, so a
// stopped solve never hands anything over.
#include <emscripten.h>

#include "app/background_solve.h"
#include "app/solve_services.h"
#include "app/web/web_board_transfer.h"

namespace {

EM_JS(void, js_start_solve, (const void* block, int bytes),
      { Module.web.startSolve(HEAPU8.slice(block, block + bytes)); });
EM_JS(void, js_stop_solve, (), { Module.web.stopSolve(); });

bool running = false;
bool ended = false;
double progress = 0.0;

}  // namespace

namespace orvanta::platform {

void startSolveThread(const Board& board) {
    stopSolveThread();
    web::transferBlock() = web::flatten(board);
    running = true;
    ended = false;
    progress = 0.0;
    js_start_solve(&web::transferBlock(), static_cast<int>(sizeof(web::FlatBoard)));
}

void stopSolveThread() {
    if (running) js_stop_solve();
    running = false;
    ended = false;
    progress = 0.0;
}

double solveThreadProgress() { return running ? progress : 0.0; }

// The page's thread cannot wait: the result always comes as a message.
bool waitForSolveThread(int /*milliseconds*/) { return false; }

bool takeSolvedBoard(Board& solved) {
    if (!running || !ended) return false;
    web::unflatten(web::transferBlock(), solved);
    running = false;
    ended = false;
    return true;
}

void endSolveThread() { stopSolveThread(); }

// The worker's message is the hand-over: collectFinishedSolve runs from there.
void postSolveEnded() {}

}  // namespace orvanta::platform

// The page's side of the worker's messages. The shell copies a result into
// the transfer block before it calls orvanta_solve_ended; after a worker that
// failed, the block still holds the board as it was sent, unsolved.
extern "C" {

EMSCRIPTEN_KEEPALIVE void orvanta_solve_progress(double value) {
    if (running && value > progress) progress = value > 1.0 ? 1.0 : value;
}

EMSCRIPTEN_KEEPALIVE void orvanta_solve_ended() {
    if (!running) return;
    ended = true;
    orvanta::collectFinishedSolve();
}

}  // extern "C"
