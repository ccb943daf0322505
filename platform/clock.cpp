#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <time.h>

static uint64_t steadyNow() {
    using namespace std::chrono;
    return (uint64_t)duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

static void steadySleep(uint64_t micros) {
    timespec ts;
    ts.tv_sec = (time_t)(micros / 1000000);
    ts.tv_nsec = (long)(micros % 1000000) * 1000;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

// Loader threads may read the clock while the harness moves it.
static std::atomic<uint64_t> sVirtualNow{0};
static std::atomic<uint64_t> sVirtualSlept{0};

static uint64_t virtualNow() { return sVirtualNow.load(std::memory_order_acquire); }

// A sleep on the virtual clock passes exactly that much virtual time.
static void virtualSleep(uint64_t micros) {
    sVirtualSlept.fetch_add(micros, std::memory_order_relaxed);
    sVirtualNow.fetch_add(micros, std::memory_order_acq_rel);
}

const Clock CLOCK_STEADY = {steadyNow, steadySleep};
const Clock CLOCK_VIRTUAL = {virtualNow, virtualSleep};
const Clock* gClock = &CLOCK_STEADY;

void clockVirtualSet(uint64_t micros) {
    sVirtualNow.store(micros, std::memory_order_release);
    sVirtualSlept.store(0, std::memory_order_relaxed);
}
void clockVirtualAdvance(uint64_t micros) { sVirtualNow.fetch_add(micros, std::memory_order_acq_rel); }
uint64_t clockVirtualSleptMicros() { return sVirtualSlept.load(std::memory_order_relaxed); }
