// The window with no window: events come only from windowPostEvent, sizes and
// checks are recorded, and message boxes are answered by the test's policy.
#include "platform/window.h"
#include "platform/sjis.h"

#include "platform/message_box.h"

#include <cstring>
#include <mutex>
#include <string>

HeadlessMessageBoxes gHeadlessMessageBoxes = {{}, 0, 0, MESSAGE_BOX_ANSWER_YES};
HeadlessWindowState gHeadlessWindow;

// Non-zero on purpose, so the shell's outer/client arithmetic shows in tests.
constexpr WindowMetrics HEADLESS_METRICS = {4, 19, 19};

// The screen a headless box is laid out on.
constexpr int32_t HEADLESS_SCREEN_WIDTH = 1024;
constexpr int32_t HEADLESS_SCREEN_HEIGHT = 768;

static bool sCreateFails = false;
// A loader thread may report an error while the main thread shows another.
static std::mutex sBoxLock;
// The last box, drawn only when a test asks to see it (focus on its first
// button): drawing every box would make runs that raise many boxes slow.
static std::string sLastText;
static std::string sLastCaption;
static int32_t sLastKind = 0;
static bool sHasPicture = false;
static bool sPictureDrawn = false;
static MessageBoxPicture sLastPicture;


// Copies whole Shift-JIS characters only, so a cut never leaves half a pair.
static void copySjisTruncated(char* out, size_t outSize, const char* text) {
    size_t n = 0;
    if (text) {
        while (text[n] != '\0') {
            size_t width = isSjisLeadByte((unsigned char)text[n]) && text[n + 1] != '\0' ? 2 : 1;
            if (n + width >= outSize) break;
            n += width;
        }
        memcpy(out, text, n);
    }
    out[n] = '\0';
}

static void setClientKeepingOrigin(int32_t width, int32_t height) {
    gHeadlessWindow.clientW = width;
    gHeadlessWindow.clientH = height;
    gHeadlessWindow.rect[2] = gHeadlessWindow.rect[0] + width + 2 * HEADLESS_METRICS.frame;
    gHeadlessWindow.rect[3] = gHeadlessWindow.rect[1] + height + 2 * HEADLESS_METRICS.frame +
                              HEADLESS_METRICS.caption + HEADLESS_METRICS.menu;
}

static bool headlessCreate(const WindowDesc& desc) {
    if (sCreateFails) return false;
    gHeadlessWindow.exists = true;
    gHeadlessWindow.fullScreen = desc.fullScreen;
    copySjisTruncated(gHeadlessWindow.title, sizeof gHeadlessWindow.title, desc.title);
    gHeadlessWindow.rect[0] = desc.usePosition ? desc.x : 0;
    gHeadlessWindow.rect[1] = desc.usePosition ? desc.y : 0;
    setClientKeepingOrigin(desc.clientWidth, desc.clientHeight);
    return true;
}

static void headlessDestroy() { gHeadlessWindow.exists = false; }
static bool headlessExists() { return gHeadlessWindow.exists; }
static bool headlessPollEvent(WindowEvent* out) { return windowPopEvent(out); }
// Nothing can arrive while the caller waits, so waiting would only stall.
static void headlessWaitEvent() {}
static void headlessSetClientSize(int32_t width, int32_t height) { setClientKeepingOrigin(width, height); }

static void headlessSetOuterRect(const int32_t rect[4]) {
    memcpy(gHeadlessWindow.rect, rect, sizeof gHeadlessWindow.rect);
    gHeadlessWindow.clientW = rect[2] - rect[0] - 2 * HEADLESS_METRICS.frame;
    gHeadlessWindow.clientH =
        rect[3] - rect[1] - 2 * HEADLESS_METRICS.frame - HEADLESS_METRICS.caption - HEADLESS_METRICS.menu;
}

static void headlessGetPosition(int32_t* x, int32_t* y) {
    *x = gHeadlessWindow.rect[0];
    *y = gHeadlessWindow.rect[1];
}

static void headlessGetClientSize(int32_t* width, int32_t* height) {
    *width = gHeadlessWindow.clientW;
    *height = gHeadlessWindow.clientH;
}

static void headlessSetCommandChecked(int32_t command, bool checked) {
    HeadlessWindowState& w = gHeadlessWindow;
    int32_t at = 0;
    while (at < w.checkedCount && w.checkedCommands[at] != command) ++at;
    if (checked && at == w.checkedCount && w.checkedCount < HEADLESS_CHECKED_COMMAND_MAX)
        w.checkedCommands[w.checkedCount++] = command;
    if (!checked && at < w.checkedCount) w.checkedCommands[at] = w.checkedCommands[--w.checkedCount];
}

static WindowMetrics headlessMetrics() { return HEADLESS_METRICS; }

static int32_t headlessMessageBox(const char* text, const char* caption, int32_t kind) {
    std::lock_guard<std::mutex> hold(sBoxLock);
    HeadlessMessageBoxes& r = gHeadlessMessageBoxes;
    int32_t answer = kind == MESSAGE_BOX_YES_NO ? r.yesNoAnswer : MESSAGE_BOX_ANSWER_OK;
    if (r.count < HEADLESS_MESSAGE_BOX_MAX) {
        RecordedMessageBox& box = r.boxes[r.count++];
        copySjisTruncated(box.caption, sizeof box.caption, caption);
        copySjisTruncated(box.text, sizeof box.text, text);
        box.kind = kind;
        box.answer = answer;
    }
    ++r.total;
    sLastText = text ? text : "";
    sLastCaption = caption ? caption : "";
    sLastKind = kind;
    sHasPicture = true;
    sPictureDrawn = false;
    return answer;
}

void headlessWindowReset() {
    {
        std::lock_guard<std::mutex> hold(sBoxLock);
        gHeadlessMessageBoxes = HeadlessMessageBoxes{{}, 0, 0, MESSAGE_BOX_ANSWER_YES};
        sHasPicture = false;
    }
    gHeadlessWindow = HeadlessWindowState{};
    sCreateFails = false;
    windowClearEvents();
}

// Called with sBoxLock held.
static void drawLastPicture() {
    if (!sHasPicture || sPictureDrawn) return;
    drawMessageBox(sLastText.c_str(), sLastCaption.c_str(), sLastKind, 0, HEADLESS_SCREEN_WIDTH,
                   HEADLESS_SCREEN_HEIGHT, &sLastPicture);
    sPictureDrawn = true;
}

bool headlessLastMessageBoxImage(const uint32_t** pixels, int32_t* width, int32_t* height) {
    std::lock_guard<std::mutex> hold(sBoxLock);
    drawLastPicture();
    *pixels = sHasPicture ? sLastPicture.pixels.data() : nullptr;
    *width = sHasPicture ? sLastPicture.width : 0;
    *height = sHasPicture ? sLastPicture.height : 0;
    return sHasPicture;
}

const MessageBoxPicture* headlessLastMessageBoxPicture() {
    std::lock_guard<std::mutex> hold(sBoxLock);
    drawLastPicture();
    return sHasPicture ? &sLastPicture : nullptr;
}

void headlessWindowSetCreateFails(bool fails) { sCreateFails = fails; }

const WindowBackend WINDOW_HEADLESS = {
    "headless",
    headlessCreate,
    headlessDestroy,
    headlessExists,
    headlessPollEvent,
    headlessWaitEvent,
    headlessSetClientSize,
    headlessSetOuterRect,
    headlessGetPosition,
    headlessGetClientSize,
    headlessSetCommandChecked,
    headlessMetrics,
    headlessMessageBox,
};
