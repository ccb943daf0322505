#include "engine/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/input.h"

static InputJoystickState stick(int32_t x, int32_t y) {
    InputJoystickState s = {};
    s.x = x;
    s.y = y;
    return s;
}

static InputJoystickState hatAndStick(int32_t hat, int32_t x) {
    InputJoystickState s = stick(x, 0);
    s.hat = hat;
    return s;
}

static InputJoystickState button(int b) {
    InputJoystickState s = {};
    s.buttons[b] = 1;
    return s;
}

// The scripted devices, opened as at start-up, with the default bindings.
class InputScriptedTest : public testing::Test {
protected:
    void SetUp() override {
        memcpy(savedBindings, gPadBindings, sizeof savedBindings);
        gInputBackend = &INPUT_SCRIPTED;
        inputScriptReset();
        gInputState[0] = InputRecord{};
        ASSERT_TRUE(initInputDevices());
    }
    void TearDown() override {
        releaseInputDevices();
        inputScriptReset();
        memcpy(gPadBindings, savedBindings, sizeof savedBindings);
        gInputState[0] = InputRecord{};
    }
    // One poll on a cleared raw word, as after a drawn frame.
    static uint16_t poll() {
        gInputState[0].raw = 0;
        pollInput();
        return gInputState[0].raw;
    }
    static void clearBindings() { memset(gPadBindings, 0, sizeof gPadBindings); }

    int16_t savedBindings[2][PAD_BINDING_COUNT];
};

class InputBindings : public InputScriptedTest {};
class InputControllers : public InputScriptedTest {};
class InputActivation : public InputScriptedTest {};
class InputHotPlug : public InputScriptedTest {};

struct KeyCase {
    InputKey key;
    uint16_t want;
};
const KeyCase DEFAULT_KEY_CASES[] = {
    {INPUT_KEY_UP, BUTTON_UP},    {INPUT_KEY_RIGHT, BUTTON_RIGHT}, {INPUT_KEY_DOWN, BUTTON_DOWN},
    {INPUT_KEY_LEFT, BUTTON_LEFT}, {INPUT_KEY_Z, BUTTON_CONFIRM},  {INPUT_KEY_X, BUTTON_CANCEL},
    {INPUT_KEY_C, BUTTON_SUB},      {INPUT_KEY_V, BUTTON_VIEW},         {INPUT_KEY_W, BUTTON_MENU},
    {INPUT_KEY_A, 0},             {INPUT_KEY_SPACE, 0},            {INPUT_KEY_KEYPAD_8, 0},
};

TEST_F(InputBindings, DefaultKeys) {
    for (const KeyCase& c : DEFAULT_KEY_CASES) {
        inputScriptReleaseKeys();
        inputScriptSetKey(c.key, true);
        EXPECT_EQ(poll(), c.want) << "key " << (int)c.key;
    }
    inputScriptReleaseKeys();
    inputScriptSetKey(INPUT_KEY_Z, true);
    inputScriptSetKey(INPUT_KEY_LEFT, true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_LEFT);
}

// Keyboard codes by the SDL key that types them: from the key a player
// presses to the button, through both tables.
struct KeyCodeCase {
    int16_t code;
    SDL_Scancode scancode;
};
const KeyCodeCase KEY_CODE_CASES[] = {
    {1, SDL_SCANCODE_UP},      {2, SDL_SCANCODE_RIGHT},  {3, SDL_SCANCODE_DOWN},  {4, SDL_SCANCODE_LEFT},
    {5, SDL_SCANCODE_RSHIFT},  {6, SDL_SCANCODE_RCTRL},  {7, SDL_SCANCODE_SPACE}, {8, SDL_SCANCODE_LSHIFT},
    {9, SDL_SCANCODE_LCTRL},   {10, SDL_SCANCODE_KP_8},  {11, SDL_SCANCODE_KP_6}, {12, SDL_SCANCODE_KP_2},
    {13, SDL_SCANCODE_KP_4},   {14, SDL_SCANCODE_A},     {26, SDL_SCANCODE_M},    {39, SDL_SCANCODE_Z},
};

static void holdSdlKey(SDL_Scancode scancode) {
    uint8_t sdlHeld[SDL_NUM_SCANCODES] = {};
    sdlHeld[scancode] = 1;
    InputKeyboardState keys;
    inputKeysFromSdl(sdlHeld, SDL_NUM_SCANCODES, &keys);
    inputScriptReleaseKeys();
    for (int k = 0; k < INPUT_KEY_COUNT; ++k)
        if (keys.held[k]) inputScriptSetKey((InputKey)k, true);
}

TEST_F(InputBindings, KeyboardCodesNameTheirKeys) {
    std::vector<KeyCodeCase> cases(std::begin(KEY_CODE_CASES), std::end(KEY_CODE_CASES));
    for (int16_t code = 14; code <= 39; ++code) cases.push_back({code, (SDL_Scancode)(SDL_SCANCODE_A + code - 14)});
    for (const KeyCodeCase& c : cases) {
        clearBindings();
        gPadBindings[0][5] = c.code;   // cancel
        holdSdlKey(c.scancode);
        EXPECT_EQ(poll(), BUTTON_CANCEL) << "code " << c.code;
        // The neighbouring code is another key.
        gPadBindings[0][5] = (int16_t)(c.code == 1 ? 2 : c.code - 1);
        EXPECT_EQ(poll(), 0) << "code " << c.code;
    }
}

TEST_F(InputBindings, KeyBoundInBothSetsSetsItsBitOnce) {
    gPadBindings[1][4] = 39;   // Z confirms in both sets
    inputScriptSetKey(INPUT_KEY_Z, true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM);
    gPadBindings[1][4] = 44;
    gPadBindings[1][5] = 39;   // set 1 makes Z cancel too
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_CANCEL);
}

TEST_F(InputBindings, KeyAndControllerButtonOnTheSameBitBothWork) {
    inputScriptSetKey(INPUT_KEY_Z, true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM);
    inputScriptReleaseKeys();
    inputScriptSetJoystick(0, button(0));   // code 44: confirm in set 1
    EXPECT_EQ(poll(), BUTTON_CONFIRM);
    inputScriptSetKey(INPUT_KEY_Z, true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM);
}

TEST_F(InputBindings, ZeroAndCodesAboveFortyNeverMatchAKey) {
    const int16_t CODES[] = {0, 40, 41, 59, 60, 119, 120, -1, -39, 1000, 0, 40, 41, 0};
    static_assert(sizeof CODES / sizeof CODES[0] == PAD_BINDING_COUNT);
    for (int s = 0; s < 2; ++s) memcpy(gPadBindings[s], CODES, sizeof CODES);
    for (int k = 0; k < INPUT_KEY_COUNT; ++k) inputScriptSetKey((InputKey)k, true);
    EXPECT_EQ(poll(), 0);
}

struct ControllerCodeCase {
    const char* what;
    int16_t code;
    int32_t slot;
    InputJoystickState state;
    bool matches;
};
const ControllerCodeCase CONTROLLER_CODE_CASES[] = {
    {"0 up", 40, 0, stick(0, -1000), true},
    {"0 right", 41, 0, stick(1000, 0), true},
    {"0 down just past the threshold", 42, 0, stick(0, 501), true},
    {"0 left just past the threshold", 43, 0, stick(-501, 0), true},
    {"0 right at the threshold", 41, 0, stick(500, 0), false},
    {"0 up at the threshold", 40, 0, stick(0, -500), false},
    {"0 button 0", 44, 0, button(0), true},
    {"0 button 15", 59, 0, button(15), true},
    {"0 button 1 is not button 0", 44, 0, button(1), false},
    {"1 up", 60, 1, stick(0, -1000), true},
    {"1 button 15", 79, 1, button(15), true},
    {"2 button 0", 84, 2, button(0), true},
    {"3 down", 102, 3, stick(0, 1000), true},
    {"3 button 15", 119, 3, button(15), true},
    {"1's up held on 0", 60, 0, stick(0, -1000), false},
    {"0's button 0 held on 2", 44, 2, button(0), false},
};

TEST_F(InputControllers, CodesAreFortyPlusTwentyPerControllerPlusInput) {
    for (const ControllerCodeCase& c : CONTROLLER_CODE_CASES) {
        clearBindings();
        gPadBindings[0][4] = c.code;   // confirm
        inputScriptSetJoystick(c.slot, c.state);
        EXPECT_EQ(poll(), c.matches ? BUTTON_CONFIRM : 0) << "controller " << c.what;
        inputScriptUnplugJoystick(c.slot);
    }
}

struct HatCase {
    int32_t hat;
    int32_t x;
    uint16_t want;
};
const HatCase HAT_CASES[] = {
    {0, 0, BUTTON_UP},
    {4500, 0, BUTTON_UP | BUTTON_RIGHT},
    {9000, 0, BUTTON_RIGHT},
    {13500, 0, BUTTON_RIGHT | BUTTON_DOWN},
    {18000, 0, BUTTON_DOWN},
    {22500, 0, BUTTON_DOWN | BUTTON_LEFT},
    {27000, 0, BUTTON_LEFT},
    {31500, 0, BUTTON_LEFT | BUTTON_UP},
    {INPUT_HAT_CENTRED, 0, 0},
    {4501, 0, 0},
    {36000, 0, 0},
    {4500, -1000, BUTTON_UP | BUTTON_RIGHT | BUTTON_LEFT},   // hat and stick add up
    {INPUT_HAT_CENTRED, 1000, BUTTON_RIGHT},
};

// Set 1's defaults bind controller 0's four directions.
TEST_F(InputControllers, HatAndStickDirections) {
    for (const HatCase& c : HAT_CASES) {
        inputScriptSetJoystick(0, hatAndStick(c.hat, c.x));
        EXPECT_EQ(poll(), c.want) << "hat " << c.hat << " x " << c.x;
    }
}

TEST_F(InputActivation, UnacquiredDevicesReadNothing) {
    inputScriptSetKey(INPUT_KEY_Z, true);
    inputScriptSetJoystick(0, button(1));   // cancel
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_CANCEL);
    setInputAcquired(false);
    EXPECT_EQ(poll(), 0);
    inputScriptSetJoystick(1, button(15));   // plugged in meanwhile; unbound
    gPadBindings[0][6] = 79;                 // controller 1 button 15: button 6
    EXPECT_EQ(poll(), 0);
    setInputAcquired(true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB);
}

static int sKeyboardAcquires;
static int sJoystickAcquires[INPUT_JOYSTICK_MAX];
static bool countedAcquireKeyboard() {
    ++sKeyboardAcquires;
    return INPUT_SCRIPTED.acquireKeyboard();
}
static bool countedAcquireJoystick(int32_t slot) {
    ++sJoystickAcquires[slot];
    return INPUT_SCRIPTED.acquireJoystick(slot);
}

TEST_F(InputActivation, OneAcquireAttemptPerDevicePerPoll) {
    InputBackend counted = INPUT_SCRIPTED;
    counted.acquireKeyboard = countedAcquireKeyboard;
    counted.acquireJoystick = countedAcquireJoystick;
    gInputBackend = &counted;
    sKeyboardAcquires = 0;
    for (int& n : sJoystickAcquires) n = 0;
    inputScriptSetKey(INPUT_KEY_Z, true);
    inputScriptSetJoystick(0, button(1));

    setInputAcquired(false);   // acquiring fails until activation
    for (int i = 0; i < 3; ++i) EXPECT_EQ(poll(), 0);
    EXPECT_EQ(sKeyboardAcquires, 3);
    for (int j = 0; j < INPUT_JOYSTICK_MAX; ++j) EXPECT_EQ(sJoystickAcquires[j], 3) << "slot " << j;

    // Taken away while active: a controller is back within the poll, the
    // keyboard from the next one.
    setInputAcquired(true);
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_CANCEL);
    inputScriptLoseDevices();
    EXPECT_EQ(poll(), BUTTON_CANCEL);
    EXPECT_EQ(poll(), BUTTON_CONFIRM | BUTTON_CANCEL);
    gInputBackend = &INPUT_SCRIPTED;
}

// One tick as the frame loop runs it with no frame skip: poll, derive, and
// the raw word cleared by the drawn frame.
static void pollTick() {
    pollInput();
    deriveInputEdges(gInputState[0]);
    gInputState[0].raw = 0;
}

TEST_F(InputHotPlug, PluggedInAfterStartAndPulledOutWhileHeld) {
    pollTick();
    inputScriptSetJoystick(0, button(0));   // confirm
    pollTick();
    EXPECT_EQ(gInputState[0].pressed, BUTTON_CONFIRM);
    pollTick();
    EXPECT_EQ(gInputState[0].previous, BUTTON_CONFIRM);
    inputScriptUnplugJoystick(0);
    for (int i = 0; i < 20; ++i) {
        pollTick();
        EXPECT_EQ(gInputState[0].previous, 0) << "tick " << i;
        EXPECT_EQ(gInputState[0].repeat, 0) << "tick " << i;
    }
}

// The real SDL backend with SDL's virtual controllers.
TEST(InputHotPlugSdl, ControllerPluggedInAfterStartAndPulledOutWhileHeld) {
    gInputBackend = &INPUT_SDL;
    gInputState[0] = InputRecord{};
    ASSERT_TRUE(initInputDevices());
    if (SDL_NumJoysticks() != 0) {
        releaseInputDevices();
        GTEST_SKIP() << "a real controller is attached";
    }
    pollTick();
    EXPECT_EQ(gInputState[0].previous, 0);

    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 16, 1);
    ASSERT_EQ(index, 0) << SDL_GetError();
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);   // code 44: confirm
    SDL_JoystickSetVirtualAxis(pad, 0, -32768);          // code 43: left
    pollTick();
    EXPECT_EQ(gInputState[0].pressed, BUTTON_CONFIRM | BUTTON_LEFT);
    pollTick();
    EXPECT_EQ(gInputState[0].previous, BUTTON_CONFIRM | BUTTON_LEFT);

    SDL_JoystickDetachVirtual(index);   // pulled out while held
    SDL_JoystickClose(pad);
    for (int i = 0; i < 20; ++i) {
        pollTick();
        EXPECT_EQ(gInputState[0].previous, 0) << "tick " << i;
        EXPECT_EQ(gInputState[0].repeat, 0) << "tick " << i;
    }

    index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 16, 1);
    ASSERT_EQ(index, 0) << SDL_GetError();
    pad = SDL_JoystickOpen(index);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    SDL_JoystickSetVirtualButton(pad, 1, SDL_PRESSED);   // code 45: cancel
    pollTick();
    EXPECT_EQ(gInputState[0].pressed, BUTTON_CANCEL);
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    releaseInputDevices();
    gInputBackend = nullptr;
    gInputState[0] = InputRecord{};
}
