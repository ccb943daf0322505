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
        harnessBoot(HarnessOptions{});
        benchmark::DoNotOptimize(gGameMode);
        state.PauseTiming();
        harnessShutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToTitle)->UseRealTime()->Unit(benchmark::kMillisecond);

// A fresh process pays what a booted one no longer does: the program's own
// loading, the first touch of its large static records, the libraries' set-up.
// Each iteration runs tollivand-run for one tick, which boots into the title
// and ends after drawing its first frame.
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
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    char program[] = TOLLI_RUN_PROGRAM;
    char* argv[] = {program, scriptPath, nullptr};
    for (auto _ : state) {
        pid_t child;
        int status = 0;
        if (posix_spawn(&child, program, &quiet, nullptr, argv, environ) != 0 || waitpid(child, &status, 0) != child ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("tollivand-run did not run to the title");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
    unlink(scriptPath);
}
BENCHMARK(BM_StartupToTitleFreshProcess)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_SceneChangeToTitle(benchmark::State& state) {
    harnessBoot(HarnessOptions{});
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
