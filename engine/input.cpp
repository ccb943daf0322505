#include "engine/input.h"

#include "platform/input.h"

InputRecord gInputState[2];

int16_t gPadBindings[2][PAD_BINDING_COUNT] = {
    {1, 2, 3, 4, 39, 37, 16, 35, 36, 0, 0, 0, 0, 0},
    {40, 41, 42, 43, 44, 45, 46, 47, 48, 0, 0, 0, 0, 0},
};

bool initDirectInput() { return gInputBackend && gInputBackend->open(); }

void releaseDirectInput() {
    if (gInputBackend) gInputBackend->close();
}

void setInputAcquired(bool acquired) {
    if (gInputBackend) gInputBackend->setAcquired(acquired);
}

void pollInput() {
    if (gInputBackend) gInputState[0].raw |= gInputBackend->pollButtons();
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
