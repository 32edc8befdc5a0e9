#include "app/web/web_solve_worker.h"

#include <emscripten.h>

#include "app/web/web_board_transfer.h"
#include "core/solver.h"

namespace orvanta::web {

namespace {

// The run of the solve in progress in this instance (only in the worker).
const SolveRun* workerRun = nullptr;
std::int64_t lastPost = 0;
constexpr std::int64_t kProgressPostMilliseconds = 100;

}  // namespace

void reportWorkerProgress(std::int64_t nowMilliseconds) {
    if (workerRun == nullptr || nowMilliseconds - lastPost < kProgressPostMilliseconds) return;
    lastPost = nowMilliseconds;
    EM_ASM({ postMessage({type : 'progress', value : $0}); }, workerRun->progress());
}

}  // namespace orvanta::web

// Solves a fixed board of scattered cities once, when the worker starts: the
// browser compiles a module's hot code fully only after it has run a while,
// and the user's first solve should not be the one that pays for it.
extern "C" EMSCRIPTEN_KEEPALIVE void orvanta_worker_warm_up() {
    using namespace orvanta;
    Board board;
    std::int32_t side = 41, height = 41, count = 0;
    board.configureBoard(side, height, count);
    std::uint32_t seed = 12345;
    for (int i = 0; i < 15; ++i) {
        seed = seed * 1103515245u + 12345u;
        const auto x = static_cast<std::int32_t>((seed >> 16) % 41u);
        seed = seed * 1103515245u + 12345u;
        board.addCity(x, static_cast<std::int32_t>((seed >> 16) % 41u));
    }
    SolveRun run;
    solveExact(board, run);
}

// The worker's entry: solves the board in the transfer block and leaves the
// board there, solved or not. The page never stops a solve from inside: it
// ends the whole worker instead.
extern "C" EMSCRIPTEN_KEEPALIVE int orvanta_worker_solve() {
    using namespace orvanta;
    Board board;
    web::unflatten(web::transferBlock(), board);
    SolveRun run;
    web::workerRun = &run;
    web::lastPost = 0;
    board.solved = solveExact(board, run) ? 1 : 0;
    web::workerRun = nullptr;
    web::transferBlock() = web::flatten(board);
    return board.solved;
}
