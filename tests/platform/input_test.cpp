#include "platform/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

TEST(InputSdlKeyboard, EveryKeyHasExactlyOneScancode) {
    int found[INPUT_KEY_COUNT] = {};
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        uint8_t sdlHeld[SDL_NUM_SCANCODES] = {};
        sdlHeld[scancode] = 1;
        InputKeyboardState keys;
        inputKeysFromSdl(sdlHeld, SDL_NUM_SCANCODES, &keys);
        int held = 0;
        for (int k = 0; k < INPUT_KEY_COUNT; ++k) {
            held += keys.held[k];
            found[k] += keys.held[k];
        }
        EXPECT_LE(held, 1) << "scancode " << scancode;
    }
    EXPECT_EQ(found[INPUT_KEY_NONE], 0);
    for (int k = 1; k < INPUT_KEY_COUNT; ++k) EXPECT_EQ(found[k], 1) << "key " << k;
}

// SDL says how many flags it has; none past them is read.
TEST(InputSdlKeyboard, ReadsOnlyTheFlagsSdlHas) {
    std::vector<uint8_t> sdlHeld(SDL_SCANCODE_Z + 1, 1);
    InputKeyboardState keys;
    inputKeysFromSdl(sdlHeld.data(), (int32_t)sdlHeld.size(), &keys);
    EXPECT_EQ(keys.held[INPUT_KEY_A], 1);
    EXPECT_EQ(keys.held[INPUT_KEY_Z], 1);
    EXPECT_EQ(keys.held[INPUT_KEY_0], 0);
    EXPECT_EQ(keys.held[INPUT_KEY_UP], 0);
}

// Controllers are SDL's virtual ones, attached and detached by the tests.
class InputSdlJoystick : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real controller is attached";
    }
    void TearDown() override {
        for (SDL_Joystick*& pad : pads)
            if (pad) SDL_JoystickClose(pad);
        if (opened) INPUT_SDL.close();
        while (SDL_NumJoysticks() > 0 && SDL_JoystickDetachVirtual(0) == 0) {
        }
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    void open() {
        ASSERT_TRUE(INPUT_SDL.open());
        opened = true;
    }
    // A pad with the given controls; returns its handle for setting them.
    SDL_Joystick* attach(int axes = 2, int buttons = 16, int hats = 1) {
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, hats);
        if (index < 0) return nullptr;
        SDL_Joystick* pad = SDL_JoystickOpen(index);
        for (SDL_Joystick*& slot : pads) {
            if (!slot) {
                slot = pad;
                break;
            }
        }
        return pad;
    }
    void detach(SDL_Joystick* pad) {
        SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        for (SDL_Joystick*& slot : pads) {
            if (slot == pad) {
                SDL_JoystickClose(pad);
                slot = nullptr;
            }
        }
    }
    static InputJoystickState read(int32_t slot) {
        InputJoystickState state = {};
        EXPECT_TRUE(INPUT_SDL.readJoystick(slot, &state)) << "slot " << slot;
        return state;
    }

    SDL_Joystick* pads[8] = {};
    bool opened = false;
};

struct AxisCase {
    Sint16 sdl;
    int32_t want;
};
const AxisCase AXIS_CASES[] = {
    {-32768, -1000}, {32767, 1000}, {0, 0}, {16384, 500}, {-16384, -500}, {16418, 501},
};

struct HatCase {
    Uint8 sdl;
    int32_t want;
};
const HatCase HAT_CASES[] = {
    {SDL_HAT_CENTERED, INPUT_HAT_CENTRED}, {SDL_HAT_UP, 0},        {SDL_HAT_RIGHTUP, 4500},
    {SDL_HAT_RIGHT, 9000},                 {SDL_HAT_RIGHTDOWN, 13500}, {SDL_HAT_DOWN, 18000},
    {SDL_HAT_LEFTDOWN, 22500},             {SDL_HAT_LEFT, 27000},  {SDL_HAT_LEFTUP, 31500},
};

TEST_F(InputSdlJoystick, AttachedAtStartIsAcquiredAndReadInOurUnits) {
    SDL_Joystick* pad = attach();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    open();
    for (const AxisCase& c : AXIS_CASES) {
        SDL_JoystickSetVirtualAxis(pad, 0, c.sdl);
        SDL_JoystickSetVirtualAxis(pad, 1, c.sdl);
        INPUT_SDL.refresh();
        InputJoystickState state = read(0);
        EXPECT_EQ(state.x, c.want) << "sdl " << c.sdl;
        EXPECT_EQ(state.y, c.want) << "sdl " << c.sdl;
    }
    for (const HatCase& c : HAT_CASES) {
        SDL_JoystickSetVirtualHat(pad, 0, c.sdl);
        INPUT_SDL.refresh();
        EXPECT_EQ(read(0).hat, c.want) << "sdl hat " << (int)c.sdl;
    }
    for (int b : {0, 7, 15}) SDL_JoystickSetVirtualButton(pad, b, SDL_PRESSED);
    INPUT_SDL.refresh();
    InputJoystickState state = read(0);
    for (int b = 0; b < INPUT_JOYSTICK_BUTTONS; ++b)
        EXPECT_EQ(state.buttons[b], b == 0 || b == 7 || b == 15 ? 1 : 0) << "button " << b;
}

TEST_F(InputSdlJoystick, MissingControlsReadCentredAndReleased) {
    SDL_Joystick* pad = attach(1, 4, 0);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    open();
    SDL_JoystickSetVirtualAxis(pad, 0, 32767);
    for (int b = 0; b < 4; ++b) SDL_JoystickSetVirtualButton(pad, b, SDL_PRESSED);
    INPUT_SDL.refresh();
    InputJoystickState state = read(0);
    EXPECT_EQ(state.x, 1000);
    EXPECT_EQ(state.y, 0);
    EXPECT_EQ(state.hat, INPUT_HAT_CENTRED);
    for (int b = 0; b < INPUT_JOYSTICK_BUTTONS; ++b) EXPECT_EQ(state.buttons[b], b < 4 ? 1 : 0) << "button " << b;
}

// Plugged in while running: the lowest free slot, read once acquired.
// Pulled out: its slot reads nothing and the others keep their numbers.
TEST_F(InputSdlJoystick, HotPlugKeepsSlotsAndWaitsToBeAcquired) {
    open();
    InputJoystickState state = {};
    EXPECT_FALSE(INPUT_SDL.readJoystick(0, &state));
    EXPECT_FALSE(INPUT_SDL.acquireJoystick(0));

    SDL_Joystick* first = attach();
    SDL_Joystick* second = attach();
    ASSERT_TRUE(first && second) << SDL_GetError();
    SDL_JoystickSetVirtualButton(first, 2, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(second, 5, SDL_PRESSED);
    INPUT_SDL.refresh();
    EXPECT_FALSE(INPUT_SDL.readJoystick(0, &state));
    EXPECT_FALSE(INPUT_SDL.readJoystick(1, &state));
    EXPECT_TRUE(INPUT_SDL.acquireJoystick(0));
    EXPECT_TRUE(INPUT_SDL.acquireJoystick(1));
    EXPECT_EQ(read(0).buttons[2], 1);
    EXPECT_EQ(read(1).buttons[5], 1);

    detach(first);   // while its button is held
    INPUT_SDL.refresh();
    EXPECT_FALSE(INPUT_SDL.readJoystick(0, &state));
    EXPECT_FALSE(INPUT_SDL.acquireJoystick(0));
    EXPECT_EQ(read(1).buttons[5], 1);

    SDL_Joystick* third = attach();
    ASSERT_NE(third, nullptr) << SDL_GetError();
    SDL_JoystickSetVirtualButton(third, 9, SDL_PRESSED);
    INPUT_SDL.refresh();
    EXPECT_TRUE(INPUT_SDL.acquireJoystick(0));
    state = read(0);
    EXPECT_EQ(state.buttons[2], 0);
    EXPECT_EQ(state.buttons[9], 1);
    EXPECT_FALSE(INPUT_SDL.readJoystick(2, &state));
}

TEST_F(InputSdlJoystick, InactiveReadsNothingAndCannotBeAcquired) {
    SDL_Joystick* pad = attach();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    open();
    InputKeyboardState keys;
    InputJoystickState state;
    EXPECT_TRUE(INPUT_SDL.readKeyboard(&keys));
    INPUT_SDL.setAcquired(false);
    EXPECT_FALSE(INPUT_SDL.readKeyboard(&keys));
    EXPECT_FALSE(INPUT_SDL.readJoystick(0, &state));
    EXPECT_FALSE(INPUT_SDL.acquireKeyboard());
    EXPECT_FALSE(INPUT_SDL.acquireJoystick(0));

    SDL_Joystick* late = attach();   // plugged in while inactive
    ASSERT_NE(late, nullptr) << SDL_GetError();
    INPUT_SDL.refresh();
    EXPECT_FALSE(INPUT_SDL.acquireJoystick(1));

    INPUT_SDL.setAcquired(true);   // activation takes every device
    EXPECT_TRUE(INPUT_SDL.readKeyboard(&keys));
    EXPECT_TRUE(INPUT_SDL.readJoystick(0, &state));
    EXPECT_TRUE(INPUT_SDL.readJoystick(1, &state));
}
