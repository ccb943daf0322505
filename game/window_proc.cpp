#include "game/window_proc.h"

#include "engine/config_index.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/settings.h"
#include "field/field.h"
#include "game/startup.h"
#include "story/story.h"
#include "story/story_state.h"

int32_t gAppActive;

const WindowShortcut MENU_SHORTCUTS[] = {
    {'q', WINDOW_MOD_CTRL, MENU_EXIT},
    {'t', WINDOW_MOD_CTRL, MENU_RETURN_TO_TITLE},
    {'a', WINDOW_MOD_CTRL, MENU_ASPECT_LOCK},
    {'1', WINDOW_MOD_CTRL, MENU_SCALE_50},
    {'2', WINDOW_MOD_CTRL, MENU_SCALE_100},
    {'3', WINDOW_MOD_CTRL, MENU_SCALE_150},
    {'4', WINDOW_MOD_CTRL, MENU_SCALE_200},
    {'5', WINDOW_MOD_CTRL, MENU_SCALE_300},
    {WINDOW_KEY_F1, WINDOW_MOD_NONE, MENU_ABOUT},
};
const int32_t MENU_SHORTCUT_COUNT = sizeof MENU_SHORTCUTS / sizeof MENU_SHORTCUTS[0];

// エフェクトデータ１を保存しました (and ２, ３, ４): the effect editor's bank saves.
static const char* const EFFECT_SAVED_TEXTS[4] = {
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x50\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x51\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x52\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x53\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
};

static const char ABOUT_TEXT[] =
    "Tollivand v.1.108\n"
    "\n"
    "Keyboard shortcuts:\n"
    "Ctrl+T  Return to Title Screen\n"
    "Ctrl+Q  Exit\n"
    "Ctrl+A  Fix window aspect ratio\n"
    "Ctrl+1..5  Display scaling 50% / 100% / 150% / 200% / 300%\n"
    "F1  About";

void applyAspectLock(int32_t edge, int32_t rect[4], const WindowMetrics& m) {
    int32_t h = (rect[2] - rect[0] - 2 * m.frame) * 480 / 640 + 2 * m.frame + m.menu + m.caption;
    switch (edge) {
    case WINDOW_EDGE_LEFT:
    case WINDOW_EDGE_RIGHT:
    case WINDOW_EDGE_BOTTOM_LEFT:
    case WINDOW_EDGE_BOTTOM_RIGHT:
    case WINDOW_EDGE_BOTTOM:
        rect[3] = rect[1] + h;
        break;
    case WINDOW_EDGE_TOP:
    case WINDOW_EDGE_TOP_LEFT:
    case WINDOW_EDGE_TOP_RIGHT:
        rect[1] = rect[3] - h;
        if (rect[1] < 0) {
            rect[1] = 0;
            rect[3] = h;
        }
        break;
    default:
        break;
    }
}

static void scaleWindow(int32_t k) {
    WindowMetrics m = gWindow->metrics();
    int32_t clientW = gScreenSize.width * k / 2;
    int32_t clientH = gScreenSize.height * k / 2;
    int32_t rect[4];
    gWindow->getPosition(&rect[0], &rect[1]);
    rect[2] = rect[0] + clientW + 2 * m.frame;
    rect[3] = rect[1] + clientH + m.caption + m.menu + 2 * m.frame;
    gWindow->setOuterRect(rect);
}

static void closeMainWindow() {
    // The window itself is destroyed at the end of shut-down, after the
    // device that draws into it.
    gWindow->getPosition(&gWindowPos[0], &gWindowPos[1]);
    WindowEvent quit = {};
    quit.kind = WINDOW_EVENT_QUIT;
    quit.a = 0;
    windowPostEvent(quit);
}

static void handleCommand(int32_t command) {
    static const int32_t SCALE_HALVES[5] = {1, 2, 3, 4, 6};
    switch (command) {
    case MENU_EXIT: {
        WindowEvent close = {};
        close.kind = WINDOW_EVENT_CLOSE;
        windowPostEvent(close);
        break;
    }
    case MENU_RETURN_TO_TITLE:
        if (gEffectEditorOn) {
            if (saveEffectBank(0)) showMessageBox(EFFECT_SAVED_TEXTS[0], "system", MESSAGE_BOX_OK);
        } else {
            returnToTitle();
        }
        break;
    case MENU_ASPECT_LOCK:
        gWindowAspectLock = gWindowAspectLock ? 0 : 1;
        gWindow->setCommandChecked(MENU_ASPECT_LOCK, gWindowAspectLock == 1);
        break;
    case MENU_SCALE_50:
    case MENU_SCALE_100:
    case MENU_SCALE_150:
    case MENU_SCALE_200:
    case MENU_SCALE_300:
        scaleWindow(SCALE_HALVES[command - MENU_SCALE_50]);
        break;
    case MENU_ABOUT:
        showMessageBox(ABOUT_TEXT, "About", MESSAGE_BOX_OK);
        break;
    case MENU_SAVE_EFFECTS_2:
    case MENU_SAVE_EFFECTS_3:
    case MENU_SAVE_EFFECTS_4:
        if (gEffectEditorOn) {
            int32_t bank = command - MENU_SAVE_EFFECTS_2 + 1;
            if (saveEffectBank(bank)) showMessageBox(EFFECT_SAVED_TEXTS[bank], "system", MESSAGE_BOX_OK);
        }
        break;
    default:
        break;
    }
}

void mainWndProc(const WindowEvent& event) {
    switch (event.kind) {
    case WINDOW_EVENT_ACTIVATE:
        gAppActive = event.b == 0 ? 1 : 0;
        // Deactivated without being minimised lets the devices go; any other
        // change takes them back.
        setInputAcquired(!(event.a == 0 && event.b == 0));
        break;
    case WINDOW_EVENT_CLOSE:
        if (gWindowed && !gTitle.quitChosen && event.a != WINDOW_CLOSE_FORCED) {
            int32_t answer = showMessageBox("Do you really want to quit the game?", "EXIT?", MESSAGE_BOX_YES_NO);
            if (answer != MESSAGE_BOX_ANSWER_YES) break;
        }
        closeMainWindow();
        break;
    case WINDOW_EVENT_KEY_DOWN:
        if (event.a != WINDOW_KEY_ESCAPE || isSceneLoading()) break;
        if (gGameMode != GAME_MODE_TITLE) {
            openPauseMenu();
        } else if (isTitleIdle()) {
            WindowEvent close = {};
            close.kind = WINDOW_EVENT_CLOSE;
            windowPostEvent(close);
        }
        break;
    case WINDOW_EVENT_COMMAND:
        handleCommand(event.a);
        break;
    case WINDOW_EVENT_SIZING:
        if (gWindowAspectLock == 1) {
            int32_t rect[4] = {event.rect[0], event.rect[1], event.rect[2], event.rect[3]};
            applyAspectLock(event.a, rect, gWindow->metrics());
            gWindow->setOuterRect(rect);
        }
        break;
    default:
        break;
    }
}

