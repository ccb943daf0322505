#include "engine/dialogs.h"
#include "platform/sjis.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/input.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/text.h"

MessageWindow gMessageWindow;
YesNoWindow gYesNoWindow;
Pointer gPointer;

constexpr int32_t MESSAGE_OPEN_FRAMES = 8;
constexpr int32_t YES_NO_OPEN_FRAMES = 4;
constexpr int32_t YES_NO_RESULT_CANCELLED = 3;
// The closing counter at which a confirmed window starts to shrink; the
// frames before it show the flash.
constexpr int32_t YES_NO_SHRINK_FROM = 8;
constexpr int32_t YES_NO_FLASH_FRAMES = 3;
constexpr int32_t POINTER_GLIDE_FRAMES = 6;

constexpr float WINDOW_PICTURE_WIDTH = 512.0f;
constexpr float WINDOW_PICTURE_HEIGHT = 128.0f;
constexpr uint32_t WINDOW_PICTURE_COLOR = 0xFF7F7F7F;   // a grey of one half: ADDSIGNED keeps the picture's colours
constexpr uint32_t TEXT_GREY = 0x7F7F7F;

// By line count: the rows of a message and the scale they are drawn at.
struct MessageLayout {
    float y[3];
    float scale;
};
static const MessageLayout MESSAGE_LAYOUTS[3] = {
    {{212.0f, 0.0f, 0.0f}, 1.0f},
    {{196.0f, 228.0f, 0.0f}, 1.0f},
    {{192.0f, 220.0f, 248.0f}, 0.9f},
};
static const float YES_NO_LINE_Y[2][2] = {{192.0f, 0.0f}, {184.0f, 208.0f}};
static const char* const YES_NO_LABELS[2] = {"Yes", "No"};
static const float YES_NO_LABEL_X[2] = {252.0f, 376.0f};

static bool isTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Copies text into lineCount lines, starting the next line at each "<BR>";
// the last line takes the rest of the text as it stands, markers and all.
// A line keeps what fits in its buffer with the terminator and drops the
// rest, never half a double-byte character. Returns the markers that broke
// a line.
static int32_t splitLines(const char* text, char (*lines)[DIALOG_LINE_BYTES], int32_t lineCount) {
    for (int32_t i = 0; i < lineCount; ++i) lines[i][0] = 0;
    if (!text) return 0;
    const uint8_t* p = (const uint8_t*)text;
    int32_t line = 0;
    int32_t length = 0;
    bool full = false;
    while (*p) {
        // strncmp stops at the text's terminator, so a "<" near the end reads nothing beyond it.
        if (line < lineCount - 1 && strncmp((const char*)p, "<BR>", 4) == 0) {
            ++line;
            length = 0;
            full = false;
            p += 4;
            continue;
        }
        int32_t unit = isSjisLeadByte(p[0]) && isTrailByte(p[1]) ? 2 : 1;
        if (!full && length + unit < DIALOG_LINE_BYTES) {
            memcpy(&lines[line][length], p, (size_t)unit);
            length += unit;
            lines[line][length] = 0;
        } else {
            full = true;
        }
        p += unit;
    }
    return line;
}

void openMessageWindow(const char* text) {
    gMessageWindow.markerCount = splitLines(text, gMessageWindow.lines, 3);
    gMessageWindow.closing = 0;
    gMessageWindow.openCounter = 1;
}

int32_t updateMessageWindow() {
    MessageWindow& w = gMessageWindow;
    if (w.openCounter < 1) return 0;
    if (!w.closing) {
        if (w.openCounter < MESSAGE_OPEN_FRAMES) ++w.openCounter;
    } else if (--w.openCounter < 1) {
        return 1;
    }
    // Checked after the step, so a press on the tick the window opens fully closes it.
    if (w.openCounter == MESSAGE_OPEN_FRAMES && (gInputState[0].pressed & (BUTTON_CONFIRM | BUTTON_CANCEL))) {
        w.closing = 1;
        playSoundEffect(SOUND_CONFIRM);
    }
    return -1;
}

void cancelMessageWindow() { gMessageWindow.openCounter = 0; }

// The window picture grown by f (0..1) from the screen's centre, drawn with
// ADDSIGNED on stage 0; the caller puts MODULATE back after its text.
static void drawWindowPicture(float f) {
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gSaveWindowTexture);
    addSpriteRect((float)(int32_t)(320.0f - 256.0f * f), 224.0f - 64.0f * f, WINDOW_PICTURE_WIDTH * f,
                  WINDOW_PICTURE_HEIGHT * f, SpriteSource{0.0f, 0.0f, WINDOW_PICTURE_WIDTH, WINDOW_PICTURE_HEIGHT},
                  gSaveWindowTexture, WINDOW_PICTURE_COLOR);
    flushSprites();
}

void drawMessageWindow() {
    const MessageWindow& w = gMessageWindow;
    if (w.openCounter <= 0) return;
    float f = (float)w.openCounter / (float)MESSAGE_OPEN_FRAMES;

    bindSpriteTexture(gSystemTexture);
    uint32_t dim = (uint32_t)(int32_t)(64.0f * f);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 7.0f, 7.0f}, gSystemTexture, dim << 24);
    flushSprites();

    uint32_t alpha = (uint32_t)(int32_t)(255.0f * f);
    drawWindowPicture(f);
    int32_t lineCount = w.markerCount < 0 ? 1 : w.markerCount > 2 ? 3 : w.markerCount + 1;
    const MessageLayout& layout = MESSAGE_LAYOUTS[lineCount - 1];
    for (int32_t i = 0; i < lineCount; ++i)
        drawTextCentered(320.0f, layout.y[i], w.lines[i], alpha << 24 | TEXT_GREY, layout.scale);
    setSpriteColourOp(GFX_TOP_MODULATE);
}

static float choiceMarkX(int32_t choice) { return 212.0f + 124.0f * (float)choice; }
static float choiceMarkY() { return 244.0f + gYesNoWindow.rowOffset; }

int32_t openYesNoWindow(const char* text, int32_t cancelAllowed, int32_t initialChoice) {
    YesNoWindow& w = gYesNoWindow;
    w.lineCount = splitLines(text, w.lines, 2) + 1;
    w.result = 0;
    w.closingCounter = 0;
    w.openCounter = 1;
    w.cancelAllowed = cancelAllowed;
    w.choice = initialChoice ? 1 : 0;
    w.rowOffset = w.lineCount == 2 ? 8.0f : 0.0f;
    setPointerPosition(choiceMarkX(w.choice), choiceMarkY());
    return w.lineCount;
}

int32_t updateYesNoWindow(int32_t hidePointerAfter) {
    YesNoWindow& w = gYesNoWindow;
    if (w.openCounter < 1) return 0;
    if (w.closingCounter == 0) {
        if (++w.openCounter <= YES_NO_OPEN_FRAMES) return -1;
        w.openCounter = YES_NO_OPEN_FRAMES;
        uint16_t pressed = gInputState[0].pressed;
        if ((pressed & BUTTON_CANCEL) && w.cancelAllowed == 1) {
            w.result = YES_NO_RESULT_CANCELLED;
            playSoundEffect(SOUND_CANCEL);
            w.closingCounter = 1;
        } else if (pressed & BUTTON_CONFIRM) {
            w.result = w.choice == 0 ? 1 : 2;
            playSoundEffect(w.choice == 0 ? SOUND_CONFIRM : SOUND_CANCEL);
            w.closingCounter = 1;
        } else if (((pressed & BUTTON_RIGHT) && w.choice == 0) || ((pressed & BUTTON_LEFT) && w.choice == 1)) {
            playSoundEffect(SOUND_CURSOR);
            w.choice = 1 - w.choice;
            glidePointerTo(choiceMarkX(w.choice), choiceMarkY());
        }
        return -1;
    }
    // A confirmed choice flashes first; a cancel only shrinks.
    if (w.result != YES_NO_RESULT_CANCELLED && ++w.closingCounter < YES_NO_SHRINK_FROM) return -1;
    if (--w.openCounter > 0) return -1;
    if (hidePointerAfter) setPointerPosition(0.0f, -64.0f);
    return w.result == 1 ? 1 : 2;
}

void drawYesNoWindow() {
    const YesNoWindow& w = gYesNoWindow;
    if (w.openCounter <= 0) return;
    float f = (float)w.openCounter / (float)YES_NO_OPEN_FRAMES;
    uint32_t alpha = (uint32_t)(int32_t)(255.0f * f);
    drawWindowPicture(f);
    int32_t lineCount = w.lineCount == 2 ? 2 : 1;
    for (int32_t i = 0; i < lineCount; ++i)
        drawTextCentered(320.0f, YES_NO_LINE_Y[lineCount - 1][i], w.lines[i], alpha << 24 | TEXT_GREY, 1.0f);
    bool flashing = w.result != YES_NO_RESULT_CANCELLED && w.closingCounter >= 1 &&
                    w.closingCounter <= YES_NO_FLASH_FRAMES;
    for (int32_t i = 0; i < 2; ++i) {
        int32_t grey = 127;
        if (flashing && i == w.choice)
            grey = 127 + (int32_t)(128.0 * std::sin((double)w.closingCounter * std::numbers::pi / 4.0));
        drawText(YES_NO_LABEL_X[i], 232.0f + w.rowOffset, YES_NO_LABELS[i], greyArgb((int32_t)alpha, grey), 1.0f);
    }
    setSpriteColourOp(GFX_TOP_MODULATE);
}

bool isDialogActive() { return gMessageWindow.openCounter > 0 || gYesNoWindow.openCounter > 0; }

void resetDialogs() {
    gMessageWindow.openCounter = 0;
    gYesNoWindow.openCounter = 0;
    gYesNoWindow.closingCounter = 0;
    gYesNoWindow.choice = 0;
}

void showPointer() { gPointer.shown = 1; }
void hidePointer() { gPointer.shown = 0; }
bool isPointerShown() { return gPointer.shown != 0; }

void setPointerPosition(float x, float y) {
    gPointer.x = x;
    gPointer.y = y;
    gPointer.glideFrames = 0;
    gPointer.shown = 1;
}

void glidePointerTo(float x, float y) {
    gPointer.glideFrames = POINTER_GLIDE_FRAMES;
    gPointer.dx = (x - gPointer.x) / (float)POINTER_GLIDE_FRAMES;
    gPointer.dy = (y - gPointer.y) / (float)POINTER_GLIDE_FRAMES;
}

void getPointerPosition(float* x, float* y) {
    if (x) *x = gPointer.x + (float)gPointer.glideFrames * gPointer.dx;
    if (y) *y = gPointer.y + (float)gPointer.glideFrames * gPointer.dy;
}

void updatePointer() {
    if (gPointer.glideFrames > 0) {
        gPointer.x += gPointer.dx;
        gPointer.y += gPointer.dy;
        --gPointer.glideFrames;
    }
    if (gMessageWindow.openCounter <= 0) ++gPointer.bobCounter;
}

void drawPointer() {
    float bob = (float)std::fabs(8.0 * std::sin(0.1 * (double)gPointer.bobCounter));
    bindSpriteTexture(gNowLoadingTexture);
    if (!gPointer.shown) return;
    addSpriteRect((float)(int32_t)(gPointer.x - bob), gPointer.y - 20.0f, 40.0f, 40.0f,
                  SpriteSource{192.0f, 0.0f, 232.0f, 40.0f}, gNowLoadingTexture, 0xFFFFFFFF);
    flushSprites();
}

void resetDialogState() {
    gMessageWindow = MessageWindow{};
    gYesNoWindow = YesNoWindow{};
    gPointer = Pointer{};
}
