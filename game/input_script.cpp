#include "game/input_script.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "engine/input.h"

static const char* const BUTTON_NAMES[] = {"right", "left",  "up",     "down",   "confirm", "cancel", "b6",
                                           "b7",    "menu",  "skill0", "skill1", "skill2",  "skill3", "skill4"};
static_assert(std::size(BUTTON_NAMES) == 14 && (1u << 14) - 1 == INPUT_SCRIPT_BUTTON_MASK);
static_assert(BUTTON_RIGHT == 0x0001 && BUTTON_CONFIRM == 0x0010 && BUTTON_MENU == 0x0100 && BUTTON_SKILL_4 == 0x2000,
              "the names follow the button bits");

struct Word {
    const char* at;
    int32_t length;
};

static bool wordIs(const Word& w, const char* text) {
    return (size_t)w.length == strlen(text) && memcmp(w.at, text, (size_t)w.length) == 0;
}

static bool fail(InputScriptError& error, int32_t line, const char* format, ...) __attribute__((format(printf, 3, 4)));
static bool fail(InputScriptError& error, int32_t line, const char* format, ...) {
    error.line = line;
    va_list args;
    va_start(args, format);
    vsnprintf(error.message, sizeof error.message, format, args);
    va_end(args);
    return false;
}

// A word shown in a message: at most 24 bytes of it.
static int32_t shown(const Word& w) { return w.length < 24 ? w.length : 24; }

// Decimal digits only, no sign, at most limit.
static bool parseNumber(const Word& w, uint64_t limit, uint64_t& value) {
    if (w.length == 0 || w.length > 20) return false;
    value = 0;
    for (int32_t i = 0; i < w.length; ++i) {
        char c = w.at[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (uint64_t)(c - '0');
        if (value > limit) return false;
    }
    return true;
}

static bool parseButtons(const Word& w, uint16_t& buttons, InputScriptError& error, int32_t line) {
    buttons = 0;
    if (wordIs(w, "none")) return true;
    if (w.length > 2 && w.at[0] == '0' && (w.at[1] == 'x' || w.at[1] == 'X')) {
        uint32_t value = 0;
        if (w.length > 6) return fail(error, line, "button word '%.*s' has more than 4 hex digits", shown(w), w.at);
        for (int32_t i = 2; i < w.length; ++i) {
            char c = w.at[i];
            int32_t digit = c >= '0' && c <= '9'   ? c - '0'
                            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                   : -1;
            if (digit < 0) return fail(error, line, "'%.*s' is no hex button word", shown(w), w.at);
            value = value * 16 + (uint32_t)digit;
        }
        if (value & ~(uint32_t)INPUT_SCRIPT_BUTTON_MASK)
            return fail(error, line, "button word 0x%04X has bits above 0x3FFF", value);
        buttons = (uint16_t)value;
        return true;
    }
    int32_t start = 0;
    for (int32_t i = 0; i <= w.length; ++i) {
        if (i < w.length && w.at[i] != '+') continue;
        Word name = {w.at + start, i - start};
        if (name.length == 0) return fail(error, line, "an empty button name in '%.*s'", shown(w), w.at);
        int32_t bit = 0;
        while (bit < (int32_t)std::size(BUTTON_NAMES) && !wordIs(name, BUTTON_NAMES[bit])) ++bit;
        if (bit == (int32_t)std::size(BUTTON_NAMES))
            return fail(error, line, "unknown button '%.*s' (right left up down confirm cancel b6 b7 menu skill0..skill4)",
                        shown(name), name.at);
        buttons |= (uint16_t)(1u << bit);
        start = i + 1;
    }
    return true;
}

// Splits a line (comment removed) into at most 4 words; false on a byte no
// script holds.
static bool splitLine(const char* at, int32_t length, Word* words, int32_t& count, InputScriptError& error,
                      int32_t line) {
    count = 0;
    int32_t i = 0;
    while (i < length) {
        char c = at[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        int32_t start = i;
        while (i < length && at[i] != ' ' && at[i] != '\t') {
            unsigned char b = (unsigned char)at[i];
            if (b < 0x20 || b >= 0x7F)
                return fail(error, line, "unexpected byte 0x%02X in column %d", b, i + 1);
            ++i;
        }
        if (count == 4) return fail(error, line, "too many words");
        words[count++] = Word{at + start, i - start};
    }
    return true;
}

static bool parseLines(const char* text, size_t size, InputScript& script, InputScriptError& error) {
    if (size > (size_t)INPUT_SCRIPT_MAX_BYTES)
        return fail(error, 0, "the script is over %d bytes", INPUT_SCRIPT_MAX_BYTES);
    bool seen[3] = {};   // seed, frameskip, ticks
    int32_t line = 0;
    size_t pos = 0;
    while (pos < size) {
        ++line;
        const char* at = text + pos;
        const void* newline = memchr(at, '\n', size - pos);
        size_t length = newline ? (size_t)((const char*)newline - at) : size - pos;
        pos += length + (newline ? 1 : 0);
        if (length > 0 && at[length - 1] == '\r') --length;
        if (length > (size_t)INPUT_SCRIPT_MAX_LINE)
            return fail(error, line, "the line is longer than %d bytes", INPUT_SCRIPT_MAX_LINE);
        if (memchr(at, '\0', length)) return fail(error, line, "a NUL byte");
        if (memchr(at, '\r', length)) return fail(error, line, "a carriage return inside the line");
        // A comment may hold any text but control bytes.
        const char* hash = (const char*)memchr(at, '#', length);
        if (hash) {
            for (const char* c = hash; c < at + length; ++c)
                if ((unsigned char)*c < 0x20 && *c != '\t') return fail(error, line, "a control byte in a comment");
            length = (size_t)(hash - at);
        }
        Word words[4];
        int32_t count;
        if (!splitLine(at, (int32_t)length, words, count, error, line)) return false;
        if (count == 0) continue;

        static const char* const KEYS[3] = {"seed", "frameskip", "ticks"};
        int32_t key = 0;
        while (key < 3 && !wordIs(words[0], KEYS[key])) ++key;
        if (key < 3) {
            if (!script.steps.empty()) return fail(error, line, "'%s' after the first step", KEYS[key]);
            if (seen[key]) return fail(error, line, "a second '%s' line", KEYS[key]);
            if (count != 2) return fail(error, line, "'%s' takes one number", KEYS[key]);
            static const uint64_t LIMITS[3] = {UINT32_MAX, INPUT_SCRIPT_FRAME_SKIP_MAX, INPUT_SCRIPT_MAX_TICKS};
            uint64_t value;
            if (!parseNumber(words[1], LIMITS[key], value) || (key == 2 && value == 0))
                return fail(error, line, "'%s' must be a decimal number from %d to %llu, not '%.*s'", KEYS[key],
                            key == 2 ? 1 : 0, (unsigned long long)LIMITS[key], shown(words[1]), words[1].at);
            seen[key] = true;
            if (key == 0) script.seed = (uint32_t)value;
            else if (key == 1) script.frameSkip = (int32_t)value;
            else script.ticks = (int32_t)value;
            continue;
        }

        uint64_t tick;
        if (!parseNumber(words[0], INPUT_SCRIPT_MAX_TICKS, tick)) {
            bool digits = words[0].length > 0 && words[0].at[0] >= '0' && words[0].at[0] <= '9';
            if (digits) return fail(error, line, "tick '%.*s' is no decimal number up to %d", shown(words[0]),
                                    words[0].at, INPUT_SCRIPT_MAX_TICKS);
            return fail(error, line, "unknown line '%.*s' (seed, frameskip, ticks or a step '<tick> <buttons>')",
                        shown(words[0]), words[0].at);
        }
        if (!seen[2]) return fail(error, line, "a step before the 'ticks' line");
        if (count != 2) return fail(error, line, "a step is '<tick> <buttons>'");
        if ((int64_t)tick >= script.ticks)
            return fail(error, line, "tick %llu is not below the tick count %d", (unsigned long long)tick, script.ticks);
        if (!script.steps.empty() && (int32_t)tick <= script.steps.back().tick)
            return fail(error, line, "tick %llu does not come after tick %d", (unsigned long long)tick,
                        script.steps.back().tick);
        if ((int32_t)script.steps.size() == INPUT_SCRIPT_MAX_STEPS)
            return fail(error, line, "more than %d steps", INPUT_SCRIPT_MAX_STEPS);
        uint16_t buttons;
        if (!parseButtons(words[1], buttons, error, line)) return false;
        script.steps.push_back(InputScriptStep{(int32_t)tick, buttons});
    }
    if (!seen[2]) return fail(error, 0, "no 'ticks' line");
    return true;
}

bool parseInputScript(const char* text, size_t size, InputScript& script, InputScriptError& error) {
    script = InputScript{};
    error = InputScriptError{};
    if (parseLines(text, size, script, error)) return true;
    script = InputScript{};
    return false;
}

bool loadInputScript(const char* path, InputScript& script, InputScriptError& error) {
    script = InputScript{};
    error = InputScriptError{};
    FILE* file = fopen(path, "rb");
    if (!file) return fail(error, 0, "cannot be opened: %s", strerror(errno));
    // One byte more than allowed tells an oversized file, pipes included.
    std::vector<char> text((size_t)INPUT_SCRIPT_MAX_BYTES + 1);
    size_t size = fread(text.data(), 1, text.size(), file);
    bool readFailed = ferror(file) != 0;
    fclose(file);
    if (readFailed) return fail(error, 0, "cannot be read");
    return parseInputScript(text.data(), size, script, error);
}

void formatInputScriptError(const char* path, const InputScriptError& error, char* out, size_t outSize) {
    if (error.line > 0) snprintf(out, outSize, "%s:%d: %s", path, error.line, error.message);
    else snprintf(out, outSize, "%s: %s", path, error.message);
}

void formatButtons(uint16_t buttons, char* out, size_t outSize) {
    if (!outSize) return;
    out[0] = 0;
    buttons &= INPUT_SCRIPT_BUTTON_MASK;
    if (!buttons) {
        snprintf(out, outSize, "none");
        return;
    }
    size_t used = 0;
    for (int32_t bit = 0; bit < (int32_t)std::size(BUTTON_NAMES); ++bit) {
        if (!(buttons & (1u << bit))) continue;
        int n = snprintf(out + used, outSize - used, "%s%s", used ? "+" : "", BUTTON_NAMES[bit]);
        if (n < 0 || (size_t)n >= outSize - used) return;
        used += (size_t)n;
    }
}
