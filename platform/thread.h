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

// Runs fn(context, i) for every i in 0..count-1 on this thread and up to
// maxThreads - 1 helpers (fewer on a small machine, or when the system has
// no thread to give), and returns when all are done. For independent pieces
// of one job: decoding a batch of files.
void parallelFor(int32_t count, int32_t maxThreads, void (*fn)(void*, int32_t), void* context);
