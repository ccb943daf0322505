#include "engine/save_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/scene_hooks.h"
#include "engine/sound.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "platform/window.h"

SaveImage gSaveImage;
SaveImage gWorkImage;
int32_t gCurrentSlot;
int32_t gSaveConverted;

const int32_t INITIAL_EQUIPMENT[INITIAL_EQUIPMENT_ROWS][EQUIPMENT_SLOTS] = {
    {1, 1301, 1501, 2301, -1},   {101, 1201, 1401, 2401, -1}, {201, 1101, 1401, -1, -1},
    {301, 1201, 1401, -1, -1},   {501, 1001, 1401, 2001, -1}, {401, 1001, 1401, 2101, -1},
    {601, 1201, 2201, 2401, -1}, {701, 1201, 1601, -1, -1},   {1, 1201, 1301, 2001, -1},
    {1, 1201, 1301, 2001, -1},   {1, 1201, 1301, 2001, -1},
};

const ShelfPlace SHELF_LAYOUTS[SHOP_SIZE_COUNT][SHELF_LAYOUT_COUNT] = {
    {{3, 3}, {1, 0}, {0, 1}, {9, 1}, {10, 3}, {11, 0}, {3, 6}, {6, 6}, {9, 6}, {12, 6}},
    {{4, 3}, {1, 0}, {0, 1}, {9, 1}, {10, 3}, {11, 0}, {3, 6}, {6, 6}, {9, 6}, {12, 6}},
    {{4, 3}, {1, 0}, {0, 1}, {14, 1}, {10, 3}, {11, 0}, {3, 6}, {6, 6}, {9, 6}, {12, 6}},
    {{4, 3}, {1, 0}, {0, 1}, {14, 1}, {10, 3}, {11, 0}, {3, 6}, {6, 6}, {9, 6}, {12, 6}},
};

GameState& runningGameState() { return gWorkImage.slots[gCurrentSlot]; }

// The working copy is read only at its running slot, so only that slot is
// copied: the whole image would touch 18 MB for one slot of 184 KB.
static void copyRunningSlotToWork() {
    memcpy(&gWorkImage.slots[gCurrentSlot], &gSaveImage.slots[gCurrentSlot], sizeof(GameState));
}

static int32_t readWord(const uint8_t* bytes, int32_t index) {
    int32_t word;
    memcpy(&word, bytes + static_cast<size_t>(index) * 4, sizeof word);
    return word;
}

// Wrapping sum of the first count i32 values. The words are copied out a
// block at a time, so the bytes may lie at any alignment.
static uint32_t sumWords(const uint8_t* bytes, int32_t count) {
    constexpr int32_t BLOCK = 1024;
    uint32_t block[BLOCK];
    uint32_t sum = 0;
    for (int32_t done = 0; done < count; done += BLOCK) {
        int32_t n = count - done < BLOCK ? count - done : BLOCK;
        memcpy(block, bytes + static_cast<size_t>(done) * 4, static_cast<size_t>(n) * 4);
        int32_t i = 0;
        // Eight at a time: the sum runs over 188 KB at every load and save.
        for (; i + 8 <= n; i += 8)
            sum += block[i] + block[i + 1] + block[i + 2] + block[i + 3] + block[i + 4] + block[i + 5] + block[i + 6] +
                   block[i + 7];
        for (; i < n; i++) sum += block[i];
    }
    return sum;
}

uint32_t slotChecksum(const GameState& game) {
    return sumWords(reinterpret_cast<const uint8_t*>(&game), SAVE_CHECKSUM_WORDS);
}

static void sealSlot(GameState& game) { game.checksum = static_cast<int32_t>(slotChecksum(game)); }

static bool isSoundSlot(const GameState& game) {
    return game.magic == SAVE_MAGIC && static_cast<uint32_t>(game.checksum) == slotChecksum(game);
}

// -1 in every entry: all bytes 0xFF.
static void fillEmpty(int32_t* keys, size_t count) { memset(keys, 0xFF, count * sizeof *keys); }

int32_t getInitialEquipment(int32_t row, int32_t index) {
    if (row < 0 || row >= INITIAL_EQUIPMENT_ROWS || index < 0 || index >= EQUIPMENT_SLOTS) return -1;
    return INITIAL_EQUIPMENT[row][index];
}

void initAdventurerEquipment(GameState& game) {
    for (int32_t j = 0; j < ADVENTURER_COUNT; j++) {
        AdventurerRecord& a = game.adventurers[j];
        for (int32_t i = 0; i < EQUIPMENT_SLOTS; i++) {
            int32_t id = getInitialEquipment(j, i);
            // The key of the item marked as the adventurer's own.
            int32_t key = id == -1 ? -1 : id * 64 + 0x20;
            a.equipment[i] = key;
            a.savedEquipment[i] = key;
        }
    }
}

void initShelfLayout(GameState& game) {
    int32_t size = game.shopSize;
    if (size < 0) size = 0;
    if (size >= SHOP_SIZE_COUNT) size = SHOP_SIZE_COUNT - 1;
    memcpy(game.shelfLayout, SHELF_LAYOUTS[size], sizeof game.shelfLayout);
}

// A new game over a slot already zero: the fields that are not.
static void fillNewGameOverZero(GameState& game) {
    game.magic = SAVE_MAGIC;
    game.money = 1000;
    game.dayStartMoney = 1000;
    game.unused010 = 2;
    game.weekEndDay = 7;
    fillEmpty(game.storage, STORAGE_ENTRY_COUNT);
    fillEmpty(&game.shelves[0][0], SHELF_ROWS * SHELF_CELLS);
    fillEmpty(&game.dayLogs[0][0], DAY_LOG_COUNT * DAY_LOG_ENTRIES);
    fillEmpty(&game.vendingStock[0][0], SHELF_COUNT * VENDING_STOCK_SLOTS);
    game.storageCount = 0;
    game.levelExpFloor = 0;
    game.levelExpNext = 100;
    if (gSceneHooks.fillNewGame) gSceneHooks.fillNewGame(game);
    initShelfLayout(game);
    initAdventurerEquipment(game);
}

void initNewGameState(GameState& game) {
    memset(&game, 0, sizeof game);
    fillNewGameOverZero(game);
}

static void renewHeader(SaveHeader& header) {
    memset(&header, 0, sizeof header);
    header.magic = SAVE_MAGIC;
    header.optionSoundLevel = OPTION_LEVEL_MAX;
    header.optionMusicLevel = 5;
    header.optionVoiceLevel = OPTION_LEVEL_MAX;
    header.optionMessageSpeed = 1;
}

// The sizes a file of slotCount slots has in each layout. The game's files
// hold SAVE_SLOT_COUNT slots; a test may load fewer, the rest of the image
// left as it was.
struct SaveLayout {
    int32_t slots;
    int64_t full;
    int64_t old;
    int64_t oldest;
};

static SaveLayout layoutOf(int32_t slotCount) {
    if (slotCount < 1 || slotCount > SAVE_SLOT_COUNT) slotCount = SAVE_SLOT_COUNT;
    return {slotCount, SAVE_HEADER_SIZE + static_cast<int64_t>(slotCount) * SAVE_SLOT_SIZE,
            SAVE_HEADER_SIZE + static_cast<int64_t>(slotCount) * OLD_SLOT_SIZE,
            SAVE_HEADER_SIZE + static_cast<int64_t>(slotCount) * OLDEST_SLOT_SIZE};
}


template <typename T>
static void clampTo(T& value, int32_t low, int32_t high) {
    if (value < low) value = static_cast<T>(low);
    if (value > high) value = static_cast<T>(high);
}

// Values that index tables or choose among fixed entries stay in range
// whatever the file held.
static void clampHeader(SaveHeader& header) {
    clampTo(header.optionSoundLevel, 0, OPTION_LEVEL_MAX);
    clampTo(header.optionMusicLevel, 0, OPTION_LEVEL_MAX);
    clampTo(header.optionVoiceLevel, 0, OPTION_LEVEL_MAX);
    clampTo(header.optionTextSkip, 0, 1);
    clampTo(header.optionMessageSpeed, 0, OPTION_MESSAGE_SPEED_MAX);
    clampTo(header.lastSaveSlot, 0, SAVE_SLOT_COUNT - 1);
}

static bool isOlderLayout(int64_t length, const SaveLayout& layout) {
    return length == layout.old || length == layout.oldest;
}

static bool isKnownSize(int64_t length, const SaveLayout& layout) {
    return length == layout.full || isOlderLayout(length, layout);
}

// A file of a known size whose header is sound: taken over the other name.
static bool isSoundFile(SaveFileBytes file, const SaveLayout& layout) {
    return file.bytes && isKnownSize(file.length, layout) && readWord(file.bytes, 0) == SAVE_MAGIC;
}

static bool isReadable(SaveFileBytes file, const SaveLayout& layout) {
    return file.bytes && file.length >= 0 && file.length <= layout.full;
}

// A slot of any layout is sound when its magic and its own checksum, the
// word after the summed ones, hold.
static bool isSoundSlotBytes(const uint8_t* slot, int32_t summedWords) {
    return readWord(slot, 1) == SAVE_MAGIC &&
           static_cast<uint32_t>(readWord(slot, summedWords + 1)) == sumWords(slot, summedWords);
}

// Slots of 159,252 bytes: the storage grew from 12,800 to 20,000 entries and
// everything behind it moved up.
static void copyOldestSlot(GameState& slot, const uint8_t* old) {
    constexpr size_t storageBytes = OLDEST_STORAGE_ENTRIES * 4;
    constexpr size_t restOffset = offsetof(GameState, storage) + storageBytes;   // 0xC818
    constexpr size_t restBytes = OLDEST_SLOT_SIZE - restOffset;                   // 108,028
    static_assert(restOffset == 0xC818 && restBytes == 108028);
    static_assert(offsetof(GameState, shelves) + restBytes <= sizeof(GameState));
    memcpy(&slot, old, offsetof(GameState, storage));
    fillEmpty(slot.storage + OLDEST_STORAGE_ENTRIES - 1, STORAGE_ENTRY_COUNT - OLDEST_STORAGE_ENTRIES + 1);
    memcpy(slot.storage, old + offsetof(GameState, storage), storageBytes);
    memcpy(reinterpret_cast<uint8_t*>(&slot) + offsetof(GameState, shelves), old + restOffset, restBytes);
}

// Every older slot that fails its check becomes the same sealed new game,
// made once per conversion.
static GameState sNewGame;

static void convertSlots(const uint8_t* bytes, int64_t length, const SaveLayout& layout) {
    bool oldest = length == layout.oldest;
    int32_t oldSlotSize = oldest ? OLDEST_SLOT_SIZE : OLD_SLOT_SIZE;
    int32_t summedWords = oldest ? 39811 : 47011;
    gSaveConverted = 1;
    memcpy(&gSaveImage.header, bytes, sizeof gSaveImage.header);
    initNewGameState(sNewGame);
    sealSlot(sNewGame);
    for (int32_t k = 0; k < layout.slots; k++) {
        GameState& slot = gSaveImage.slots[k];
        const uint8_t* old = bytes + SAVE_HEADER_SIZE + static_cast<size_t>(k) * oldSlotSize;
        if (!isSoundSlotBytes(old, summedWords)) {
            memcpy(&slot, &sNewGame, sizeof slot);
            continue;
        }
        // Slots of 188,052 bytes keep their first 188,020 bytes.
        if (oldest) copyOldestSlot(slot, old);
        else memcpy(&slot, old, 188020);
        sealSlot(slot);
    }
}

// The bytes of one readable file over the zeroed image.
static void takeFileBytes(const uint8_t* bytes, int64_t length, const SaveLayout& layout) {
    if (isOlderLayout(length, layout)) {
        convertSlots(bytes, length, layout);
        return;
    }
    // The full size, or a file cut short: the header and the slots it holds
    // stay when sound, the rest is renewed by the validation.
    memcpy(&gSaveImage, bytes, static_cast<size_t>(length));
}

// A slot that was ever saved into: the save seals it, and a played game has
// play time. New games that were only renewed carry neither, so losing them
// is nothing to tell.
static bool wasSavedSlot(const uint8_t* slot) {
    return readWord(slot, SAVE_CHECKSUM_WORDS + 1) != 0 || readWord(slot, 2) != 0;
}

static const uint8_t* slotBytes(SaveFileBytes file, int32_t k) {
    return file.bytes + offsetof(SaveImage, slots) + static_cast<size_t>(k) * sizeof(GameState);
}

// Slot k of a readable file of the current layout, when the file holds all
// of it and it is sound.
static const uint8_t* soundSlotIn(SaveFileBytes file, int32_t k, const SaveLayout& layout) {
    if (!isReadable(file, layout) || isOlderLayout(file.length, layout)) return nullptr;
    if (file.length < static_cast<int64_t>(offsetof(SaveImage, slots) + (k + 1) * sizeof(GameState))) return nullptr;
    return isSoundSlotBytes(slotBytes(file, k), SAVE_CHECKSUM_WORDS) ? slotBytes(file, k) : nullptr;
}

// セーブデータが壊れていたため、次の番号を新しいゲームにしました。 -- "the save
// data was damaged; these numbers became new games", then the numbers as the
// save list shows them.
static const char SLOTS_LOST_TEXT[] =
    "\x83\x5a\x81\x5b\x83\x75\x83\x66\x81\x5b\x83\x5e\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xbd"
    "\x82\xbd\x82\xdf\x81\x41\x8e\x9f\x82\xcc\x94\xd4\x8d\x86\x82\xf0\x90\x56\x82\xb5\x82\xa2\x83\x51"
    "\x81\x5b\x83\x80\x82\xc9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";

// Renews a header without SAVE_MAGIC and, unless this run converted an older
// layout, every slot that fails its check. A slot that was saved into and
// fails is first taken from the other file when that file's slot is sound;
// the player is told of each one neither file holds whole. One damaged byte
// would otherwise lose the game for good: the next save writes the new game
// over the sound copy.
static void validateSlots(const SaveLayout& layout, SaveFileBytes other) {
    bool cleared = gSaveImage.header.magic != SAVE_MAGIC;
    if (cleared) {
        clearLargeRecord(&gSaveImage, static_cast<size_t>(layout.full));
        renewHeader(gSaveImage.header);
        applyMusicVolume();
    }
    // A converted image keeps its slots as converted, each sealed then.
    if (gSaveConverted) return;
    char lostText[sizeof SLOTS_LOST_TEXT + SAVE_SLOT_COUNT * 4 + 2];
    int32_t used = snprintf(lostText, sizeof lostText, "%s\n", SLOTS_LOST_TEXT);
    bool lost = false;
    for (int32_t k = 0; k < layout.slots; k++) {
        GameState& slot = gSaveImage.slots[k];
        // A slot just cleared is not written with zeros again: 18.8 MB.
        if (cleared) {
            fillNewGameOverZero(slot);
            continue;
        }
        if (isSoundSlot(slot)) continue;
        if (wasSavedSlot(reinterpret_cast<const uint8_t*>(&slot))) {
            if (const uint8_t* copy = soundSlotIn(other, k, layout)) {
                memcpy(&slot, copy, sizeof slot);
                continue;
            }
            lost = true;
            used += snprintf(lostText + used, sizeof lostText - static_cast<size_t>(used), " %03d", k + 1);
        }
        initNewGameState(slot);
    }
    if (lost) showMessageBox(lostText, "error", MESSAGE_BOX_OK);
}

void validateSaveImage() { validateSlots(layoutOf(SAVE_SLOT_COUNT), SaveFileBytes{nullptr, -1}); }

// A full-size file with a saved slot that fails its check: the copy may
// hold that slot whole.
static bool hasDamagedSlot(SaveFileBytes file, const SaveLayout& layout) {
    if (!file.bytes || file.length != layout.full) return false;
    for (int32_t k = 0; k < layout.slots; k++) {
        const uint8_t* slot = slotBytes(file, k);
        if (!isSoundSlotBytes(slot, SAVE_CHECKSUM_WORDS) && wasSavedSlot(slot)) return true;
    }
    return false;
}

void loadSaveImage(SaveFileBytes primary, SaveFileBytes backup, int32_t slotCount) {
    const SaveLayout layout = layoutOf(slotCount);
    gSaveConverted = 0;
    // Only the slots of the layout: those past it are left as they were.
    clearLargeRecord(&gSaveImage, static_cast<size_t>(layout.full));
    // A sound file wins; with none, the bytes at hand still give what they
    // can, the copy only when "save.dat" is missing or too long.
    const SaveFileBytes* chosen = nullptr;
    if (isSoundFile(primary, layout)) chosen = &primary;
    else if (isSoundFile(backup, layout)) chosen = &backup;
    else if (isReadable(primary, layout)) chosen = &primary;
    else if (isReadable(backup, layout)) chosen = &backup;
    if (chosen) takeFileBytes(chosen->bytes, chosen->length, layout);
    clampHeader(gSaveImage.header);
    applyMusicVolume();
    SaveFileBytes none = {nullptr, -1};
    validateSlots(layout, !chosen ? none : chosen == &primary ? backup : primary);
    copyRunningSlotToWork();
}

// The whole file when it is no longer than an image; only its length when it
// is longer (such a file is never used); length -1 when it does not open.
static SaveFileBytes readSaveFile(const char* name, std::unique_ptr<uint8_t[]>& buffer, const SaveLayout& layout) {
    FILE* file = fopen(name, "rb");
    if (!file) return {nullptr, -1};
    struct stat info;
    if (fstat(fileno(file), &info) != 0) {
        fclose(file);
        return {nullptr, -1};
    }
    int64_t length = info.st_size;
    if (length < 0 || length > layout.full) {
        fclose(file);
        return {nullptr, length};
    }
    buffer.reset(new uint8_t[static_cast<size_t>(length)]);
    size_t got = fread(buffer.get(), 1, static_cast<size_t>(length), file);
    fclose(file);
    // A read that stops early leaves a shorter file, as a crash would.
    return {buffer.get(), static_cast<int64_t>(got)};
}

// "<name>.tmp": where a write puts the bytes before the rename.
using TemporaryName = char[64];
static const char* temporaryNameOf(const char* name, TemporaryName& out) {
    snprintf(out, sizeof out, "%s.tmp", name);
    return out;
}

// A temporary beside a save file is left only by a write that was cut off
// (the game killed, the power gone): the file itself is whole, old or new,
// and the 18 MB temporary is of no use.
static void removeStaleTemporaries() {
    for (const char* name : {SAVE_FILE_NAME, SAVE_BACKUP_NAME}) {
        TemporaryName temporary;
        remove(temporaryNameOf(name, temporary));
    }
}

void loadSaveFile(int32_t slotCount) {
    const SaveLayout layout = layoutOf(slotCount);
    // A save still being written is finished before its files are read;
    // with none running, any temporary is stale.
    finishSaveWrite();
    removeStaleTemporaries();
    std::unique_ptr<uint8_t[]> primaryBytes;
    std::unique_ptr<uint8_t[]> backupBytes;
    SaveFileBytes primary = readSaveFile(SAVE_FILE_NAME, primaryBytes, layout);
    SaveFileBytes backup = {nullptr, -1};
    // The copy is read only when "save.dat" alone will not do.
    if (!isSoundFile(primary, layout) || hasDamagedSlot(primary, layout))
        backup = readSaveFile(SAVE_BACKUP_NAME, backupBytes, layout);
    loadSaveImage(primary, backup, layout.slots);
}

void loadSlot(int32_t slot) {
    if (slot < 0 || slot >= SAVE_SLOT_COUNT) return;
    GameState& game = runningGameState();
    memcpy(&game, &gSaveImage.slots[slot], sizeof game);
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) {
        if (game.storage[i] == -1) {
            game.storageCount = i;
            return;
        }
    }
    clampTo(game.storageCount, 0, STORAGE_ENTRY_COUNT);
}

// 保存できませんでした。 -- "could not save", the first line of the box a
// failed write shows; the file's name and the system's reason follow.
static const char WRITE_FAILED_TEXT[] = "\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

void showWriteFailure(const char* name, int error) {
    char text[1024];
    snprintf(text, sizeof text, "%s\n%s: %s", WRITE_FAILED_TEXT, name, strerror(error));
    showMessageBox(text, "error", MESSAGE_BOX_OK);
}

// Writes the bytes to "<name>.tmp" beside the file, flushes them to the disk
// and renames the temporary over the file, so that the file holds either its
// old bytes or all the new ones, whatever happens on the way. Runs on either
// thread: a failure only returns the system's error (0 on success).
static int writeFileWhole(const char* name, const void* bytes, size_t size) {
    TemporaryName temporary;
    temporaryNameOf(name, temporary);
    FILE* file = fopen(temporary, "wb");
    if (!file) return errno;
    bool written = fwrite(bytes, 1, size, file) == size && fflush(file) == 0 && fsync(fileno(file)) == 0;
    int error = written ? 0 : errno;
    if (fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(temporary, name) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        remove(temporary);
        return error != 0 ? error : EIO;
    }
    // The rename itself reaches the disk with the folder.
    int folder = open(".", O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return 0;
}

// A write of the whole image: "save.dat", then, when asked, "_save.dat" once
// "save.dat" is safely in place, so that a failure leaves the two files as
// they were. The first failure stops it.
struct ImageWrite {
    const SaveImage* image;
    bool withBackup;
    const char* failedName;   // nullptr: written
    int error;
};

static void writeImage(ImageWrite& job) {
    job.failedName = nullptr;
    job.error = writeFileWhole(SAVE_FILE_NAME, job.image, sizeof *job.image);
    if (job.error == 0 && job.withBackup) {
        job.error = writeFileWhole(SAVE_BACKUP_NAME, job.image, sizeof *job.image);
        if (job.error != 0) job.failedName = SAVE_BACKUP_NAME;
    } else if (job.error != 0) {
        job.failedName = SAVE_FILE_NAME;
    }
}

// Main thread: the box, and the answer.
static bool reportImageWrite(const ImageWrite& job) {
    if (!job.failedName) return true;
    showWriteFailure(job.failedName, job.error);
    return false;
}

// The write on the worker: it reads only the snapshot, which the main thread
// copied before the start and leaves alone until the join. The outcome waits
// in the job for the main thread, which shows any failure.
struct BackgroundSave {
    SaveImage snapshot;
    ImageWrite job;
    WorkerThread worker;
    bool running;                    // main thread: started, not yet joined
    std::atomic<int32_t> finished;   // raised by the worker (release)
};
static BackgroundSave sBackgroundSave;
int32_t gSaveWriteWaits;

static void runBackgroundSave(void*) {
    writeImage(sBackgroundSave.job);
    sBackgroundSave.finished.store(1, std::memory_order_release);
}

bool finishSaveWrite() {
    BackgroundSave& save = sBackgroundSave;
    if (!save.running) return true;
    threadJoin(save.worker);
    save.running = false;
    save.finished.store(0, std::memory_order_relaxed);
    return reportImageWrite(save.job);
}

void pollSaveWrite() {
    if (sBackgroundSave.running && sBackgroundSave.finished.load(std::memory_order_acquire)) finishSaveWrite();
}

bool isSaveWriteRunning() { return sBackgroundSave.running; }

static void startImageWrite(bool withBackup) {
    BackgroundSave& save = sBackgroundSave;
    finishSaveWrite();
    memcpy(&save.snapshot, &gSaveImage, sizeof save.snapshot);
    save.job = ImageWrite{&save.snapshot, withBackup, nullptr, 0};
    save.finished.store(0, std::memory_order_relaxed);
    if (!threadStart(save.worker, runBackgroundSave, nullptr)) {
        // No thread to be had: the write is done here, late but whole.
        writeImage(save.job);
        reportImageWrite(save.job);
        return;
    }
    save.running = true;
    if (gSaveWriteWaits) finishSaveWrite();
}

static void copyRunningGameTo(int32_t slot) {
    memcpy(&gSaveImage.slots[slot], &runningGameState(), sizeof(GameState));
    sealSlot(gSaveImage.slots[slot]);
}

bool writeSaveSlot(int32_t slot) {
    if (slot != -1) {
        if (slot < 0 || slot >= SAVE_SLOT_COUNT) return false;
        copyRunningGameTo(slot);
    }
    finishSaveWrite();
    ImageWrite job = {&gSaveImage, true, nullptr, 0};
    writeImage(job);
    return reportImageWrite(job);
}

bool startSaveSlotWrite(int32_t slot) {
    if (slot != -1) {
        if (slot < 0 || slot >= SAVE_SLOT_COUNT) return false;
        copyRunningGameTo(slot);
    }
    startImageWrite(true);
    return true;
}

static void clearImage() {
    gSaveImage.header.magic = 0;
    validateSaveImage();
    copyRunningSlotToWork();
}

bool clearSaveData() {
    clearImage();
    finishSaveWrite();
    ImageWrite job = {&gSaveImage, false, nullptr, 0};
    writeImage(job);
    return reportImageWrite(job);
}

void startClearSaveData() {
    clearImage();
    startImageWrite(false);
}

void resetSaveState() {
    finishSaveWrite();
    clearLargeRecord(&gSaveImage, sizeof gSaveImage);
    clearLargeRecord(&gWorkImage, sizeof gWorkImage);
    gCurrentSlot = 0;
    gSaveConverted = 0;
}
