#include "platform/thread.h"

#include <algorithm>
#include <atomic>
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

constexpr int32_t PARALLEL_THREADS_MAX = 16;

void parallelFor(int32_t count, int32_t maxThreads, void (*fn)(void*, int32_t), void* context) {
    if (count <= 0) return;
    std::atomic<int32_t> next{0};
    auto work = [&] {
        for (int32_t i = next++; i < count; i = next++) fn(context, i);
    };
    int32_t cores = (int32_t)std::thread::hardware_concurrency();
    int32_t helpers = std::min({maxThreads, cores, PARALLEL_THREADS_MAX, count}) - 1;
    std::thread threads[PARALLEL_THREADS_MAX];
    int32_t started = 0;
    for (; started < helpers; ++started) {
        try {
            threads[started] = std::thread(work);
        } catch (const std::system_error&) {
            break;   // this thread does the rest
        }
    }
    work();
    for (int32_t t = 0; t < started; ++t) threads[t].join();
}
