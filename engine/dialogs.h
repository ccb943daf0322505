// engine/dialogs.h: the shared message window, yes/no window and pointer.
// Each is one global state machine that the scene using it advances once per
// tick (the update returns a status the scene polls) and draws in its draw.
// The draws expect the scene's 2D states (alpha blending on) and leave stage
// 0's colour operation at MODULATE. Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t DIALOG_LINE_BYTES = 256;

struct MessageWindow {
    int32_t openCounter;   // 0 closed, 1..8 opening, 8 open, 7..1 closing
    int32_t closing;
    int32_t markerCount;   // line markers met while splitting
    char lines[3][DIALOG_LINE_BYTES];
};
extern MessageWindow gMessageWindow;

struct YesNoWindow {
    int32_t openCounter;     // 0 closed, 1..4
    int32_t closingCounter;  // 0 while waiting for input, then 1..8
    int32_t result;          // 1 first choice, 2 second choice, 3 cancelled
    int32_t cancelAllowed;   // 1 allows
    int32_t choice;          // 0 first, 1 second
    int32_t lineCount;       // 1 or 2
    float rowOffset;         // 0, or 8 with two lines
    char lines[2][DIALOG_LINE_BYTES];
};
extern YesNoWindow gYesNoWindow;

struct Pointer {
    float x, y;            // logical 640 x 480 screen
    float dx, dy;          // glide step
    int32_t glideFrames;   // left
    int32_t shown;
    int32_t bobCounter;
};
extern Pointer gPointer;

// Texts are Shift-JIS. Only the exact four characters "<BR>" break a line;
// the last line takes the rest of the text as it stands, markers and all.
// Each line keeps at most DIALOG_LINE_BYTES - 1 bytes, cut before a
// double-byte character that would not fit whole.

// Message window: up to three lines split at "<BR>".
void openMessageWindow(const char* text);
// 0 no window; -1 opening, waiting or closing; 1 on the call it finishes closing.
int32_t updateMessageWindow();
void cancelMessageWindow();
void drawMessageWindow();

// Yes/no window: up to two lines split at "<BR>"; "Yes" is the first choice,
// "No" the second. Puts the pointer on the initial choice and shows it.
// Returns the line count.
int32_t openYesNoWindow(const char* text, int32_t cancelAllowed, int32_t initialChoice);
// 0 no window; -1 busy; 1 first choice; 2 second choice or cancelled (once,
// on the call at which the window finishes closing). With hidePointerAfter
// the pointer is then put above the screen, at (0, -64).
int32_t updateYesNoWindow(int32_t hidePointerAfter);
void drawYesNoWindow();

bool isDialogActive();
void resetDialogs();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetDialogState();

void showPointer();
void hidePointer();
bool isPointerShown();
void setPointerPosition(float x, float y);
void glidePointerTo(float x, float y);
void getPointerPosition(float* x, float* y);   // where the pointer is heading
// Steps the glide; the pointer bobs only while no message window is open.
void updatePointer();
void drawPointer();
