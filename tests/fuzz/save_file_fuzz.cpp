// Arbitrary bytes as "save.dat" and "_save.dat". Input: one byte per file
// choosing its shape, one byte choosing the slot loaded afterwards, then the
// bytes, split in two halves for the two files. A shape is: missing, the
// bytes themselves, the bytes laid over the header, the first and the last
// slot of a file of the full or an older size (bit 0x80: with those slots'
// checksums made right), or a file too long to be used. Every slot is read
// by the same code, so the files hold two slots, not the game's hundred:
// the loader takes the slot count, and an image of two slots keeps an input
// fast. Files of the bytes themselves go through
// real files in a folder made once; the large ones are handed over from
// memory. Afterwards the image must be sound, and the title must read it:
// its menu from the slots, and the loaded slot repaired for a start.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "engine/save_file.h"
#include "story/title.h"
#include "story/game_start.h"
#include "shop/item_db.h"
#include "shop/shop.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/temp_folder.h"

enum FileShape { SHAPE_MISSING, SHAPE_RAW, SHAPE_FULL, SHAPE_OLD, SHAPE_OLDEST, SHAPE_TOO_LONG, SHAPE_COUNT };
constexpr int32_t FUZZ_SLOTS = 2;
constexpr int32_t SHAPED_SLOTS[2] = {0, FUZZ_SLOTS - 1};
constexpr int64_t FUZZ_IMAGE_SIZE = SAVE_HEADER_SIZE + static_cast<int64_t>(FUZZ_SLOTS) * SAVE_SLOT_SIZE;

static uint8_t sFiles[2][FUZZ_IMAGE_SIZE];
// The files live in a folder of their own, removed at exit; the fuzzer's own
// paths (corpus, crash files) stay relative to where it was started.
static std::optional<TempFolder> sFolder;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sFolder.emplace("save_fuzz");
    // A few items, so the repair keeps some keys and drops others.
    static const char ITEMS[] = ":Swords#Weapons\n0001 Sword#100#5#0#0#0#Wepn##a2#t\n"
                                ":Cards\n3401 Card#10#0#0#0#0#Card###t\n";
    parseItemTable(ITEMS, static_cast<int32_t>(sizeof ITEMS - 1));
    return 0;
}

// Both slots of a shaped file are the same bytes followed by zeros, so one
// sum serves them.
static uint32_t sumPrefix(const uint8_t* data, size_t size, int32_t summedWords) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 4 <= size && i < 4 * static_cast<size_t>(summedWords); i += 4) {
        uint32_t word;
        memcpy(&word, data + i, 4);
        sum += word;
    }
    // A last partial word counts with its missing bytes zero.
    size_t tail = size % 4;
    if (tail && size < 4 * static_cast<size_t>(summedWords)) {
        uint32_t word = 0;
        memcpy(&word, data + size - tail, tail);
        sum += word;
    }
    return sum;
}

// What the last input wrote into a file buffer, cleared before the next one
// instead of the whole 18 MB.
struct Written {
    size_t prefix;     // at the start of the file and of every slot
    int32_t slotSize;
    int32_t sumWord;   // -1 none
};
static Written sWritten[2] = {{0, SAVE_SLOT_SIZE, -1}, {0, SAVE_SLOT_SIZE, -1}};

static void clearWritten(uint8_t* file, const Written& w) {
    memset(file, 0, w.prefix);
    for (int32_t k : SHAPED_SLOTS) {
        uint8_t* slot = file + SAVE_HEADER_SIZE + static_cast<size_t>(k) * w.slotSize;
        memset(slot, 0, w.prefix < static_cast<size_t>(w.slotSize) ? w.prefix : static_cast<size_t>(w.slotSize));
        if (w.sumWord >= 0) memset(slot + 4 * static_cast<size_t>(w.sumWord), 0, 4);
    }
}

static SaveFileBytes shapeFile(int32_t which, uint8_t selector, const uint8_t* data, size_t size) {
    int32_t shape = (selector & 0x7F) % SHAPE_COUNT;
    if (shape == SHAPE_MISSING) return {nullptr, -1};
    if (shape == SHAPE_RAW) return {data, static_cast<int64_t>(size)};
    if (shape == SHAPE_TOO_LONG) return {nullptr, FUZZ_IMAGE_SIZE + 1};
    int32_t slotSize = shape == SHAPE_FULL ? SAVE_SLOT_SIZE : shape == SHAPE_OLD ? OLD_SLOT_SIZE : OLDEST_SLOT_SIZE;
    int32_t summedWords = shape == SHAPE_FULL ? SAVE_CHECKSUM_WORDS : shape == SHAPE_OLD ? 47011 : 39811;
    int32_t length = SAVE_HEADER_SIZE + FUZZ_SLOTS * slotSize;
    uint8_t* file = sFiles[which];
    clearWritten(file, sWritten[which]);
    size_t inSlot = size < static_cast<size_t>(slotSize) ? size : static_cast<size_t>(slotSize);
    memcpy(file, data, inSlot);   // the header, and on into slot 0
    for (int32_t k : SHAPED_SLOTS) memcpy(file + SAVE_HEADER_SIZE + static_cast<size_t>(k) * slotSize, data, inSlot);
    sWritten[which] = {inSlot, slotSize, -1};
    if (selector & 0x80) {
        uint32_t sum = sumPrefix(data, inSlot, summedWords);
        for (int32_t k : SHAPED_SLOTS)
            memcpy(file + SAVE_HEADER_SIZE + static_cast<size_t>(k) * slotSize + 4 * static_cast<size_t>(summedWords + 1), &sum, 4);
        sWritten[which].sumWord = summedWords + 1;
    }
    return {file, length};
}

static void writeOrRemove(const char* name, SaveFileBytes file) {
    if (file.length < 0) {
        remove(name);
        return;
    }
    FILE* out = fopen(name, "wb");
    if (!out) abort();
    if (fwrite(file.bytes, 1, static_cast<size_t>(file.length), out) != static_cast<size_t>(file.length)) abort();
    fclose(out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    uint8_t shapes[2] = {data[0], data[1]};
    int32_t slot = data[2] % FUZZ_SLOTS;
    data += 3;
    size -= 3;
    size_t half = size / 2;
    SaveFileBytes primary = shapeFile(0, shapes[0], data, half);
    SaveFileBytes backup = shapeFile(1, shapes[1], data + half, size - half);
    bool small = (primary.length < 0 || primary.bytes == data) && (backup.length < 0 || backup.bytes == data + half);
    if (small) {
        WorkingDirectory inFolder(sFolder->path());
        writeOrRemove(SAVE_FILE_NAME, primary);
        writeOrRemove(SAVE_BACKUP_NAME, backup);
        loadSaveFile(FUZZ_SLOTS);
    } else {
        loadSaveImage(primary, backup, FUZZ_SLOTS);
    }

    const SaveHeader& h = gSaveImage.header;
    if (h.magic != SAVE_MAGIC) __builtin_trap();
    if (h.optionSoundLevel < 0 || h.optionSoundLevel > OPTION_LEVEL_MAX) __builtin_trap();
    if (h.optionMusicLevel < 0 || h.optionMusicLevel > OPTION_LEVEL_MAX) __builtin_trap();
    if (h.optionVoiceLevel < 0 || h.optionVoiceLevel > OPTION_LEVEL_MAX) __builtin_trap();
    if (h.optionTextSkip > 1) __builtin_trap();
    if (h.optionMessageSpeed < 0 || h.optionMessageSpeed > OPTION_MESSAGE_SPEED_MAX) __builtin_trap();
    if (h.lastSaveSlot < 0 || h.lastSaveSlot >= SAVE_SLOT_COUNT) __builtin_trap();
    for (int32_t k = 0; k < FUZZ_SLOTS; ++k) {
        if (!gSaveConverted && gSaveImage.slots[k].magic != SAVE_MAGIC) __builtin_trap();
    }
    if (memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)) != 0) __builtin_trap();
    loadSlot(slot);
    int32_t count = runningGameState().storageCount;
    if (count < 0 || count > STORAGE_ENTRY_COUNT) __builtin_trap();

    scanClearedSlots();
    buildTitleMenu();
    if (gTitle.menuCount < 4 || gTitle.menuCount > 8) __builtin_trap();
    GameState& game = runningGameState();
    repairStorage(game);
    repairEquipment(game);
    if (game.storageCount < 0 || game.storageCount > STORAGE_ENTRY_COUNT) __builtin_trap();
    for (int32_t i = 0; i < game.storageCount; ++i) {
        if (game.storage[i] == ITEM_KEY_NONE || findItemDef(itemKeyId(game.storage[i])) < 0) __builtin_trap();
    }
    // Past the kept ones every entry is empty (compared whole: a loop here
    // would cost more than the load).
    static int32_t sEmpty[STORAGE_ENTRY_COUNT];
    if (sEmpty[0] == 0) memset(sEmpty, 0xFF, sizeof sEmpty);
    size_t tail = static_cast<size_t>(STORAGE_ENTRY_COUNT - game.storageCount) * sizeof(int32_t);
    if (memcmp(game.storage + game.storageCount, sEmpty, tail) != 0) __builtin_trap();
    return 0;
}
