// The desktops' solve thread: one std::thread at a time solves its own copy of
// the board with its own SolveRun. The window's thread only asks it to stop and
// reads its progress (both atomic), and takes the board once the thread has
// published it under the lock.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "app/solve_services.h"
#include "core/solver.h"

namespace orvanta::platform {

namespace {

struct Job {
    Board board;
    SolveRun run;
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;  // under lock
    explicit Job(const Board& b) : board(b) {}
};

std::shared_ptr<Job> current;
std::thread worker;

void joinWorker() {
    if (worker.joinable()) worker.join();
}

}  // namespace

void startSolveThread(const Board& board) {
    stopSolveThread();
    // A stopped solve notices within a few thousand steps; its thread is gone
    // by the time the next one starts.
    joinWorker();
    auto job = std::make_shared<Job>(board);
    current = job;
    worker = std::thread([job] {
        job->board.solved = solveExact(job->board, job->run) ? 1 : 0;
        {
            const std::lock_guard<std::mutex> hold(job->lock);
            job->done = true;
        }
        job->ended.notify_all();
        if (!job->run.stopRequested()) postSolveEnded();
    });
}

void stopSolveThread() {
    if (current) current->run.requestStop();
    current.reset();
}

double solveThreadProgress() { return current ? current->run.progress() : 0.0; }

bool waitForSolveThread(int milliseconds) {
    if (!current) return false;
    std::unique_lock<std::mutex> hold(current->lock);
    return current->ended.wait_for(hold, std::chrono::milliseconds(milliseconds), [&] { return current->done; });
}

bool takeSolvedBoard(Board& solved) {
    if (!current) return false;
    {
        const std::lock_guard<std::mutex> hold(current->lock);
        if (!current->done) return false;
    }
    solved = current->board;
    current.reset();
    joinWorker();
    return true;
}

void endSolveThread() {
    stopSolveThread();
    joinWorker();
}

}  // namespace orvanta::platform
