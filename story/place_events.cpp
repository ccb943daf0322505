#include "story/place_events.h"
#include "platform/sjis.h"

#include <cstring>

#include "engine/game_folder.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "engine/text_data.h"

PlaceEventRule gPlaceEventRules[PLACE_EVENT_TABLE_COUNT][PLACE_EVENT_ROW_MAX];

// The section lines' first two characters, Shift-JIS, in table order:
// "広場" plaza, "市場" market, "教会" church, "酒場" tavern.
static const char* const SECTION_NAMES[PLACE_EVENT_TABLE_COUNT] = {
    "\x8d\x4c\x8f\xea", "\x8e\x73\x8f\xea", "\x8b\xb3\x89\xef", "\x8e\xf0\x8f\xea"};
// The phase words, Shift-JIS: "朝" morning, "昼" noon, "夕" evening, "夜" night.
static const char* const PHASE_WORDS[4] = {"\x92\xa9", "\x92\x8b", "\x97\x5b", "\x96\xe9"};

constexpr int32_t FLAG_FIELDS_READ_MAX = 50;    // characters of the four flag fields together
constexpr int32_t PHASE_FIELD_READ_MAX = 40;    // characters or words of the phase field
constexpr int32_t NUMBER_MAX = 100000000;       // larger numbers are held here
constexpr int32_t BUILT_IN_MONEY = 100000;
constexpr int32_t PLACE_EVENT_SCORE = 100;

static PlaceEventRule emptyRule() {
    PlaceEventRule rule{};
    rule.major = -1;
    rule.minor = -1;
    rule.ownFlag = -1;
    for (int32_t& flag : rule.requiredFlags) flag = -1;
    for (PlaceEventWindow& w : rule.windows) w = PlaceEventWindow{-1, -1};
    return rule;
}

// The plaza's first rule: event 11_1 once per game, mornings and noons of
// days 1 to 40, for a shop that has saved 100,000 gold.
static PlaceEventRule builtInPlazaRule() {
    PlaceEventRule rule = emptyRule();
    rule.major = 11;
    rule.minor = 1;
    rule.ownFlag = 0xa3;
    rule.phaseMin = 0;
    rule.phaseMax = 1;
    rule.windows[0] = PlaceEventWindow{1, 40};
    rule.minLoop = 0;
    rule.minMoney = BUILT_IN_MONEY;
    return rule;
}

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from p on, held at NUMBER_MAX; p moves past them. false when none.
static bool readDecimal(const char*& p, const char* end, int32_t& value) {
    if (p >= end || !isDigit(*p)) return false;
    int32_t v = 0;
    for (; p < end && isDigit(*p); ++p) v = v >= NUMBER_MAX / 10 ? NUMBER_MAX : v * 10 + (*p - '0');
    value = v;
    return true;
}

static const char* findChar(const char* from, const char* end, char c) {
    if (from >= end) return nullptr;
    return static_cast<const char*>(memchr(from, c, static_cast<size_t>(end - from)));
}

// The four flag fields, each ended by ':': lower-case hexadecimal, '-' for
// none, other characters ignored, an empty field flag 0. At most
// FLAG_FIELDS_READ_MAX characters are looked at; false when the fields do
// not end within them.
static bool readFlagFields(const char*& p, const char* end, PlaceEventRule& rule) {
    int32_t values[4] = {0, 0, 0, 0};
    int32_t field = 0;
    bool none = false;
    int32_t read = 0;
    while (field < 4) {
        if (p >= end || read >= FLAG_FIELDS_READ_MAX) return false;
        char c = *p++;
        ++read;
        if (c == ':') {
            if (none) values[field] = -1;
            ++field;
            none = false;
        } else if (c == '-') {
            none = true;
        } else if (isDigit(c) || (c >= 'a' && c <= 'f')) {
            int32_t digit = isDigit(c) ? c - '0' : c - 'a' + 10;
            int32_t& v = values[field];
            v = v >= NUMBER_MAX / 16 ? NUMBER_MAX : v * 16 + digit;
        }
    }
    rule.ownFlag = values[0];
    for (int32_t i = 0; i < 3; ++i) rule.requiredFlags[i] = values[i + 1];
    return true;
}

// The phase words up to ':'. The first word written is the first phase, the
// highest written the last; no word at all is the morning only.
static bool readPhaseField(const char*& p, const char* end, PlaceEventRule& rule) {
    int32_t first = -1, last = 0;
    for (int32_t read = 0;; ++read) {
        if (p >= end || read >= PHASE_FIELD_READ_MAX) return false;
        if (*p == ':') {
            ++p;
            break;
        }
        if (isSjisLeadByte(*p) && p + 1 < end) {
            for (int32_t phase = 0; phase < 4; ++phase) {
                if (p[0] != PHASE_WORDS[phase][0] || p[1] != PHASE_WORDS[phase][1]) continue;
                if (first < 0) first = phase;
                if (phase > last) last = phase;
            }
            p += 2;
        } else {
            ++p;
        }
    }
    rule.phaseMin = first < 0 ? 0 : first;
    rule.phaseMax = first < 0 ? 0 : last;
    return true;
}

// "start-end" pairs separated by ',' up to ':'. A pair cut short by the line's
// end, or written without its '-', stays unusable, and so do the pairs after
// a cut.
static void readWindows(const char* p, const char* end, PlaceEventRule& rule) {
    for (int32_t w = 0; w < PLACE_EVENT_WINDOW_MAX; ++w) {
        if (p >= end || *p == ':') return;
        int32_t start = 0, last = 0;
        bool whole = readDecimal(p, end, start) && p < end && *p == '-' && readDecimal(++p, end, last);
        if (whole && p < end && (*p == ',' || *p == ':')) rule.windows[w] = PlaceEventWindow{start, last};
        const char* next = p;
        while (next < end && *next != ',' && *next != ':') ++next;
        if (next >= end) return;
        p = *next == ',' ? next + 1 : next;
    }
}

// One rule line: "major-minor:own:req:req:req:phases:loop:windows:".
// false when the line is no rule.
static bool parseRuleLine(const TextLine& line, PlaceEventRule& rule) {
    rule = emptyRule();
    const char* p = line.start;
    const char* end = line.end;
    int32_t major = 0, minor = 0;
    if (!readDecimal(p, end, major)) return false;
    const char* dash = findChar(p, end, '-');
    if (!dash) return false;
    p = dash + 1;
    readDecimal(p, end, minor);
    const char* colon = findChar(p, end, ':');
    if (!colon) {
        writeDebugLog("loop err 3\n");
        return false;
    }
    p = colon + 1;
    if (!readFlagFields(p, end, rule)) {
        writeDebugLog("loop err 3\n");
        return false;
    }
    if (!readPhaseField(p, end, rule)) {
        writeDebugLog("loop err 4\n");
        return false;
    }
    readDecimal(p, end, rule.minLoop);
    const char* loopEnd = findChar(p, end, ':');
    if (!loopEnd) {
        writeDebugLog("loop err 5\n");
        return false;
    }
    readWindows(loopEnd + 1, end, rule);
    rule.major = major;
    rule.minor = minor;
    rule.minMoney = 0;
    return true;
}

static int32_t sectionOf(const TextLine& line) {
    if (line.end - line.start < 4) return -1;
    for (int32_t t = 0; t < PLACE_EVENT_TABLE_COUNT; ++t)
        if (memcmp(line.start, SECTION_NAMES[t], 4) == 0) return t;
    return -1;
}

void parsePlaceEventRules(const char* text, int32_t length) {
    for (auto& table : gPlaceEventRules)
        for (PlaceEventRule& rule : table) rule = emptyRule();
    int32_t counts[PLACE_EVENT_TABLE_COUNT] = {1, 0, 0, 0};
    gPlaceEventRules[PLACE_TABLE_PLAZA][0] = builtInPlazaRule();
    bool fullLogged = false;
    int32_t table = PLACE_TABLE_PLAZA;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        int32_t section = sectionOf(line);
        if (section >= 0) {
            table = section;
            continue;
        }
        PlaceEventRule rule;
        if (!parseRuleLine(line, rule)) continue;
        // The last row of a table is its end row.
        if (counts[table] >= PLACE_EVENT_ROW_MAX - 1) {
            if (!fullLogged) writeDebugLog("event.txt: a place's table is full; further rules are dropped\n");
            fullLogged = true;
            continue;
        }
        gPlaceEventRules[table][counts[table]++] = rule;
    }
}

void loadPlaceEventRules() {
    TextEntry entry = readTextEntry("data/event.txt");
    parsePlaceEventRules(entry.bytes.get(), entry.length);
}

int32_t placeEventTableOf(int32_t place) {
    switch (place) {
    case 1: return PLACE_TABLE_MARKET;
    case 2: return PLACE_TABLE_PLAZA;
    case 4: return PLACE_TABLE_TAVERN;
    case 5: return PLACE_TABLE_CHURCH;
    default: return -1;
    }
}

static bool validFlag(int32_t flag) { return flag >= 0 && flag < STORY_FLAG_COUNT; }

// A flag number past the story flags is never set and cannot be recorded,
// so a rule that needs one, or would record its firing in one, never fires.
static bool ruleHolds(const PlaceEventRule& rule, const GameState& game) {
    if (game.loopCount < rule.minLoop || game.money < rule.minMoney) return false;
    if (rule.ownFlag != -1 && (!validFlag(rule.ownFlag) || game.storyFlags[rule.ownFlag])) return false;
    for (int32_t flag : rule.requiredFlags)
        if (flag != -1 && (!validFlag(flag) || !game.storyFlags[flag])) return false;
    if (game.dayPhase < rule.phaseMin || game.dayPhase > rule.phaseMax) return false;
    for (const PlaceEventWindow& w : rule.windows) {
        if (w.start == -1) continue;
        if (game.date >= w.start - 1 && (game.date <= w.end - 1 || w.end == PLACE_EVENT_OPEN_END)) return true;
    }
    return false;
}

int32_t findPlaceEvent(int32_t place, int32_t* major, int32_t* minor, int32_t commit) {
    int32_t table = placeEventTableOf(place);
    if (table < 0) return 0;
    GameState& game = runningGameState();
    if (game.playMode == PLAY_MODE_SURVIVAL || game.storyFlags[FLAG_PLACE_DONE_FIRST + table]) return 0;
    for (const PlaceEventRule& rule : gPlaceEventRules[table]) {
        if (rule.major == -1) break;
        if (!ruleHolds(rule, game)) continue;
        if (commit) {
            game.storyFlags[FLAG_PLACE_DONE_FIRST + table] = 1;
            if (rule.ownFlag != -1) game.storyFlags[rule.ownFlag] = 1;
            game.dayScore += PLACE_EVENT_SCORE;
        }
        if (major) *major = rule.major;
        if (minor) *minor = rule.minor;
        return 1;
    }
    return 0;
}

void clearPlaceEventFlags() {
    GameState& game = runningGameState();
    for (int32_t t = 0; t < PLACE_EVENT_TABLE_COUNT; ++t) game.storyFlags[FLAG_PLACE_DONE_FIRST + t] = 0;
}
