#include "story/event_script.h"
#include "platform/sjis.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/archive.h"
#include "engine/loose_files.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "story/event.h"
#include "story/event_cells.h"

const char EVENT_SCRIPT_PATH_FORMAT[] = "iv/iv%d_%d.ivt";

EventCommand gEventCommands[EVENT_COMMAND_MAX];
EventResources gEventResources;
char gEventMessageLines[EVENT_MESSAGE_LINE_MAX][EVENT_MESSAGE_LINE_BYTES];
EventScriptCounts gEventScriptCounts;

// "%d行目%s": the line number, then what is wrong with the line.
static const char LINE_CAPTION_FORMAT[] = "%d\x8d\x73\x96\xda%s";
// ";が使用されています"
static const char SEMICOLON_TEXT[] = "\x3b\x82\xaa\x8e\x67\x97\x70\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
// "不明なコマンド"
static const char UNKNOWN_COMMAND_TEXT[] = "\x95\x73\x96\xbe\x82\xc8\x83\x52\x83\x7d\x83\x93\x83\x68";
// "画像ファイルサイズ無効"
static const char PICTURE_NO_SIZE_TEXT[] =
    "\x89\xe6\x91\x9c\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x54\x83\x43\x83\x59\x96\xb3\x8c\xf8";
// "画像ファイル全角スペース"
static const char PICTURE_WIDE_SPACE_TEXT[] =
    "\x89\xe6\x91\x9c\x83\x74\x83\x40\x83\x43\x83\x8b\x91\x53\x8a\x70\x83\x58\x83\x79\x81\x5b\x83\x58";
// "画像ファイルエラー"
static const char PICTURE_ERROR_TEXT[] = "\x89\xe6\x91\x9c\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x47\x83\x89\x81\x5b";
// "SE登録数オーバー", captioned "msg:"
static const char SOUNDS_FULL_TEXT[] = "SE\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
static const char SOUNDS_FULL_CAPTION[] = "msg:";
// "スクリプトがありません", "end:がありません", "スクリプトサイズオーバー",
// captioned with the script's name.
static const char NO_SCRIPT_TEXT[] =
    "\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
static const char NO_END_TEXT[] = "end:\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
static const char SCRIPT_TOO_LONG_TEXT[] =
    "\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x83\x54\x83\x43\x83\x59\x83\x49\x81\x5b\x83\x6f\x81\x5b";

// What does not fit a table or a buffer is dropped, and said once per script.
enum ScriptExcess : int32_t {
    EXCESS_STEPS,
    EXCESS_PICTURES,
    EXCESS_BACKGROUNDS,
    EXCESS_MESHES,
    EXCESS_MESSAGE_LINES,
    EXCESS_MESSAGE_BYTES,
    EXCESS_LINE_BYTES,
    EXCESS_NAME_BYTES,
    EXCESS_KINDS,
};
static const char* const EXCESS_TEXTS[EXCESS_KINDS] = {
    // "コマンド数オーバー"
    "\x83\x52\x83\x7d\x83\x93\x83\x68\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "画像登録数オーバー"
    "\x89\xe6\x91\x9c\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "背景登録数オーバー"
    "\x94\x77\x8c\x69\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "背景モデル登録数オーバー"
    "\x94\x77\x8c\x69\x83\x82\x83\x66\x83\x8b\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "メッセージ行数オーバー"
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x8d\x73\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "メッセージ文字数オーバー"
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x95\xb6\x8e\x9a\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "行の文字数オーバー"
    "\x8d\x73\x82\xcc\x95\xb6\x8e\x9a\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
    // "ファイル名文字数オーバー"
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x95\xb6\x8e\x9a\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b",
};

// The byte a Shift-JIS name holds as the second half of a full-width space
// (and of many other characters: the test is as blunt as the message says).
constexpr char WIDE_SPACE_TRAIL = 0x40;
// Room for a number's digits; a longer numeral is cut there.
constexpr int32_t REAL_DIGITS_MAX = 64;

// The script's bytes while it compiles, with a NUL behind them: a fixed
// buffer, so starting an event allocates nothing.
static char sScriptBytes[EVENT_SCRIPT_BYTES + 1];

// One script line without its line end, NUL-terminated, so every scan of a
// field stops at the line's end.
struct ScriptLine {
    char bytes[EVENT_SCRIPT_LINE_MAX + 1];
    int32_t length;
    int32_t number;   // from 1, counting every line of the file
    bool cut;         // longer than EVENT_SCRIPT_LINE_MAX bytes
};

struct ScriptCursor {
    const char* next;
    const char* end;
    int32_t number;
};

struct Compilation {
    const char* name;
    ScriptLine line;
    bool excessShown[EXCESS_KINDS];
    bool ended;   // an end step was stored
};

// Bytes of whole characters among the first `available` bytes, at most max.
static int32_t wholeCharacters(const char* from, int32_t available, int32_t max) {
    if (available > max) available = max;
    int32_t n = 0;
    while (n < available) {
        int32_t step = isSjisLeadByte(from[n]) ? 2 : 1;
        if (n + step > available) break;
        n += step;
    }
    return n;
}

// Takes the next line; CR, LF, CR LF and LF CR each end one line. False at
// the end of the text.
static bool nextScriptLine(ScriptCursor& cursor, ScriptLine& line) {
    if (cursor.next >= cursor.end) return false;
    const char* start = cursor.next;
    const char* p = start;
    while (p < cursor.end && *p != '\r' && *p != '\n') p++;
    int32_t length = static_cast<int32_t>(p - start);
    if (p < cursor.end) {
        char first = *p++;
        if (p < cursor.end && (*p == '\r' || *p == '\n') && *p != first) p++;
    }
    cursor.next = p;
    line.number = ++cursor.number;
    line.length = wholeCharacters(start, length, EVENT_SCRIPT_LINE_MAX);
    line.cut = line.length < length;
    memcpy(line.bytes, start, static_cast<size_t>(line.length));
    line.bytes[line.length] = 0;
    return true;
}

// Empty lines, comments and indented notes.
static bool isSkippedLine(const ScriptLine& line) {
    return line.length == 0 || line.bytes[0] == '\t' || line.bytes[0] == '/';
}

static void lineBox(const ScriptLine& line, const char* what) {
    char caption[128];
    snprintf(caption, sizeof caption, LINE_CAPTION_FORMAT, line.number, what);
    showMessageBox(line.bytes, caption, MESSAGE_BOX_OK);
}

static void excessBox(Compilation& c, ScriptExcess kind) {
    if (c.excessShown[kind]) return;
    c.excessShown[kind] = true;
    lineBox(c.line, EXCESS_TEXTS[kind]);
}

// ---- fields of a line ----

static const char* lineEnd(const ScriptLine& line) { return line.bytes + line.length; }

// The byte at that offset, or the line's end when the line is shorter.
static const char* fieldAt(const ScriptLine& line, int32_t offset) {
    return line.bytes + (offset < line.length ? offset : line.length);
}

// Just past the first ':' or ',' at or after from; null when the line has
// none (the field after it is missing).
static const char* afterSeparator(const ScriptLine& line, const char* from) {
    if (!from) return nullptr;
    for (const char* p = from; p < lineEnd(line); p++) {
        if (*p == ':' || *p == ',') return p + 1;
    }
    return nullptr;
}

// A missing field, or one without digits, reads 0.
static int32_t intField(const ScriptLine& line, const char* from) {
    return from ? parseTextInt(from, lineEnd(line)) : 0;
}

// count integers: the first at from, each next one after the next separator.
static void intFields(const ScriptLine& line, const char* from, int32_t* values, int32_t count) {
    for (int32_t i = 0; i < count; i++) {
        if (i > 0) from = afterSeparator(line, from);
        values[i] = intField(line, from);
    }
}

// A one-digit field; anything else reads 0.
static int32_t digitField(const ScriptLine& line, int32_t offset) {
    char c = *fieldAt(line, offset);
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// A decimal real (sign, digits, fraction, exponent) times 1000, truncated
// toward zero; no digits read 0.
static int32_t thousandthsField(const ScriptLine& line, int32_t offset) {
    const char* p = fieldAt(line, offset);
    while (*p == ' ' || *p == '\t') p++;
    char numeral[REAL_DIGITS_MAX + 1];
    int32_t n = 0;
    auto take = [&](bool ok) {
        if (!ok || n >= REAL_DIGITS_MAX) return false;
        numeral[n++] = *p++;
        return true;
    };
    take(*p == '+' || *p == '-');
    bool digits = false;
    while (take(*p >= '0' && *p <= '9')) digits = true;
    if (take(*p == '.')) {
        while (take(*p >= '0' && *p <= '9')) digits = true;
    }
    if (digits && (*p == 'e' || *p == 'E')) {
        const char* mark = p;
        int32_t markLength = n;
        take(true);
        take(*p == '+' || *p == '-');
        bool exponent = false;
        while (take(*p >= '0' && *p <= '9')) exponent = true;
        if (!exponent) {
            p = mark;
            n = markLength;
        }
    }
    numeral[n] = 0;
    if (!digits) return 0;
    double value = strtod(numeral, nullptr) * 1000.0;
    if (!(value < 2147483647.0)) return value != value ? 0 : INT32_MAX;
    if (!(value > -2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Four 0-255 values packed high to low, wrapping as 32-bit arithmetic does.
static int32_t packColor(int32_t top, int32_t high, int32_t middle, int32_t low) {
    uint32_t v = static_cast<uint32_t>(top) * 16777216u + static_cast<uint32_t>(high) * 65536u +
                 static_cast<uint32_t>(middle) * 256u + static_cast<uint32_t>(low);
    return static_cast<int32_t>(v);
}

static int32_t plusOne(int32_t v) { return v < INT32_MAX ? v + 1 : v; }

// ---- steps and registrations ----

static bool roomForSteps(Compilation& c, int32_t count) {
    if (gEventScriptCounts.steps + count <= EVENT_COMMAND_MAX) return true;
    excessBox(c, EXCESS_STEPS);
    return false;
}

static void storeStep(EventCommandHandler handler, int32_t a, int32_t b) {
    gEventCommands[gEventScriptCounts.steps++] = {handler, a, b};
}

static void compileStep(Compilation& c, EventCommandHandler handler, int32_t a, int32_t b) {
    if (roomForSteps(c, 1)) storeStep(handler, a, b);
}

// The rest of the line from offset as a file name; false (after the box)
// when it does not fit a name entry.
static bool copyName(Compilation& c, int32_t offset, char* dest) {
    const char* from = fieldAt(c.line, offset);
    size_t length = static_cast<size_t>(lineEnd(c.line) - from);
    if (length >= static_cast<size_t>(EVENT_NAME_BYTES)) {
        excessBox(c, EXCESS_NAME_BYTES);
        return false;
    }
    memcpy(dest, from, length);
    dest[length] = 0;
    return true;
}

static void compileSound(Compilation& c) {
    EventScriptCounts& n = gEventScriptCounts;
    // The box comes with the clip that fills the table and with every clip
    // after it; those later clips are dropped.
    if (n.sounds >= EVENT_SOUND_MAX) {
        showMessageBox(SOUNDS_FULL_TEXT, SOUNDS_FULL_CAPTION, MESSAGE_BOX_OK);
        return;
    }
    if (!roomForSteps(c, 1)) return;
    if (!copyName(c, 3, gEventResources.soundNames[n.sounds])) return;
    storeStep(eventCmdSe, n.sounds, 0);
    if (++n.sounds == EVENT_SOUND_MAX) showMessageBox(SOUNDS_FULL_TEXT, SOUNDS_FULL_CAPTION, MESSAGE_BOX_OK);
}

// Every bgset: line adds a background, also for a name already used.
static void compileBackground(Compilation& c) {
    EventScriptCounts& n = gEventScriptCounts;
    if (n.backgrounds >= EVENT_BACKGROUND_MAX) {
        excessBox(c, EXCESS_BACKGROUNDS);
        return;
    }
    if (!roomForSteps(c, 1) || !copyName(c, 6, gEventResources.backgrounds[n.backgrounds].name)) return;
    storeStep(eventCmdBgSet, n.backgrounds, 0);
    n.backgrounds++;
}

static void compileMesh(Compilation& c) {
    EventScriptCounts& n = gEventScriptCounts;
    if (n.meshes >= EVENT_MESH_MAX) {
        excessBox(c, EXCESS_MESHES);
        return;
    }
    if (copyName(c, 7, gEventResources.meshes[n.meshes].name)) n.meshes++;
}

// chr:N:grp:name W,H. A name already registered, or the beginning of one,
// gives that picture; a new one is registered at its size. A name without a
// size is reported and registers nothing.
static void compilePicture(Compilation& c, int32_t sprite) {
    const char* name = fieldAt(c.line, 10);
    const char* space = static_cast<const char*>(memchr(name, ' ', static_cast<size_t>(lineEnd(c.line) - name)));
    if (!space) {
        lineBox(c.line, PICTURE_NO_SIZE_TEXT);
        return;
    }
    size_t length = static_cast<size_t>(space - name);
    if (memchr(name, WIDE_SPACE_TRAIL, length)) lineBox(c.line, PICTURE_WIDE_SPACE_TEXT);
    if (length == 0) {   // no name: picture 0, as for any missing field
        compileStep(c, eventCmdChrImage, sprite, 0);
        return;
    }
    EventScriptCounts& n = gEventScriptCounts;
    for (int32_t i = 0; i < n.pictures; i++) {
        if (strncmp(gEventResources.pictures[i].name, name, length) == 0) {
            compileStep(c, eventCmdChrImage, sprite, i);
            return;
        }
    }
    if (n.pictures >= EVENT_PICTURE_MAX) {
        excessBox(c, EXCESS_PICTURES);
        return;
    }
    if (length >= static_cast<size_t>(EVENT_NAME_BYTES)) {
        lineBox(c.line, PICTURE_ERROR_TEXT);
        return;
    }
    if (!roomForSteps(c, 1)) return;
    if (memchr(name, WIDE_SPACE_TRAIL, length)) lineBox(c.line, PICTURE_WIDE_SPACE_TEXT);
    EventPicture& picture = gEventResources.pictures[n.pictures];
    memcpy(picture.name, name, length);
    picture.name[length] = 0;
    int32_t size[2];
    intFields(c.line, space + 1, size, 2);
    picture.width = size[0];
    picture.height = size[1];
    storeStep(eventCmdChrImage, sprite, n.pictures++);
}

static bool subCommandIs(const ScriptLine& line, const char* word) {
    return strncmp(fieldAt(line, 6), word, strlen(word)) == 0;
}

// chr:N:sub-command; a sub-command none matches compiles nothing.
static void compileSprite(Compilation& c) {
    const ScriptLine& line = c.line;
    int32_t sprite = digitField(line, 4);
    int32_t v[4];
    if (subCommandIs(line, "dir:")) {
        compileStep(c, eventCmdChrDir, sprite, strncmp(fieldAt(line, 10), "left", 4) == 0 ? 0 : 1);
    } else if (subCommandIs(line, "move:") || subCommandIs(line, "moveto:")) {
        bool to = subCommandIs(line, "moveto:");
        intFields(line, fieldAt(line, to ? 13 : 11), v, 2);
        if (!roomForSteps(c, 2)) return;
        storeStep(to ? eventCmdChrMoveToX : eventCmdChrMoveX, sprite, v[0]);
        storeStep(to ? eventCmdChrMoveToY : eventCmdChrMoveY, sprite, v[1]);
    } else if (subCommandIs(line, "center:")) {
        compileStep(c, eventCmdChrCenter, sprite, intField(line, fieldAt(line, 13)));
    } else if (subCommandIs(line, "speed:")) {
        compileStep(c, eventCmdChrSpeed, sprite, thousandthsField(line, 12));
    } else if (subCommandIs(line, "anim:")) {
        compileStep(c, eventCmdChrImage, sprite, intField(line, fieldAt(line, 11)));
    } else if (subCommandIs(line, "fadeframe:")) {
        compileStep(c, eventCmdChrFadeFrame, sprite, intField(line, fieldAt(line, 16)));
    } else if (subCommandIs(line, "normal_shade")) {
        compileStep(c, eventCmdChrBlend, sprite, 0);
    } else if (subCommandIs(line, "normal_add")) {
        compileStep(c, eventCmdChrBlend, sprite, 1);
    } else if (subCommandIs(line, "add_shade")) {
        compileStep(c, eventCmdChrBlend, sprite, 2);
    } else if (subCommandIs(line, "add_add")) {
        compileStep(c, eventCmdChrBlend, sprite, 3);
    } else if (subCommandIs(line, "col:") || subCommandIs(line, "colto:")) {
        // Given blue, green, red, alpha; packed with blue as the third byte.
        bool to = subCommandIs(line, "colto:");
        intFields(line, fieldAt(line, to ? 12 : 10), v, 4);
        compileStep(c, to ? eventCmdChrColTo : eventCmdChrCol, sprite, packColor(v[3], v[0], v[1], v[2]));
    } else if (subCommandIs(line, "grp:")) {
        compilePicture(c, sprite);
    } else if (subCommandIs(line, "disp")) {
        compileStep(c, eventCmdChrDisp, sprite, 1);
    }
}

// Appends one character (one or two bytes) to message line `row`; a
// character that does not fit the line is dropped.
static void appendMessageBytes(Compilation& c, int32_t row, int32_t& column, const char* from, int32_t bytes) {
    if (row >= EVENT_MESSAGE_LINE_MAX) return;   // reported with the line count
    if (column + bytes > EVENT_MESSAGE_LINE_BYTES - 1) {
        excessBox(c, EXCESS_MESSAGE_BYTES);
        return;
    }
    memcpy(&gEventMessageLines[row][column], from, static_cast<size_t>(bytes));
    column += bytes;
    gEventMessageLines[row][column] = 0;
}

// msg:S,P:text. The text fills message lines from the next free one, a new
// line at each "<BR>"; "<KEY>", "<W>" and "<C>" add their steps after the
// speaker and show steps, in that order, wherever they stood.
static void compileMessage(Compilation& c) {
    const ScriptLine& line = c.line;
    EventScriptCounts& n = gEventScriptCounts;
    int32_t speaker = digitField(line, 4);
    // The plate picks a cell of the name sheet: a number past the sheet
    // would read outside it and overflow the cell's arithmetic.
    int32_t plate = intField(line, fieldAt(line, 6));
    if (plate < 0) plate = 0;
    if (plate >= EVENT_NAME_PLATE_COUNT) plate = EVENT_NAME_PLATE_COUNT - 1;
    const char* p = afterSeparator(line, fieldAt(line, 6));
    if (!p) p = lineEnd(line);
    const char* end = lineEnd(line);
    int32_t first = n.messageLines;
    int32_t row = first;
    int32_t column = 0;
    bool key = false, wait = false, close = false;
    if (row < EVENT_MESSAGE_LINE_MAX) gEventMessageLines[row][0] = 0;
    while (p < end) {
        if (p[0] == '<') {
            if (end - p >= 4 && memcmp(p, "<BR>", 4) == 0) {
                p += 4;
                row++;
                column = 0;
                if (row < EVENT_MESSAGE_LINE_MAX) gEventMessageLines[row][0] = 0;
                if (p == end) break;
                // falls through: the byte right after a break is text, never a tag
            } else if (end - p >= 5 && memcmp(p, "<KEY>", 5) == 0) {
                p += 5;
                key = true;
                continue;
            } else if (p + 1 < end && (p[1] == 'W' || p[1] == 'C')) {
                (p[1] == 'W' ? wait : close) = true;
                p += end - p < 3 ? end - p : 3;
                continue;
            }
        }
        int32_t bytes = isSjisLeadByte(*p) && p + 1 < end ? 2 : 1;
        appendMessageBytes(c, row, column, p, bytes);
        p += bytes;
    }
    int32_t used = row - first + 1;
    int32_t kept = used;
    if (first + kept > EVENT_MESSAGE_LINE_MAX) {
        kept = EVENT_MESSAGE_LINE_MAX - first;
        excessBox(c, EXCESS_MESSAGE_LINES);
    }
    int32_t steps = 2 + (key ? 1 : 0) + (close ? 1 : 0) + (wait ? 1 : 0);
    if (kept <= 0 || !roomForSteps(c, steps)) {
        for (int32_t r = first; r < first + kept; r++) gEventMessageLines[r][0] = 0;
        return;
    }
    storeStep(eventCmdSpeaker, speaker, plate);
    storeStep(eventCmdShowMessage, first, kept);
    if (key) storeStep(eventCmdWaitKey, 0, 0);
    if (close) storeStep(eventCmdCloseWindow, 0, 0);
    if (wait) storeStep(eventCmdWait, 10, 0);
    n.messageLines = first + kept;
}

static bool keywordIs(const ScriptLine& line, const char* keyword) {
    return strncmp(line.bytes, keyword, strlen(keyword)) == 0;
}

// One line of pass 2; false when no keyword matched it.
static bool compileLine(Compilation& c) {
    const ScriptLine& line = c.line;
    int32_t v[5];
    if (keywordIs(line, "color")) {
        v[0] = intField(line, fieldAt(line, 5));
        intFields(line, afterSeparator(line, fieldAt(line, 6)), v + 1, 3);
        compileStep(c, eventCmdColor, v[0], packColor(0, v[1], v[2], v[3]));
    } else if (keywordIs(line, "bgset:")) {
        compileBackground(c);
    } else if (keywordIs(line, "polybg:")) {
        compileMesh(c);
    } else if (keywordIs(line, "rmb:")) {
        intFields(line, fieldAt(line, 4), v, 2);
        compileStep(c, eventCmdRumble, plusOne(v[0]), plusOne(v[1]));
    } else if (keywordIs(line, "bgscroll:")) {
        compileStep(c, eventCmdBgScroll, thousandthsField(line, 9), 0);
    } else if (keywordIs(line, "windowset:")) {
        compileStep(c, eventCmdWindowSet, 0, 0);
    } else if (keywordIs(line, "skipoff:")) {
        compileStep(c, eventCmdSkip, 1, 0);
    } else if (keywordIs(line, "skipon:")) {
        compileStep(c, eventCmdSkip, 0, 0);
    } else if (keywordIs(line, "windowpos:")) {
        intFields(line, fieldAt(line, 10), v, 2);
        compileStep(c, eventCmdWindowPos, v[0], v[1]);
    } else if (keywordIs(line, "fadeoutb:") || keywordIs(line, "fadeinb:")) {
        // accepted; nothing to do
    } else if (keywordIs(line, "fadein:") || keywordIs(line, "fadeout:")) {
        // T:R,G,B,A with the colour stored as alpha, red, green, blue.
        bool in = keywordIs(line, "fadein:");
        const char* from = fieldAt(line, in ? 7 : 8);
        v[0] = intField(line, from);
        intFields(line, afterSeparator(line, from), v + 1, 4);
        compileStep(c, in ? eventCmdFadeIn : eventCmdFadeOut, packColor(v[4], v[1], v[2], v[3]), v[0]);
    } else if (keywordIs(line, "lightoff:")) {
        compileStep(c, eventCmdLightOff, 0, 0);
    } else if (keywordIs(line, "lighton:")) {
        intFields(line, fieldAt(line, 8), v, 2);
        compileStep(c, eventCmdLightOn, v[0], v[1]);
    } else if (keywordIs(line, "end:")) {
        if (roomForSteps(c, 1)) {
            storeStep(eventCmdEnd, 0, 0);
            c.ended = true;
        }
    } else if (keywordIs(line, "wait:")) {
        compileStep(c, eventCmdWait, intField(line, fieldAt(line, 5)), 0);
    } else if (keywordIs(line, "music:")) {
        compileStep(c, eventCmdMusic, intField(line, fieldAt(line, 6)), 0);
    } else if (keywordIs(line, "holdmusic")) {
        compileStep(c, eventCmdHoldMusic, 0, 0);
    } else if (keywordIs(line, "mfadein:")) {
        compileStep(c, eventCmdMusicFadeIn, intField(line, fieldAt(line, 8)), 0);
    } else if (keywordIs(line, "mfadeout:")) {
        compileStep(c, eventCmdMusicFadeOut, intField(line, fieldAt(line, 9)), 0);
    } else if (keywordIs(line, "se:")) {
        compileSound(c);
    } else if (keywordIs(line, "chr:")) {
        compileSprite(c);
    } else if (keywordIs(line, "msg:")) {
        compileMessage(c);
    } else {
        return false;
    }
    return true;
}

void resetEventScript() {
    memset(gEventCommands, 0, sizeof gEventCommands);
    for (char* name : gEventResources.soundNames) name[0] = 0;
    for (EventPicture& picture : gEventResources.pictures) {
        picture.name[0] = 0;
        picture.width = 0;
        picture.height = 0;
    }
    for (EventBackground& background : gEventResources.backgrounds) background.name[0] = 0;
    for (EventMesh& mesh : gEventResources.meshes) mesh.name[0] = 0;
    memset(gEventMessageLines, 0, sizeof gEventMessageLines);
    gEventScriptCounts = EventScriptCounts{};
}

// A script that cannot run ends its event at once.
static void compileLoneEnd(const char* name, const char* text) {
    showMessageBox(text, name, MESSAGE_BOX_OK);
    resetEventScript();
    storeStep(eventCmdEnd, 0, 0);
}

void compileEventScriptText(const char* text, int32_t length, const char* name) {
    resetEventScript();
    if (!text || length < 0) length = 0;
    const void* nul = length > 0 ? memchr(text, 0, static_cast<size_t>(length)) : nullptr;
    if (nul) length = static_cast<int32_t>(static_cast<const char*>(nul) - text);
    if (length == 0) {
        compileLoneEnd(name, NO_SCRIPT_TEXT);
        return;
    }
    Compilation c = {};
    c.name = name;
    // Pass 1: every ';' of a line is reported; nothing is compiled.
    ScriptCursor cursor = {text, text + length, 0};
    while (nextScriptLine(cursor, c.line)) {
        if (isSkippedLine(c.line)) continue;
        for (int32_t i = 0; i < c.line.length; i++) {
            if (c.line.bytes[i] == ';') lineBox(c.line, SEMICOLON_TEXT);
        }
    }
    // Pass 2: the keywords.
    cursor = {text, text + length, 0};
    while (nextScriptLine(cursor, c.line)) {
        if (isSkippedLine(c.line)) continue;
        if (c.line.cut) excessBox(c, EXCESS_LINE_BYTES);
        if (!compileLine(c)) lineBox(c.line, UNKNOWN_COMMAND_TEXT);
    }
    if (!c.ended) compileLoneEnd(name, NO_END_TEXT);
}

// The script's bytes into sScriptBytes: a loose file first, else the
// archive. -1 when neither holds it.
static int32_t readEventScript(const char* path) {
    int32_t size;
    if (FILE* file = openLooseFile(path)) {
        size = getFileLength(file);
        int32_t want = size < 0 ? 0 : size > EVENT_SCRIPT_BYTES ? EVENT_SCRIPT_BYTES : size;
        int32_t got = static_cast<int32_t>(fread(sScriptBytes, 1, static_cast<size_t>(want), file));
        fclose(file);
        if (got < want) size = got;
    } else {
        if (getArchiveEntrySize(path) <= 0) return -1;
        size = readArchiveEntry(path, sScriptBytes, EVENT_SCRIPT_BYTES);
    }
    if (size < 0) size = 0;
    if (size > EVENT_SCRIPT_BYTES) {
        showMessageBox(SCRIPT_TOO_LONG_TEXT, path, MESSAGE_BOX_OK);
        size = EVENT_SCRIPT_BYTES;
    }
    sScriptBytes[size] = 0;
    return size;
}

int32_t compileEventScript() {
    char path[64];
    snprintf(path, sizeof path, EVENT_SCRIPT_PATH_FORMAT, gEventNumber.major, gEventNumber.minor);
    int32_t size = readEventScript(path);
    if (size < 0) {
        compileLoneEnd(path, NO_SCRIPT_TEXT);
        return 1;
    }
    compileEventScriptText(sScriptBytes, size, path);
    return 1;
}
