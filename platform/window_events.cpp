// The event queue both window backends share, and the message box entry
// point. The shell posts close and quit requests into the same queue the
// backends fill, so it reads every event in one place and in order.
#include "platform/window.h"

#include "platform/log.h"
#include "platform/sjis.h"

#include <mutex>

const WindowBackend* gWindow = nullptr;

// A full queue drops the newest event: the shell drains it every pass of the
// message loop, so only a stalled loop can fill it.
constexpr int WINDOW_EVENT_QUEUE_MAX = 64;

struct WindowEventQueue {
    std::mutex lock;
    WindowEvent events[WINDOW_EVENT_QUEUE_MAX];
    int32_t head;    // oldest event
    int32_t count;
};
static WindowEventQueue sQueue;

void windowPostEvent(const WindowEvent& event) {
    std::lock_guard<std::mutex> hold(sQueue.lock);
    if (sQueue.count == WINDOW_EVENT_QUEUE_MAX) return;
    sQueue.events[(sQueue.head + sQueue.count) % WINDOW_EVENT_QUEUE_MAX] = event;
    ++sQueue.count;
}

bool windowPopEvent(WindowEvent* out) {
    std::lock_guard<std::mutex> hold(sQueue.lock);
    if (sQueue.count == 0) return false;
    *out = sQueue.events[sQueue.head];
    sQueue.head = (sQueue.head + 1) % WINDOW_EVENT_QUEUE_MAX;
    --sQueue.count;
    return true;
}

void windowClearEvents() {
    std::lock_guard<std::mutex> hold(sQueue.lock);
    sQueue.head = 0;
    sQueue.count = 0;
}

// The terminal line comes first, so the text is on record even when the box
// cannot be shown or never returns.
int32_t showMessageBox(const char* text, const char* caption, int32_t kind) {
    char captionUtf8[256];
    sjisToUtf8(caption, captionUtf8, sizeof captionUtf8);
    logSjis(captionUtf8, text);
    if (gWindow) return gWindow->messageBox(text, caption, kind);
    return kind == MESSAGE_BOX_YES_NO ? MESSAGE_BOX_ANSWER_YES : MESSAGE_BOX_ANSWER_OK;
}
