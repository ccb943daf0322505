// field/effect_banks.h: the data-driven effects' records, 400 definitions and
// 400 sets in four banks of 100, numbered globally (bank * 100 + index).
// Loaded at start-up by loadEffectBanks (field.h), named from the four name
// lists, and written back bank by bank by the effect editor's save command.
#pragma once
#include <cstdint>

#include "field/field_files.h"

// The definitions and the sets, bank 0's hundred first in each array.
struct EffectBanks {
    EffectDefinition definitions[EFFECT_COUNT];
    EffectSet sets[EFFECT_COUNT];
};
extern EffectBanks gEffectBanks;

// "ef/efname1.txt" .. "ef/efname4.txt".
constexpr const char* EFFECT_NAME_LIST_FORMAT = "ef/efname%d.txt";
// The definition dump of a bank ("ef/effect1.idx" .. "ef/effect4.idx") and the
// set dump of the bank saved last, in the working directory.
constexpr const char* EFFECT_DEFINITION_DUMP_FORMAT = "ef/effect%d.idx";
constexpr const char* EFFECT_SET_DUMP_PATH = "effect_set.idx";

// The editor on bank 0 with an empty clipboard.
void resetEffectEditor();
// Every definition and set at its defaults.
void resetEffectBanks();
// The bytes of a bank file over bank's records: the first 17,200 fill its
// definitions, the next 38,000 its sets; a short image leaves the defaults
// behind it, bytes beyond are ignored. The records are made sound after.
void applyEffectBankImage(int32_t bank, const uint8_t* bytes, int32_t length);
// A record as the game may use it: the name terminated, and the image row,
// the type, the drawing method, the fade target and the set's definition
// numbers within their ranges (an out-of-range value takes its default).
void sanitizeEffectDefinition(EffectDefinition& d);
void sanitizeEffectSet(EffectSet& s);

// One name list: the loose file when there is one, else the archive entry
// (absent: nothing changes).
void readEffectNames(const char* path);
// The lines of a name list: "nnn:" (000..399) names definition nnn with the
// rest of its line, at most 99 bytes. Other lines change nothing.
void parseEffectNames(const char* text, int32_t length);

// Writes bank's file, its definition dump and the set dump, each through a
// temporary file renamed over the old one; a dump that cannot be written is
// skipped. False (the old bank file kept) when the bank file cannot be written.
bool writeEffectBank(int32_t bank);
// The two text dumps of a bank; false when the file cannot be written.
bool writeDefinitionDump(const char* path, int32_t bank);
bool writeSetDump(const char* path, int32_t bank);
// The dumps read back into the records their "nnn:" lines name.
void readDefinitionDump(const char* path);
void readSetDump(const char* path);
void parseDefinitionDump(const char* text, int32_t length);
void parseSetDump(const char* text, int32_t length);
