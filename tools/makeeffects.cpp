// makeeffects: builds the effect bank files "ef/effect<n>.dat" of a data
// folder from their text descriptions "ef/effect<n>.txt" (n 1 to 4), which
// leave the folder once built (the folder is the build's staging copy).
//
// A description lists records; every record not listed keeps its defaults.
//
//   / a comment
//   def 3 pulse            definition 3 (global number), named "pulse"
//   image 3                then its fields by their names, one a line:
//   count 1                image type count overallScale initialSpeed
//   ...                    acceleration gravity appearTime vanishTime
//                          vanishSpread initialSize sizeGrowth speedXYRatio
//                          speedYBias particleXYRatio alphaRiseTime
//                          alphaFallTime drawMethod appearMode
//   set 0 hit sparks       set 0, named "hit sparks"
//   slot 0 4 1.5 0 1 0     its next slot: definition, start frame, scale, x y z
//
// The numbers must lie in the file's bank (bank n - 1: n*100-100 .. n*100-1).
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "field/field_files.h"

namespace {

struct Bank {
    EffectDefinition definitions[EFFECT_BANK_SIZE];
    EffectSet sets[EFFECT_BANK_SIZE];
};
static_assert(sizeof(Bank) == EFFECT_BANK_FILE_BYTES);

enum FieldKind { FIELD_INT, FIELD_FLOAT, FIELD_BYTE };
struct FieldName {
    const char* name;
    FieldKind kind;
    size_t offset;
};
const FieldName FIELDS[] = {
    {"image", FIELD_INT, offsetof(EffectDefinition, image)},
    {"type", FIELD_INT, offsetof(EffectDefinition, type)},
    {"count", FIELD_INT, offsetof(EffectDefinition, count)},
    {"overallScale", FIELD_FLOAT, offsetof(EffectDefinition, overallScale)},
    {"initialSpeed", FIELD_FLOAT, offsetof(EffectDefinition, initialSpeed)},
    {"acceleration", FIELD_FLOAT, offsetof(EffectDefinition, acceleration)},
    {"gravity", FIELD_FLOAT, offsetof(EffectDefinition, gravity)},
    {"appearTime", FIELD_FLOAT, offsetof(EffectDefinition, appearTime)},
    {"vanishTime", FIELD_INT, offsetof(EffectDefinition, vanishTime)},
    {"vanishSpread", FIELD_INT, offsetof(EffectDefinition, vanishSpread)},
    {"initialSize", FIELD_FLOAT, offsetof(EffectDefinition, initialSize)},
    {"sizeGrowth", FIELD_FLOAT, offsetof(EffectDefinition, sizeGrowth)},
    {"speedXYRatio", FIELD_FLOAT, offsetof(EffectDefinition, speedXYRatio)},
    {"speedYBias", FIELD_FLOAT, offsetof(EffectDefinition, speedYBias)},
    {"particleXYRatio", FIELD_FLOAT, offsetof(EffectDefinition, particleXYRatio)},
    {"alphaRiseTime", FIELD_INT, offsetof(EffectDefinition, alphaRiseTime)},
    {"alphaFallTime", FIELD_INT, offsetof(EffectDefinition, alphaFallTime)},
    {"drawMethod", FIELD_BYTE, offsetof(EffectDefinition, drawMethod)},
    {"appearMode", FIELD_BYTE, offsetof(EffectDefinition, appearMode)},
};

struct Reader {
    const std::string& path;
    int32_t line;
    bool ok;
    void fail(const char* what) {
        fprintf(stderr, "makeeffects: %s:%d: %s\n", path.c_str(), (int)line, what);
        ok = false;
    }
};

// "def"/"set" n name: the record's index in the bank, or -1 after a message.
int32_t recordIndex(Reader& r, std::istringstream& words, int32_t bank, char* name) {
    int32_t number = -1;
    if (!(words >> number) || number < bank * EFFECT_BANK_SIZE || number >= (bank + 1) * EFFECT_BANK_SIZE) {
        r.fail("the number is missing or outside the file's bank");
        return -1;
    }
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (rest.size() >= (size_t)EFFECT_NAME_SIZE) {
        r.fail("the name is longer than 99 bytes");
        return -1;
    }
    memset(name, 0, EFFECT_NAME_SIZE);
    memcpy(name, rest.data(), rest.size());
    return number - bank * EFFECT_BANK_SIZE;
}

bool setField(EffectDefinition& d, const std::string& key, std::istringstream& words) {
    for (const FieldName& f : FIELDS) {
        if (key != f.name) continue;
        char* at = reinterpret_cast<char*>(&d) + f.offset;
        if (f.kind == FIELD_FLOAT) {
            float v;
            if (!(words >> v)) return false;
            memcpy(at, &v, sizeof v);
        } else {
            int32_t v;
            if (!(words >> v)) return false;
            if (f.kind == FIELD_BYTE) {
                int8_t b = (int8_t)v;
                memcpy(at, &b, 1);
            } else {
                memcpy(at, &v, sizeof v);
            }
        }
        return true;
    }
    return false;
}

bool buildBank(const std::string& path, int32_t bankIndex, Bank& bank) {
    for (EffectDefinition& d : bank.definitions) d = defaultEffectDefinition();
    for (EffectSet& s : bank.sets) s = defaultEffectSet();
    std::ifstream in(path);
    if (!in) {
        fprintf(stderr, "makeeffects: cannot read %s\n", path.c_str());
        return false;
    }
    Reader r = {path, 0, true};
    EffectDefinition* definition = nullptr;
    EffectSet* set = nullptr;
    int32_t slot = 0;
    std::string text;
    while (std::getline(in, text)) {
        r.line++;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text[0] == '/') continue;
        std::istringstream words(text);
        std::string key;
        words >> key;
        if (key == "def") {
            char name[EFFECT_NAME_SIZE];
            int32_t i = recordIndex(r, words, bankIndex, name);
            if (i < 0) continue;
            definition = &bank.definitions[i];
            memcpy(definition->name, name, sizeof name);
            set = nullptr;
        } else if (key == "set") {
            char name[EFFECT_NAME_SIZE];
            int32_t i = recordIndex(r, words, bankIndex, name);
            if (i < 0) continue;
            set = &bank.sets[i];
            memcpy(set->name, name, sizeof name);
            slot = 0;
            definition = nullptr;
        } else if (key == "slot") {
            if (!set || slot >= EFFECT_SET_SLOTS) {
                r.fail("a slot outside a set, or an eighth slot");
                continue;
            }
            int32_t effect, frame;
            float scale, x, y, z;
            if (!(words >> effect >> frame >> scale >> x >> y >> z) || effect < -1 || effect >= EFFECT_COUNT) {
                r.fail("a slot is: definition start-frame scale x y z");
                continue;
            }
            set->effect[slot] = effect;
            set->startFrame[slot] = frame;
            set->scale[slot] = scale;
            set->position[slot][0] = x;
            set->position[slot][1] = y;
            set->position[slot][2] = z;
            slot++;
        } else if (!definition || !setField(*definition, key, words)) {
            r.fail("not a field of a definition, or no value");
        }
    }
    return r.ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: makeeffects <folder>\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    for (int32_t bank = 0; bank < EFFECT_BANK_COUNT; bank++) {
        char name[32];
        snprintf(name, sizeof name, "ef/effect%d.txt", (int)(bank + 1));
        std::filesystem::path description = folder / name;
        std::error_code error;
        if (!std::filesystem::exists(description, error)) continue;
        static Bank image;
        if (!buildBank(description.string(), bank, image)) return 1;
        snprintf(name, sizeof name, EFFECT_BANK_PATH_FORMAT, (int)(bank + 1));
        std::filesystem::path out = folder / name;
        FILE* file = fopen(out.c_str(), "wb");
        bool wrote = file && fwrite(&image, 1, sizeof image, file) == sizeof image;
        if (file && fclose(file) != 0) wrote = false;
        if (!wrote) {
            fprintf(stderr, "makeeffects: cannot write %s\n", out.c_str());
            return 1;
        }
        std::filesystem::remove(description, error);
    }
    return 0;
}
