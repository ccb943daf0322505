#include "platform/thread.h"

#include <system_error>

static std::thread::id sMainThread = std::this_thread::get_id();

int32_t gThreadStartRefusals;

bool threadStart(WorkerThread& worker, void (*fn)(void*), void* arg) {
    threadJoin(worker);
    if (gThreadStartRefusals > 0) {
        --gThreadStartRefusals;
        return false;
    }
    try {
        worker.thread = std::thread(fn, arg);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void threadJoin(WorkerThread& worker) {
    if (worker.thread.joinable()) worker.thread.join();
}

bool threadJoinable(const WorkerThread& worker) { return worker.thread.joinable(); }

void threadMarkMain() { sMainThread = std::this_thread::get_id(); }
bool threadIsMain() { return std::this_thread::get_id() == sMainThread; }
