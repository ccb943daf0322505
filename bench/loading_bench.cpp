// Loading: the start-up to the title, in this process and in a fresh one, and
// a scene change to the title on its loader thread (the title's pictures
// decoded and made into textures). All wait on other threads or processes
// (the loader, Mesa's, the child), so all are timed by the wall clock.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/scene_pictures.h"
#include "tests/harness/harness.h"

static void BM_StartupToTitle(benchmark::State& state) {
    for (auto _ : state) {
        harnessBoot(harnessDrawingOptions());
        benchmark::DoNotOptimize(gGameMode);
        state.PauseTiming();
        harnessShutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToTitle)->UseRealTime()->Unit(benchmark::kMillisecond);

// A fresh process pays what a booted one no longer does: the program's own
// loading, the first touch of its large static records, the libraries' set-up.
// Each iteration starts tollivand-run for one tick, which boots into the title
// and writes a byte down a pipe when its first frame is drawn: the clock
// runs from the spawn to that byte. The child's checksum and shut-down are
// not timed.
static void BM_StartupToTitleFreshProcess(benchmark::State& state) {
    char scriptPath[] = "/tmp/tolli_bench_one_tick_XXXXXX";
    static const char ONE_TICK[] = "ticks 1\n";
    int script = mkstemp(scriptPath);
    bool written = script >= 0 && write(script, ONE_TICK, sizeof ONE_TICK - 1) == (ssize_t)(sizeof ONE_TICK - 1);
    if (script >= 0) close(script);
    if (!written) {
        unlink(scriptPath);
        state.SkipWithError("the script file could not be written");
        return;
    }
    constexpr int CHILD_FD = 3;
    char program[] = TOLLI_RUN_PROGRAM;
    char option[] = "--first-frame-fd";
    char fdText[] = "3";
    char* argv[] = {program, scriptPath, option, fdText, nullptr};
    for (auto _ : state) {
        int finish[2];
        if (pipe2(finish, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, finish[1], CHILD_FD);
        pid_t child;
        bool spawned = posix_spawn(&child, program, &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(finish[1]);
        char drawn = 0;
        bool reached = spawned && read(finish[0], &drawn, 1) == 1;
        state.PauseTiming();
        close(finish[0]);
        int status = 0;
        bool exited = spawned && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        state.ResumeTiming();
        if (!reached || !exited) {
            state.SkipWithError("tollivand-run did not run to the title");
            break;
        }
    }
    unlink(scriptPath);
}
BENCHMARK(BM_StartupToTitleFreshProcess)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_SceneChangeToTitle(benchmark::State& state) {
    harnessBoot(harnessDrawingOptions());
    for (auto _ : state) {
        releaseTitleTextures();
        gGameMode = GAME_MODE_TITLE;
        startSceneLoader();
        waitForLoaderThread();
        pollLoaderThread();
        benchmark::DoNotOptimize(gSceneLoading);
    }
    harnessShutdown();
}
BENCHMARK(BM_SceneChangeToTitle)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
