// field/effect_banks.cpp: loading, naming and saving the effect banks, and
// their two text dumps.
#include "field/effect_banks.h"

#include <cstdio>
#include <cstring>

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "field/field.h"
#include "field/field_state.h"
#include "platform/window.h"

EffectBanks gEffectBanks;
EffectEditorState gEffectEditor;

// The dumps' heading and keys, Shift-JIS.
// /エフェクトの登録
static const char DUMP_HEADING[] = "/\x83G\x83t\x83\x46\x83N\x83g\x82\xcc\x93o\x98^";
static const char KEY_NAME[] = "\x96\xbc\x8f\xcc:";                                              // 名称:
static const char KEY_IMAGE[] = "\x89\xe6\x91\x9c\x94\xd4\x8d\x86:";                             // 画像番号:
static const char KEY_COUNT[] = "\x94\xad\x90\xb6\x90\x94:";                                     // 発生数:
static const char KEY_TYPE[] = "\x83^\x83\x43\x83v:";                                            // タイプ:
static const char KEY_OVERALL_SCALE[] = "\x91S\x91\xcc\x83X\x83P\x81[\x83\x8b:";                 // 全体スケール:
static const char KEY_INITIAL_SPEED[] = "\x8f\x89\x91\xac\x93x:";                                // 初速度:
static const char KEY_ACCELERATION[] = "\x89\xc1\x91\xac\x93x:";                                 // 加速度:
static const char KEY_GRAVITY[] = "\x8f\x64\x97\xcd:";                                           // 重力:
static const char KEY_APPEAR_TIME[] = "\x8fo\x8c\xbb\x8e\x9e\x8a\xd4:";                          // 出現時間:
static const char KEY_VANISH_TIME[] = "\x8f\xc1\x96\xc5\x8e\x9e\x8a\xd4:";                       // 消滅時間:
static const char KEY_VANISH_SPREAD[] = "\x8f\xc1\x96\xc5\x8e\x9e\x8a\xd4\x91\x9d\x8c\xb8:";     // 消滅時間増減:
static const char KEY_INITIAL_SIZE[] = "\x8f\x89\x8a\xfa\x83X\x83P\x81[\x83\x8b:";               // 初期スケール:
static const char KEY_SIZE_GROWTH[] = "\x89\xc1\x91\xac\x83X\x83P\x81[\x83\x8b:";                // 加速スケール:
static const char KEY_SPEED_XY[] = "\x8f\x89\x91\xac\x82w\x82x\x94\xe4\x97\xa6:";                // 初速ＸＹ比率:
static const char KEY_SPEED_Y_BIAS[] = "\x8f\x89\x91\xac\x82x\x81}\x94\xe4\x97\xa6:";            // 初速Ｙ±比率:
static const char KEY_PARTICLE_XY[] = "\x97\xb1\x82w\x82x\x94\xe4\x97\xa6:";                     // 粒ＸＹ比率:
static const char KEY_ALPHA_RISE[] = "\x83\xbf\x91\x9d\x89\xc1\x8e\x9e\x8a\xd4:";                // α増加時間:
static const char KEY_ALPHA_FALL[] = "\x83\xbf\x8c\xb8\x90\x8a\x8e\x9e\x8a\xd4:";                // α減衰時間:
static const char KEY_APPEAR_MODE[] = "\x8fo\x8c\xbb\x8f\xc1\x96\xc5\x8f\x88\x97\x9d:";          // 出現消滅処理:
static const char KEY_DRAW_METHOD[] = "\x95`\x89\xe6\x95\xfb\x96@:";                             // 描画方法:
static const char KEY_SLOT_EFFECT[] = "\x83G\x83t\x83\x46\x83N\x83g\x94\xd4\x8d\x86:";           // エフェクト番号:
static const char KEY_SLOT_FRAME[] = "frame:";
static const char KEY_SLOT_COLOUR[] = "col:";
static const char KEY_SLOT_SCALE[] = "scale:";
static const char KEY_SLOT_POSITION[] = "pos:";

void resetEffectEditor() { gEffectEditor = EffectEditorState{}; }

void resetEffectBanks() {
    for (EffectSet& s : gEffectBanks.sets) s = defaultEffectSet();
    for (EffectDefinition& d : gEffectBanks.definitions) d = defaultEffectDefinition();
}

void sanitizeEffectDefinition(EffectDefinition& d) {
    d.name[EFFECT_NAME_SIZE - 1] = 0;
    if (d.image < 0 || d.image >= EFFECT_IMAGE_ROWS) d.image = 0;
    if (d.type < 0 || d.type > EFFECT_TYPE_MAX) d.type = 0;
    if (d.drawMethod < 0 || d.drawMethod > EFFECT_DRAW_METHOD_MAX) d.drawMethod = 0;
    if (d.appearMode < 0 || d.appearMode > EFFECT_APPEAR_MODE_MAX) d.appearMode = 0;
}

void sanitizeEffectSet(EffectSet& s) {
    s.name[EFFECT_NAME_SIZE - 1] = 0;
    for (int32_t& effect : s.effect)
        if (effect < -1 || effect >= EFFECT_COUNT) effect = -1;
}

void applyEffectBankImage(int32_t bank, const uint8_t* bytes, int32_t length) {
    if (bank < 0 || bank >= EFFECT_BANK_COUNT || !bytes || length <= 0) return;
    EffectDefinition* definitions = &gEffectBanks.definitions[bank * EFFECT_BANK_SIZE];
    EffectSet* sets = &gEffectBanks.sets[bank * EFFECT_BANK_SIZE];
    int32_t definitionBytes = length < EFFECT_BANK_DEFINITION_BYTES ? length : EFFECT_BANK_DEFINITION_BYTES;
    memcpy(definitions, bytes, (size_t)definitionBytes);
    int32_t setBytes = length - EFFECT_BANK_DEFINITION_BYTES;
    if (setBytes > EFFECT_BANK_SET_BYTES) setBytes = EFFECT_BANK_SET_BYTES;
    if (setBytes > 0) memcpy(sets, bytes + EFFECT_BANK_DEFINITION_BYTES, (size_t)setBytes);
    for (int32_t i = 0; i < EFFECT_BANK_SIZE; i++) {
        sanitizeEffectDefinition(definitions[i]);
        sanitizeEffectSet(sets[i]);
    }
}

void loadEffectBanks() {
    resetEffectBanks();
    gEffectEditor.bank = 0;
    for (int32_t bank = 0; bank < EFFECT_BANK_COUNT; bank++) {
        char path[32];
        snprintf(path, sizeof path, EFFECT_BANK_PATH_FORMAT, (int)(bank + 1));
        TextEntry file = readLooseOrArchiveEntry(path, EFFECT_BANK_FILE_BYTES);
        applyEffectBankImage(bank, reinterpret_cast<const uint8_t*>(file.bytes.get()), file.length);
    }
    for (int32_t list = 1; list <= EFFECT_BANK_COUNT; list++) {
        char path[32];
        snprintf(path, sizeof path, EFFECT_NAME_LIST_FORMAT, (int)list);
        readEffectNames(path);
    }
    gEffectEditor.clipboardHeld = 0;
}

// The number of a line that begins "nnn:" with nnn 000..399; -1 otherwise.
static int32_t recordNumberOf(const TextLine& line) {
    if (line.end - line.start < 4) return -1;
    const char* p = line.start;
    for (int32_t i = 0; i < 3; i++)
        if (p[i] < '0' || p[i] > '9') return -1;
    if (p[3] != ':') return -1;
    int32_t n = (p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0');
    return n < EFFECT_COUNT ? n : -1;
}

void parseEffectNames(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        int32_t n = recordNumberOf(line);
        if (n >= 0) copyTextBounded(line.start + 4, line.end, gEffectBanks.definitions[n].name, EFFECT_NAME_SIZE - 1);
    }
}

// Name lists and dumps are small text files; anything larger is no such file.
constexpr int32_t EFFECT_TEXT_LIMIT = 4 * 1024 * 1024;

void readEffectNames(const char* path) {
    TextEntry file = readLooseOrArchiveEntry(path, EFFECT_TEXT_LIMIT);
    parseEffectNames(file.bytes.get(), file.length);
}

// Writes through path + ".tmp", flushed and renamed over path; the old file
// stays whole when any step fails.
template <typename Write>
static bool writeReplacing(const char* path, const char* mode, Write write) {
    char temp[300];
    if (snprintf(temp, sizeof temp, "%s.tmp", path) >= (int)sizeof temp) return false;
    FILE* file = fopen(temp, mode);
    if (!file) return false;
    bool ok = write(file);
    ok = fflush(file) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    if (ok && rename(temp, path) == 0) return true;
    remove(temp);
    return false;
}

bool writeDefinitionDump(const char* path, int32_t bank) {
    if (bank < 0 || bank >= EFFECT_BANK_COUNT) return false;
    return writeReplacing(path, "w", [bank](FILE* f) {
        fprintf(f, "%s\n\n", DUMP_HEADING);
        for (int32_t i = 0; i < EFFECT_BANK_SIZE; i++) {
            int32_t n = bank * EFFECT_BANK_SIZE + i;
            const EffectDefinition& d = gEffectBanks.definitions[n];
            fprintf(f, "%03d:\n", (int)n);
            fprintf(f, "%s%.*s\n", KEY_NAME, EFFECT_NAME_SIZE - 1, d.name);
            fprintf(f, "%s%d\n", KEY_IMAGE, (int)d.image);
            fprintf(f, "%s%d\n", KEY_COUNT, (int)d.count);
            fprintf(f, "%s%d\n", KEY_TYPE, (int)d.type);
            fprintf(f, "%s%f\n", KEY_OVERALL_SCALE, (double)d.overallScale);
            fprintf(f, "%s%f\n", KEY_INITIAL_SPEED, (double)d.initialSpeed);
            fprintf(f, "%s%f\n", KEY_ACCELERATION, (double)d.acceleration);
            fprintf(f, "%s%f\n", KEY_GRAVITY, (double)d.gravity);
            fprintf(f, "%s%f\n", KEY_APPEAR_TIME, (double)d.appearTime);
            fprintf(f, "%s%d\n", KEY_VANISH_TIME, (int)d.vanishTime);
            fprintf(f, "%s%d\n", KEY_VANISH_SPREAD, (int)d.vanishSpread);
            fprintf(f, "%s%f\n", KEY_INITIAL_SIZE, (double)d.initialSize);
            fprintf(f, "%s%f\n", KEY_SIZE_GROWTH, (double)d.sizeGrowth);
            fprintf(f, "%s%f\n", KEY_SPEED_XY, (double)d.speedXYRatio);
            fprintf(f, "%s%f\n", KEY_SPEED_Y_BIAS, (double)d.speedYBias);
            fprintf(f, "%s%f\n", KEY_PARTICLE_XY, (double)d.particleXYRatio);
            fprintf(f, "%s%d\n", KEY_ALPHA_RISE, (int)d.alphaRiseTime);
            fprintf(f, "%s%d\n", KEY_ALPHA_FALL, (int)d.alphaFallTime);
            fprintf(f, "%s%d\n", KEY_APPEAR_MODE, (int)d.appearMode);
            fprintf(f, "%s%d\n", KEY_DRAW_METHOD, (int)d.drawMethod);
            fprintf(f, "\n");
        }
        return ferror(f) == 0;
    });
}

bool writeSetDump(const char* path, int32_t bank) {
    if (bank < 0 || bank >= EFFECT_BANK_COUNT) return false;
    return writeReplacing(path, "w", [bank](FILE* f) {
        fprintf(f, "%s\n\n", DUMP_HEADING);
        for (int32_t i = 0; i < EFFECT_BANK_SIZE; i++) {
            int32_t n = bank * EFFECT_BANK_SIZE + i;
            const EffectSet& s = gEffectBanks.sets[n];
            fprintf(f, "%03d:\n", (int)n);
            fprintf(f, "%s%.*s\n", KEY_NAME, EFFECT_NAME_SIZE - 1, s.name);
            for (int32_t k = 0; k < EFFECT_SET_SLOTS; k++) {
                fprintf(f, "%s%d\n", KEY_SLOT_EFFECT, (int)s.effect[k]);
                fprintf(f, "%s%d\n", KEY_SLOT_FRAME, (int)s.startFrame[k]);
                fprintf(f, "%s%d,%d,%d,%d\n", KEY_SLOT_COLOUR, (int)s.colour[k][0], (int)s.colour[k][1],
                        (int)s.colour[k][2], (int)s.colour[k][3]);
                fprintf(f, "%s%f\n", KEY_SLOT_SCALE, (double)s.scale[k]);
                fprintf(f, "%s%f,%f,%f\n", KEY_SLOT_POSITION, (double)s.position[k][0], (double)s.position[k][1],
                        (double)s.position[k][2]);
            }
            fprintf(f, "\n");
        }
        return ferror(f) == 0;
    });
}

bool writeEffectBank(int32_t bank) {
    if (bank < 0 || bank >= EFFECT_BANK_COUNT) return false;
    char path[32];
    snprintf(path, sizeof path, EFFECT_BANK_PATH_FORMAT, (int)(bank + 1));
    bool saved = writeReplacing(path, "wb", [bank](FILE* f) {
        size_t definitions = fwrite(&gEffectBanks.definitions[bank * EFFECT_BANK_SIZE], 1,
                                    (size_t)EFFECT_BANK_DEFINITION_BYTES, f);
        size_t sets = fwrite(&gEffectBanks.sets[bank * EFFECT_BANK_SIZE], 1, (size_t)EFFECT_BANK_SET_BYTES, f);
        return definitions == (size_t)EFFECT_BANK_DEFINITION_BYTES && sets == (size_t)EFFECT_BANK_SET_BYTES;
    });
    if (!saved) return false;
    char dump[32];
    snprintf(dump, sizeof dump, EFFECT_DEFINITION_DUMP_FORMAT, (int)(bank + 1));
    writeDefinitionDump(dump, bank);
    writeSetDump(EFFECT_SET_DUMP_PATH, bank);
    return true;
}

int32_t saveEffectBank(int32_t bank) {
    if (writeEffectBank(bank)) return 1;
    char path[32];
    snprintf(path, sizeof path, EFFECT_BANK_PATH_FORMAT, (int)(bank + 1));
    char line[96];
    snprintf(line, sizeof line, "the effect bank %s could not be written\n", path);
    writeDebugLog(line);
    showMessageBox(path, "error", MESSAGE_BOX_OK);
    return 0;
}

void parseDefinitionDump(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    EffectDefinition* d = nullptr;
    while (nextDataLine(cursor, line)) {
        int32_t n = recordNumberOf(line);
        if (n >= 0) {
            if (d) sanitizeEffectDefinition(*d);
            d = &gEffectBanks.definitions[n];
            continue;
        }
        if (!d) continue;
        const char* v;
        if ((v = lineValue(line, KEY_NAME))) copyTextBounded(v, line.end, d->name, EFFECT_NAME_SIZE - 1);
        else if ((v = lineValue(line, KEY_IMAGE))) d->image = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_COUNT))) d->count = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_TYPE))) d->type = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_OVERALL_SCALE))) d->overallScale = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_INITIAL_SPEED))) d->initialSpeed = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_ACCELERATION))) d->acceleration = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_GRAVITY))) d->gravity = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_APPEAR_TIME))) d->appearTime = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_VANISH_TIME))) d->vanishTime = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_VANISH_SPREAD))) d->vanishSpread = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_INITIAL_SIZE))) d->initialSize = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_SIZE_GROWTH))) d->sizeGrowth = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_SPEED_XY))) d->speedXYRatio = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_SPEED_Y_BIAS))) d->speedYBias = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_PARTICLE_XY))) d->particleXYRatio = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_ALPHA_RISE))) d->alphaRiseTime = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_ALPHA_FALL))) d->alphaFallTime = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_APPEAR_MODE))) d->appearMode = (int8_t)parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_DRAW_METHOD))) d->drawMethod = (int8_t)parseTextInt(v, line.end);
    }
    if (d) sanitizeEffectDefinition(*d);
}

void parseSetDump(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    EffectSet* s = nullptr;
    int32_t slot = 0;
    while (nextDataLine(cursor, line)) {
        int32_t n = recordNumberOf(line);
        if (n >= 0) {
            if (s) sanitizeEffectSet(*s);
            s = &gEffectBanks.sets[n];
            slot = 0;
            continue;
        }
        if (!s) continue;
        const char* v;
        if ((v = lineValue(line, KEY_NAME))) {
            copyTextBounded(v, line.end, s->name, EFFECT_NAME_SIZE - 1);
            continue;
        }
        // Slot lines past the seventh have nowhere to go.
        if (slot >= EFFECT_SET_SLOTS) continue;
        if ((v = lineValue(line, KEY_SLOT_EFFECT))) s->effect[slot] = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_SLOT_FRAME))) s->startFrame[slot] = parseTextInt(v, line.end);
        else if ((v = lineValue(line, KEY_SLOT_COLOUR))) parseTextInts(v, line.end, ',', s->colour[slot], 4);
        else if ((v = lineValue(line, KEY_SLOT_SCALE))) s->scale[slot] = parseTextFloat(v, line.end);
        else if ((v = lineValue(line, KEY_SLOT_POSITION))) {
            parseTextFloats(v, line.end, ',', s->position[slot], 3);
            slot++;
        }
    }
    if (s) sanitizeEffectSet(*s);
}

void readDefinitionDump(const char* path) {
    TextEntry file = readLooseOrArchiveEntry(path, EFFECT_TEXT_LIMIT);
    parseDefinitionDump(file.bytes.get(), file.length);
}

void readSetDump(const char* path) {
    TextEntry file = readLooseOrArchiveEntry(path, EFFECT_TEXT_LIMIT);
    parseSetDump(file.bytes.get(), file.length);
}

// The editor's screens arrive with the effect editor.
void updateEffectEditor() {}
