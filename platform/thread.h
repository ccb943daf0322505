// platform/thread.h: the loader threads.
// One worker at a time runs a plain function; the owner joins it before it
// releases anything the worker fills.
#pragma once
#include <cstdint>
#include <thread>

struct WorkerThread {
    std::thread thread;
};

// The next this many starts fail as if the system had no thread to give
// (tests of the callers' fallback).
extern int32_t gThreadStartRefusals;

// Starts fn(arg) on a new thread; false when no thread could be made.
bool threadStart(WorkerThread& worker, void (*fn)(void*), void* arg);
// Waits for the thread to finish; does nothing when none was started.
void threadJoin(WorkerThread& worker);
bool threadJoinable(const WorkerThread& worker);
bool threadIsMain();      // true on the thread that called threadMarkMain
void threadMarkMain();
