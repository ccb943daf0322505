#include "engine/input.h"

#include <cstring>

InputRecord gInputState[2];

const int16_t PAD_BINDING_DEFAULTS[2][PAD_BINDING_COUNT] = {
    {1, 2, 3, 4, 39, 37, 16, 35, 36, 0, 0, 0, 0, 0},
    {40, 41, 42, 43, 44, 45, 46, 47, 48, 0, 0, 0, 0, 0},
};

int16_t gPadBindings[2][PAD_BINDING_COUNT];

// The bindings hold their defaults from the start, before any settings file
// is read.
static const bool sPadBindingsReady = [] {
    memcpy(gPadBindings, PAD_BINDING_DEFAULTS, sizeof gPadBindings);
    return true;
}();

const uint16_t PAD_BINDING_BITS[PAD_BINDING_COUNT] = {
    BUTTON_UP,      BUTTON_RIGHT,   BUTTON_DOWN,    BUTTON_LEFT,    BUTTON_CONFIRM,
    BUTTON_CANCEL,  BUTTON_SUB,       BUTTON_VIEW,       BUTTON_MENU,    BUTTON_SKILL_0,
    BUTTON_SKILL_1, BUTTON_SKILL_2, BUTTON_SKILL_3, BUTTON_SKILL_4,
};

const InputKey KEY_CODE_TABLE[KEY_CODE_COUNT] = {
    INPUT_KEY_UP, INPUT_KEY_RIGHT, INPUT_KEY_DOWN, INPUT_KEY_LEFT,
    INPUT_KEY_RIGHT_SHIFT, INPUT_KEY_RIGHT_CTRL, INPUT_KEY_SPACE, INPUT_KEY_LEFT_SHIFT, INPUT_KEY_LEFT_CTRL,
    INPUT_KEY_KEYPAD_8, INPUT_KEY_KEYPAD_6, INPUT_KEY_KEYPAD_2, INPUT_KEY_KEYPAD_4,
    INPUT_KEY_A, INPUT_KEY_B, INPUT_KEY_C, INPUT_KEY_D, INPUT_KEY_E, INPUT_KEY_F, INPUT_KEY_G,
    INPUT_KEY_H, INPUT_KEY_I, INPUT_KEY_J, INPUT_KEY_K, INPUT_KEY_L, INPUT_KEY_M, INPUT_KEY_N,
    INPUT_KEY_O, INPUT_KEY_P, INPUT_KEY_Q, INPUT_KEY_R, INPUT_KEY_S, INPUT_KEY_T, INPUT_KEY_U,
    INPUT_KEY_V, INPUT_KEY_W, INPUT_KEY_X, INPUT_KEY_Y, INPUT_KEY_Z,
    INPUT_KEY_NONE,
};

// Controller inputs as bits of one word: bit k is input k.
enum ControllerInputBit : uint32_t {
    CONTROLLER_UP = 1u << 0, CONTROLLER_RIGHT = 1u << 1, CONTROLLER_DOWN = 1u << 2, CONTROLLER_LEFT = 1u << 3,
};
constexpr int CONTROLLER_FIRST_BUTTON = 4;
constexpr int32_t STICK_THRESHOLD = 500;
constexpr int32_t HAT_STEP = 4500;

// The hat's eight positions, clockwise from up.
static const uint32_t HAT_DIRECTIONS[8] = {
    CONTROLLER_UP,   CONTROLLER_UP | CONTROLLER_RIGHT,   CONTROLLER_RIGHT, CONTROLLER_RIGHT | CONTROLLER_DOWN,
    CONTROLLER_DOWN, CONTROLLER_DOWN | CONTROLLER_LEFT, CONTROLLER_LEFT,  CONTROLLER_LEFT | CONTROLLER_UP,
};

bool initInputDevices() { return gInputBackend && gInputBackend->open(); }

void releaseInputDevices() {
    if (gInputBackend) gInputBackend->close();
}

void setInputAcquired(bool acquired) {
    if (gInputBackend) gInputBackend->setAcquired(acquired);
}

// The hat and the stick add up: the hat at up-right with the stick left
// holds up, right and left.
static uint32_t controllerInputs(const InputJoystickState& state) {
    uint32_t inputs = 0;
    if (state.hat >= 0 && state.hat % HAT_STEP == 0 && state.hat / HAT_STEP < 8) inputs |= HAT_DIRECTIONS[state.hat / HAT_STEP];
    if (state.y < -STICK_THRESHOLD) inputs |= CONTROLLER_UP;
    if (state.y > STICK_THRESHOLD) inputs |= CONTROLLER_DOWN;
    if (state.x > STICK_THRESHOLD) inputs |= CONTROLLER_RIGHT;
    if (state.x < -STICK_THRESHOLD) inputs |= CONTROLLER_LEFT;
    for (int b = 0; b < INPUT_JOYSTICK_BUTTONS; ++b)
        if (state.buttons[b]) inputs |= 1u << (CONTROLLER_FIRST_BUTTON + b);
    return inputs;
}

// The buttons whose binding, in either set, is this code.
static uint16_t boundButtons(int32_t code) {
    uint16_t buttons = 0;
    for (const int16_t* set : gPadBindings)
        for (int i = 0; i < PAD_BINDING_COUNT; ++i)
            if (set[i] == code) buttons |= PAD_BINDING_BITS[i];
    return buttons;
}

// A device that cannot be acquired gets one attempt per poll, so a controller
// that stays away never holds up the frame.
void pollInput() {
    if (!gInputBackend) return;
    uint16_t& raw = gInputState[0].raw;
    gInputBackend->refresh();
    for (int32_t j = 0; j < INPUT_JOYSTICK_MAX; ++j) {
        InputJoystickState state = {};
        bool read = gInputBackend->readJoystick(j, &state);
        if (!read && gInputBackend->acquireJoystick(j)) read = gInputBackend->readJoystick(j, &state);
        if (!read) continue;
        uint32_t inputs = controllerInputs(state);
        for (int k = 0; k < CONTROLLER_CODE_STRIDE; ++k)
            if (inputs & (1u << k)) raw |= boundButtons(CONTROLLER_CODE_BASE + CONTROLLER_CODE_STRIDE * j + k);
    }

    // A keyboard that was let go is taken back for the next poll; this one
    // gets nothing from it.
    InputKeyboardState keys;
    if (!gInputBackend->readKeyboard(&keys)) {
        gInputBackend->acquireKeyboard();
        return;
    }
    for (const int16_t* set : gPadBindings) {
        for (int i = 0; i < PAD_BINDING_COUNT; ++i) {
            if (set[i] < 1 || set[i] > KEY_CODE_COUNT) continue;
            InputKey key = KEY_CODE_TABLE[set[i] - 1];
            if (key != INPUT_KEY_NONE && keys.held[key]) raw |= PAD_BINDING_BITS[i];
        }
    }
}

void deriveInputEdges(InputRecord& record) {
    record.pressed = (uint16_t)(record.raw & ~record.previous);
    uint16_t repeat = record.raw;
    for (int bit = 0; bit < 16; ++bit) {
        uint16_t mask = (uint16_t)(1u << bit);
        int16_t& counter = record.repeatCounters[bit];
        if ((record.raw ^ record.previous) & mask) {
            counter = 12;
            continue;
        }
        if (counter > 12) counter = 12;
        if (counter > 0) {
            --counter;
            repeat = (uint16_t)(repeat & ~mask);
        } else {
            counter = 4;
        }
    }
    record.repeat = repeat;
    record.previous = record.raw;
}

void resetInputState() {
    gInputState[0] = InputRecord{};
    gInputState[1] = InputRecord{};
}
