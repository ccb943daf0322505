// platform/window.h: the main window, its event queue and message boxes.
// The start-up (game/startup.cpp) creates one window and pulls events from it
// one at a time; it knows nothing of which backend runs. The SDL backend
// opens a real window; the headless one keeps only the event queue and
// records message boxes, and draws each as the real one would, for the tests.
// All text handed to this service is Shift-JIS (the game's own encoding);
// backends convert it to UTF-8 where it leaves the program.
#pragma once
#include <cstdint>

enum WindowEventKind : int32_t {
    WINDOW_EVENT_NONE = 0,
    WINDOW_EVENT_ACTIVATE,   // a: 1 active, 0 inactive; b: 1 minimised
    WINDOW_EVENT_CLOSE,      // the user (or the game) asks the window to close; a: WINDOW_CLOSE_FORCED when the system ends the program
    WINDOW_EVENT_KEY_DOWN,   // a: WINDOW_KEY_ESCAPE (the only key the shell hears as a message)
    WINDOW_EVENT_COMMAND,    // a: the command number of a shortcut (WindowShortcut::command)
    WINDOW_EVENT_SIZING,     // rect: the window's new outer rectangle; a: the dragged edge (1..8)
    WINDOW_EVENT_QUIT,       // a: exit code; ends the message loop
};

constexpr int32_t WINDOW_KEY_ESCAPE = 27;
constexpr int32_t WINDOW_CLOSE_FORCED = 1;

// Edges of a sizing drag, numbered as the shell's aspect lock expects.
enum WindowEdge : int32_t {
    WINDOW_EDGE_LEFT = 1, WINDOW_EDGE_RIGHT = 2, WINDOW_EDGE_TOP = 3, WINDOW_EDGE_TOP_LEFT = 4,
    WINDOW_EDGE_TOP_RIGHT = 5, WINDOW_EDGE_BOTTOM = 6, WINDOW_EDGE_BOTTOM_LEFT = 7, WINDOW_EDGE_BOTTOM_RIGHT = 8,
};

struct WindowEvent {
    int32_t kind;
    int32_t a;
    int32_t b;
    int32_t rect[4];   // left, top, right, bottom
};

// A keyboard shortcut that stands in for a menu entry.
enum WindowKeyMods : uint32_t { WINDOW_MOD_NONE = 0, WINDOW_MOD_CTRL = 1, WINDOW_MOD_ALT = 2, WINDOW_MOD_SHIFT = 4 };
struct WindowShortcut {
    int32_t key;       // ASCII letter or digit (lower case), or WINDOW_KEY_F1..
    uint32_t mods;
    int32_t command;   // delivered as WINDOW_EVENT_COMMAND
};
constexpr int32_t WINDOW_KEY_F1 = 0x1001;

struct WindowDesc {
    const char* title;            // Shift-JIS
    int32_t clientWidth;
    int32_t clientHeight;
    bool fullScreen;
    bool usePosition;
    int32_t x, y;
    const WindowShortcut* shortcuts;
    int32_t shortcutCount;
};

// Sizes the shell's window arithmetic adds to the client area: the sizing
// frame, the caption and the menu bar. A backend whose sizes are client sizes
// reports zeros.
struct WindowMetrics {
    int32_t frame;
    int32_t caption;
    int32_t menu;
};

enum MessageBoxKind : int32_t { MESSAGE_BOX_OK = 0, MESSAGE_BOX_YES_NO = 1 };
enum MessageBoxAnswer : int32_t { MESSAGE_BOX_ANSWER_OK = 1, MESSAGE_BOX_ANSWER_YES = 2, MESSAGE_BOX_ANSWER_NO = 3 };

struct WindowBackend {
    const char* name;
    bool (*create)(const WindowDesc& desc);
    void (*destroy)();
    bool (*exists)();
    // Moves OS events into the queue, then pops the oldest; false when empty.
    bool (*pollEvent)(WindowEvent* out);
    // Blocks until an event is queued (or a short while has passed).
    void (*waitEvent)();
    void (*setClientSize)(int32_t width, int32_t height);
    void (*setOuterRect)(const int32_t rect[4]);
    void (*getPosition)(int32_t* x, int32_t* y);
    void (*getClientSize)(int32_t* width, int32_t* height);
    void (*setCommandChecked)(int32_t command, bool checked);
    WindowMetrics (*metrics)();
    // Modal; every text is also written to stderr. Returns a MessageBoxAnswer.
    int32_t (*messageBox)(const char* text, const char* caption, int32_t kind);
};

extern const WindowBackend* gWindow;   // chosen at start-up
extern const WindowBackend WINDOW_SDL;
extern const WindowBackend WINDOW_HEADLESS;

// The queue both backends share; the shell posts to it (close, quit) as well.
void windowPostEvent(const WindowEvent& event);
bool windowPopEvent(WindowEvent* out);
void windowClearEvents();

// The message box a caller shows through gWindow, also written to stderr.
int32_t showMessageBox(const char* text, const char* caption, int32_t kind);

// Headless message boxes, recorded for the tests.
constexpr int HEADLESS_MESSAGE_BOX_MAX = 64;
struct RecordedMessageBox {
    char caption[64];
    char text[512];
    int32_t kind;
    int32_t answer;
};
struct HeadlessMessageBoxes {
    RecordedMessageBox boxes[HEADLESS_MESSAGE_BOX_MAX];
    int32_t count;          // recorded so far (stops growing at the maximum)
    int32_t total;          // shown so far
    int32_t yesNoAnswer;    // the answer a yes/no box gets (default MESSAGE_BOX_ANSWER_YES)
};
extern HeadlessMessageBoxes gHeadlessMessageBoxes;
// What the headless window was told, for the tests to read back. Sizes follow
// the usual arithmetic: the outer rectangle is the client area plus twice the
// frame across, and twice the frame, the caption and the menu down.
constexpr int HEADLESS_CHECKED_COMMAND_MAX = 16;
struct HeadlessWindowState {
    bool exists;
    bool fullScreen;
    char title[128];         // Shift-JIS, as given to create
    int32_t clientW;
    int32_t clientH;
    int32_t rect[4];         // outer rectangle: left, top, right, bottom
    int32_t checkedCommands[HEADLESS_CHECKED_COMMAND_MAX];   // commands now checked
    int32_t checkedCount;
};
extern HeadlessWindowState gHeadlessWindow;

// The last box drawn as the real backend would show it (0xAARRGGBB, top row
// first), false when none was shown since the reset. Valid until the next box.
bool headlessLastMessageBoxImage(const uint32_t** pixels, int32_t* width, int32_t* height);
// The same box with its layout (lines, text area, buttons); null when none.
struct MessageBoxPicture;
const MessageBoxPicture* headlessLastMessageBoxPicture();

void headlessWindowReset();    // empties the record, the queue, the window state, sets the default policy
// While set, every create reports failure; stays set until cleared or reset.
void headlessWindowSetCreateFails(bool fails);
