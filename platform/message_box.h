// platform/message_box.h: the picture of a message box and how it answers.
// Both window backends draw a box with the same code: the SDL one shows the
// picture in a window of its own, the headless one keeps it for the tests.
// The text is drawn with the glyph service's own face (a Japanese one), so
// the game's Shift-JIS messages read as they should wherever a box appears.
#pragma once
#include <cstdint>
#include <vector>

constexpr int32_t MESSAGE_BOX_BUTTON_MAX = 2;
// A box never comes closer to the screen's edges than this, and is never
// wider than the second, however long its lines.
constexpr int32_t MESSAGE_BOX_SCREEN_MARGIN = 16;
constexpr int32_t MESSAGE_BOX_WIDTH_MAX = 600;
constexpr int32_t MESSAGE_BOX_WIDTH_MIN = 240;
constexpr int32_t MESSAGE_BOX_CELL = 16;        // glyph cell height of caption, text and buttons
constexpr int32_t MESSAGE_BOX_LINE = 20;        // one line of text
constexpr int32_t MESSAGE_BOX_PADDING = 16;
constexpr int32_t MESSAGE_BOX_CAPTION_HEIGHT = 28;
constexpr int32_t MESSAGE_BOX_BUTTON_WIDTH = 88;
constexpr int32_t MESSAGE_BOX_BUTTON_HEIGHT = 28;
constexpr int32_t MESSAGE_BOX_BUTTON_GAP = 10;

constexpr uint32_t MESSAGE_BOX_BACKGROUND = 0xFFF0F0F0u;
constexpr uint32_t MESSAGE_BOX_INK = 0xFF000000u;

struct MessageBoxButton {
    int32_t rect[4];   // left, top, right, bottom (right and bottom outside)
    int32_t answer;    // a MessageBoxAnswer
};

// One line of the body text: a run of the text's bytes.
struct MessageBoxLine {
    int32_t start;
    int32_t end;
    int32_t width;   // in pixels, trailing blanks left out
};

struct MessageBoxPicture {
    std::vector<uint32_t> pixels;   // 0xAARRGGBB, top row first, width x height
    int32_t width;
    int32_t height;
    int32_t textRect[4];            // the area the body's lines are drawn in
    std::vector<MessageBoxLine> lines;   // the lines drawn
    bool cut;                       // lines beyond the screen's height were left out
    MessageBoxButton buttons[MESSAGE_BOX_BUTTON_MAX];
    int32_t buttonCount;
    int32_t focus;                  // the button drawn with the focus
};

// Lays the box out for a screen of that size and draws it. text and caption
// are Shift-JIS; the text wraps at the box's width and at each '\n'. kind is
// a MessageBoxKind; focus the index of the focused button.
void drawMessageBox(const char* text, const char* caption, int32_t kind, int32_t focus, int32_t screenWidth,
                    int32_t screenHeight, MessageBoxPicture* out);

enum MessageBoxKey : int32_t {
    MESSAGE_BOX_KEY_CHOOSE,     // Enter, Space: the focused button
    MESSAGE_BOX_KEY_CANCEL,     // Escape
    MESSAGE_BOX_KEY_NEXT,       // Tab, Right, Down
    MESSAGE_BOX_KEY_PREVIOUS,   // Shift+Tab, Left, Up
};
// Applies a key to a box of that kind: moves *focus, or returns the answer
// the key gives (0 while the box stays up).
int32_t messageBoxKey(int32_t kind, int32_t* focus, MessageBoxKey key);
// The answer of a box closed without a button: by Escape, its window's
// close button or a signal that ends the program.
int32_t messageBoxCancelAnswer(int32_t kind);
// The index of the button under a point of the picture, or -1.
int32_t messageBoxButtonAt(const MessageBoxPicture& picture, int32_t x, int32_t y);
