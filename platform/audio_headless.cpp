// The device with no sound card: it renders the mixer on the game thread,
// as much as the clock says has passed, whenever it is locked (so a change
// lands at its time) or read. Under the harness's virtual clock a run
// renders the same samples every time.
#include "platform/audio.h"

#include "platform/clock.h"

struct HeadlessAudio {
    bool open;
    int32_t rate;
    uint64_t openedMicros;
    int64_t rendered;
};
static HeadlessAudio sHeadless = {false, 48000, 0, 0};
// Apart from the record so that its 8 MB stay zero-initialised storage
// rather than data carried in the program file.
static float sRing[2 * AUDIO_HEADLESS_RING_FRAMES];

static void catchUp() {
    uint64_t now = gClock->nowMicros();
    // A clock set back (a new boot in the same process) renders nothing.
    if (!sHeadless.open || now < sHeadless.openedMicros) return;
    uint64_t elapsed = now - sHeadless.openedMicros;
    int64_t due = (int64_t)(elapsed * (uint64_t)sHeadless.rate / 1000000u);
    while (sHeadless.rendered < due) {
        int64_t at = sHeadless.rendered % AUDIO_HEADLESS_RING_FRAMES;
        int64_t n = AUDIO_HEADLESS_RING_FRAMES - at;
        if (n > due - sHeadless.rendered) n = due - sHeadless.rendered;
        mixerRender(sRing + 2 * at, (int32_t)n);
        sHeadless.rendered += n;
    }
}

static int32_t headlessOpen() {
    sHeadless.open = true;
    sHeadless.openedMicros = gClock->nowMicros();
    sHeadless.rendered = 0;
    return sHeadless.rate;
}

static void headlessClose() {
    catchUp();
    sHeadless.open = false;
}

static void headlessUnlock() {}

static int32_t headlessExpectedRate() { return sHeadless.rate; }

const AudioBackend AUDIO_HEADLESS = {"headless", headlessOpen, headlessClose, catchUp, headlessUnlock, headlessExpectedRate};

void audioHeadlessSetRate(int32_t rate) { sHeadless.rate = rate; }

int64_t audioHeadlessFrames() {
    catchUp();
    return sHeadless.rendered;
}

bool audioHeadlessRead(int64_t first, float* out, int32_t frames) {
    catchUp();
    if (first < 0 || frames < 0 || first + frames > sHeadless.rendered ||
        first < sHeadless.rendered - AUDIO_HEADLESS_RING_FRAMES)
        return false;
    for (int32_t i = 0; i < frames; ++i) {
        int64_t at = (first + i) % AUDIO_HEADLESS_RING_FRAMES;
        out[2 * i] = sRing[2 * at];
        out[2 * i + 1] = sRing[2 * at + 1];
    }
    return true;
}
