// The save file on real files in a temporary folder: the layout, checksums,
// renewal of damaged slots, new games, the older layouts, the fall-back to
// "_save.dat" and writes that fail half-way.
#include "engine/save_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/thread.h"
#include "platform/window.h"
#include "tests/file_size_limit.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"

using Bytes = std::vector<uint8_t>;

static size_t slotOffset(int32_t k) { return SAVE_HEADER_SIZE + static_cast<size_t>(k) * SAVE_SLOT_SIZE; }

static int32_t wordAt(const Bytes& bytes, size_t offset) {
    int32_t word;
    memcpy(&word, bytes.data() + offset, 4);
    return word;
}

static void putWord(Bytes& bytes, size_t offset, int32_t word) { memcpy(bytes.data() + offset, &word, 4); }

static void seal(GameState& game) { game.checksum = static_cast<int32_t>(slotChecksum(game)); }

static Bytes imageBytes() {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&gSaveImage);
    return Bytes(p, p + sizeof gSaveImage);
}

class SaveFile : public ::testing::Test {
protected:
    void SetUp() override {
        gCurrentSlot = 0;
        // A harness boot earlier in this program leaves background saves
        // waiting for themselves; these tests run them as the game does.
        previousWaits = gSaveWriteWaits;
        gSaveWriteWaits = 0;
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
    }
    void TearDown() override {
        finishSaveWrite();
        gSaveWriteWaits = previousWaits;
        gWindow = previousWindow;
    }

    static bool exists(const char* name) { return access(name, F_OK) == 0; }

    // A renewed image in memory with slots 2, 4, 5 and 6 in use and
    // non-default options; none of it on the disk.
    static void buildImage(int32_t mark) {
        loadSaveFile();
        gOptionSoundLevel = 3;
        gOptionMusicLevel = 7;
        gSaveImage.header.seenEventsAll[61] = 1;
        for (int32_t k : {2, 4, 5, 6}) {
            GameState& slot = gSaveImage.slots[k];
            slot.playTicks = mark + k;
            slot.money = 5000 + k;
            slot.storage[0] = 1301 * 64 + k;
            seal(slot);
        }
    }

    const WindowBackend* previousWindow = nullptr;
    int32_t previousWaits = 0;
    TempFolder folder{"save"};
    WorkingDirectory inFolder{folder.path()};
};

TEST_F(SaveFile, SlotsLieAtTheirOffsetsWithTheWrappingSumOfTheirWords) {
    loadSaveFile();
    GameState& game = runningGameState();
    game.playTicks = 1234;
    game.money = 0x7FFFFFF0;
    for (int32_t i = 0; i < 300; i++) game.storage[i] = 0x7FFFFFFF - i;   // far past 2^32 in sum
    game.unsummed2dfc0 = 0x12345678;
    ASSERT_TRUE(writeSaveSlot(37));

    Bytes file = readFile(SAVE_FILE_NAME);
    ASSERT_EQ(file.size(), (size_t)SAVE_IMAGE_SIZE);
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), file);
    size_t at = slotOffset(37);
    EXPECT_EQ(at, 2832u + 37u * 188360u);
    EXPECT_EQ(wordAt(file, at + 4), SAVE_MAGIC);
    EXPECT_EQ(wordAt(file, at + 8), 1234);
    EXPECT_EQ(wordAt(file, at + 12), 0x7FFFFFF0);
    EXPECT_EQ(wordAt(file, at + 0x18 + 4 * 299), 0x7FFFFFFF - 299);

    uint64_t wide = 0;
    uint32_t sum = 0;
    for (size_t i = 0; i < 47088; i++) {
        uint32_t word = static_cast<uint32_t>(wordAt(file, at + 4 * i));
        wide += word;
        sum += word;
    }
    ASSERT_GT(wide, 0xFFFFFFFFull);
    EXPECT_EQ(static_cast<uint32_t>(wordAt(file, at + 0x2DFC4)), sum);
    EXPECT_EQ(wordAt(file, at + 0x2DFC0), 0x12345678);
    // The neighbours are untouched new games.
    EXPECT_EQ(wordAt(file, slotOffset(36) + 12), 1000);
    EXPECT_EQ(wordAt(file, slotOffset(38) + 12), 1000);

    // The word at 0x2DFC0 is outside the sum; every other changes it.
    GameState& slot = gSaveImage.slots[37];
    uint32_t before = slotChecksum(slot);
    slot.unsummed2dfc0 = 1;
    EXPECT_EQ(slotChecksum(slot), before);
    slot.shopFloorWords[3] += 1;
    EXPECT_EQ(slotChecksum(slot), before + 1);
}

// The images are cleared by handing their pages back, not by writing zeros:
// whatever a run left in them, a reset reads as a fresh process's images.
TEST_F(SaveFile, ResetLeavesBothImagesZeroWhateverTheyHeld) {
    memset(&gSaveImage, 0x5A, sizeof gSaveImage);
    memset(&gWorkImage, 0xA5, sizeof gWorkImage);
    resetSaveState();
    const uint8_t* images[] = {reinterpret_cast<const uint8_t*>(&gSaveImage),
                               reinterpret_cast<const uint8_t*>(&gWorkImage)};
    for (const uint8_t* image : images)
        for (size_t i = 0; i < sizeof(SaveImage); i++) ASSERT_EQ(image[i], 0) << "byte " << i;
}

// With no file, the image written is the renewed header and a hundred new
// games, byte for byte as one made field by field from zero.
TEST_F(SaveFile, FileWrittenAfterLoadingNoFileIsTheRenewedImage) {
    memset(&gSaveImage, 0x5A, sizeof gSaveImage);
    memset(&gWorkImage, 0xA5, sizeof gWorkImage);
    resetSaveState();
    loadSaveFile();
    ASSERT_TRUE(writeSaveSlot(-1));

    static SaveImage want;
    memset(&want, 0, sizeof want);
    want.header.magic = SAVE_MAGIC;
    want.header.optionSoundLevel = 9;
    want.header.optionMusicLevel = 5;
    want.header.optionVoiceLevel = 9;
    want.header.optionMessageSpeed = 1;
    for (GameState& slot : want.slots) initNewGameState(slot);
    const Bytes file = readFile(SAVE_FILE_NAME);
    ASSERT_EQ(file.size(), sizeof want);
    const uint8_t* wantBytes = reinterpret_cast<const uint8_t*>(&want);
    for (size_t i = 0; i < sizeof want; i++) ASSERT_EQ(file[i], wantBytes[i]) << "byte " << i;
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), file);
    EXPECT_EQ(memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)), 0);
}

TEST_F(SaveFile, NoFilesGiveAHundredEmptySlotsAndTheDefaultOptions) {
    memset(&gSaveImage, 0x5A, sizeof gSaveImage);   // what an earlier load may have left
    loadSaveFile();
    const SaveHeader& h = gSaveImage.header;
    EXPECT_EQ(h.magic, SAVE_MAGIC);
    EXPECT_EQ(gOptionSoundLevel, 9);
    EXPECT_EQ(gOptionMusicLevel, 5);
    EXPECT_EQ(gOptionVoiceLevel, 9);
    EXPECT_EQ(gOptionTextSkip, 0);
    EXPECT_EQ(gOptionMessageSpeed, 1);
    EXPECT_EQ(gRecordsUnlocked, 0);
    EXPECT_EQ(gLastSaveSlot, 0);
    EXPECT_EQ(gRecordNormalDays + gRecordScore + gRecordMoney + gRecordHellDays, 0);
    for (uint8_t seen : h.seenEventsAll) ASSERT_EQ(seen, 0);
    for (int32_t k = 0; k < SAVE_SLOT_COUNT; k++) {
        EXPECT_EQ(gSaveImage.slots[k].playTicks, 0) << "slot " << k;
        EXPECT_EQ(gSaveImage.slots[k].magic, SAVE_MAGIC) << "slot " << k;
        EXPECT_EQ(gSaveImage.slots[k].money, 1000) << "slot " << k;
    }
    EXPECT_EQ(gSaveConverted, 0);
    EXPECT_EQ(memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)), 0);
    EXPECT_FALSE(exists(SAVE_FILE_NAME));   // loading writes nothing
    EXPECT_FALSE(exists(SAVE_BACKUP_NAME));
}

TEST_F(SaveFile, InitialEquipmentAndShelfLayoutsByRowAndSize) {
    struct EquipmentCase { int32_t row, index, want; };
    const EquipmentCase EQUIPMENT_CASES[] = {
        {0, 0, 1},   {0, 3, 2301}, {0, 4, -1},  {2, 3, -1},   {7, 2, 1601},  {8, 0, 1},
        {10, 3, 2001}, {11, 0, -1}, {-1, 0, -1}, {3, 5, -1},  {3, -1, -1},
    };
    for (const EquipmentCase& c : EQUIPMENT_CASES)
        EXPECT_EQ(getInitialEquipment(c.row, c.index), c.want) << "row " << c.row << " index " << c.index;

    struct LayoutCase { int32_t size; ShelfPlace first, fourth; };
    const LayoutCase LAYOUT_CASES[] = {
        {0, {3, 3}, {9, 1}}, {1, {4, 3}, {9, 1}}, {2, {4, 3}, {14, 1}}, {3, {4, 3}, {14, 1}},
        {-2, {3, 3}, {9, 1}},   // a damaged size stays inside the table
        {9, {4, 3}, {14, 1}},
    };
    static GameState game;
    for (const LayoutCase& c : LAYOUT_CASES) {
        game.shopSize = c.size;
        initShelfLayout(game);
        EXPECT_EQ(game.shelfLayout[0].x, c.first.x) << "size " << c.size;
        EXPECT_EQ(game.shelfLayout[0].z, c.first.z) << "size " << c.size;
        EXPECT_EQ(game.shelfLayout[3].x, c.fourth.x) << "size " << c.size;
        EXPECT_EQ(game.shelfLayout[3].z, c.fourth.z) << "size " << c.size;
        EXPECT_EQ(game.shelfLayout[9].x, 12) << "size " << c.size;
        EXPECT_EQ(game.shelfLayout[9].z, 6) << "size " << c.size;
    }
}

TEST_F(SaveFile, CollectionCountsRunsOfCategories) {
    struct Row { int32_t id; };
    const Row ROWS[] = {{0}, {1}, {2}, {101}, {102}, {301}, {5}, {6}};
    static GameState game;
    memset(&game, 0, sizeof game);
    fillCollection(game, ROWS, 8);
    const int32_t WANT[][2] = {{0, 3}, {1, 2}, {3, 1}, {0, 2}, {0, 0}};
    for (int32_t e = 0; e < 5; e++) {
        EXPECT_EQ(game.collection[e].category, WANT[e][0]) << "entry " << e;
        EXPECT_EQ(game.collection[e].count, WANT[e][1]) << "entry " << e;
    }
    // Runs beyond the hundredth are left out rather than written past it.
    static Row many[150];
    for (int32_t r = 0; r < 150; r++) many[r].id = (r % 2) * 100 + 1;
    memset(&game, 0, sizeof game);
    fillCollection(game, many, 150);
    EXPECT_EQ(game.collection[99].category, 1);
    EXPECT_EQ(game.collection[99].count, 1);
    EXPECT_EQ(game.marketStock[0].stock, 0);
}

// セーブデータが壊れていたため、次の番号を新しいゲームにしました。
static const char SLOTS_LOST_LINE[] =
    "\x83\x5a\x81\x5b\x83\x75\x83\x66\x81\x5b\x83\x5e\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xbd"
    "\x82\xbd\x82\xdf\x81\x41\x8e\x9f\x82\xcc\x94\xd4\x8d\x86\x82\xf0\x90\x56\x82\xb5\x82\xa2\x83\x51"
    "\x81\x5b\x83\x80\x82\xc9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";

// Offsets in a slot that one changed byte can hit, and whether the slot
// then fails its check.
struct SlotByteCase { const char* what; size_t offset; bool fails; };
const SlotByteCase SLOT_BYTE_CASES[] = {
    {"money", 0x0C, true},
    {"play time", 0x08, true},
    {"magic", 0x04, true},
    {"a storage key", 0x18 + 2, true},
    {"the checksum", 0x2DFC4, true},
    {"the word outside the sum", 0x2DFC0, false},
};

// With no sound copy of the slot, the damaged slot alone becomes a new game
// and the player is told its number; nothing else of the file is lost.
TEST_F(SaveFile, OneChangedByteWithoutASoundCopyRenewsOnlyThatSlotAndTellsIt) {
    buildImage(100);
    ASSERT_TRUE(writeSaveSlot(-1));
    const Bytes good = readFile(SAVE_FILE_NAME);

    struct CopyCase { const char* what; bool present; bool damaged; size_t length; };
    const CopyCase COPIES[] = {
        {"no copy", false, false, 0},
        {"the copy's slot damaged too", true, true, SAVE_IMAGE_SIZE},
        {"the copy cut inside the slot", true, false, slotOffset(5) + 1000},
    };
    for (const CopyCase& copy : COPIES)
        for (const SlotByteCase& c : SLOT_BYTE_CASES) {
            SCOPED_TRACE(std::string(copy.what) + ", " + c.what);
            Bytes damaged = good;
            damaged[slotOffset(5) + c.offset] ^= 0x01;
            writeFile(SAVE_FILE_NAME, damaged);
            remove(SAVE_BACKUP_NAME);
            if (copy.present) {
                Bytes backup = copy.damaged ? damaged : good;
                backup.resize(copy.length);
                writeFile(SAVE_BACKUP_NAME, backup);
            }
            headlessWindowReset();
            loadSaveFile();
            const GameState& slot = gSaveImage.slots[5];
            EXPECT_EQ(slot.playTicks, c.fails ? 0 : 105);
            EXPECT_EQ(slot.money, c.fails ? 1000 : 5000 + 5);
            EXPECT_EQ(slot.storage[0], c.fails ? -1 : 1301 * 64 + 5);
            for (int32_t k : {2, 4, 6}) {
                EXPECT_EQ(gSaveImage.slots[k].playTicks, 100 + k) << "slot " << k;
                EXPECT_EQ(gSaveImage.slots[k].money, 5000 + k) << "slot " << k;
            }
            EXPECT_EQ(gOptionSoundLevel, 3);
            EXPECT_EQ(gOptionMusicLevel, 7);
            EXPECT_EQ(gSaveImage.header.seenEventsAll[61], 1);
            EXPECT_EQ(memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)), 0);
            ASSERT_EQ(gHeadlessMessageBoxes.total, c.fails ? 1 : 0);
            if (c.fails) {
                EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error");
                EXPECT_EQ(std::string(gHeadlessMessageBoxes.boxes[0].text), std::string(SLOTS_LOST_LINE) + "\n 006");
            }
        }
}

// One changed byte in slot 0 of "save.dat": the slot comes from "_save.dat",
// every other slot and the header from "save.dat", with no box; the next
// options save then writes the sound slot into both files.
TEST_F(SaveFile, ADamagedSlotIsTakenFromTheSoundCopyAndTheNextSaveKeepsIt) {
    buildImage(100);
    GameState& first = gSaveImage.slots[0];
    first.playTicks = 4321;
    first.money = 777;
    first.storage[0] = 1201 * 64;
    seal(first);
    const GameState sound = first;
    ASSERT_TRUE(writeSaveSlot(-1));
    const Bytes good = readFile(SAVE_FILE_NAME);
    // The copy differs in a sound slot of its own, which must not be taken.
    Bytes copy = good;
    {
        GameState other = gSaveImage.slots[4];
        other.playTicks = 999;
        seal(other);
        memcpy(copy.data() + slotOffset(4), &other, sizeof other);
    }

    for (const SlotByteCase& c : SLOT_BYTE_CASES) {
        if (!c.fails) continue;
        SCOPED_TRACE(c.what);
        Bytes damaged = good;
        damaged[slotOffset(0) + c.offset] ^= 0x01;
        writeFile(SAVE_FILE_NAME, damaged);
        writeFile(SAVE_BACKUP_NAME, copy);
        headlessWindowReset();
        loadSaveFile();
        EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
        EXPECT_EQ(memcmp(&gSaveImage.slots[0], &sound, sizeof sound), 0);
        EXPECT_EQ(memcmp(&runningGameState(), &sound, sizeof sound), 0);
        EXPECT_EQ(gSaveImage.slots[4].playTicks, 104);
        EXPECT_EQ(gOptionSoundLevel, 3);

        gOptionSoundLevel = 5;   // an option changed at the title, then saved
        ASSERT_TRUE(writeSaveSlot(-1));
        for (const char* name : {SAVE_FILE_NAME, SAVE_BACKUP_NAME}) {
            const Bytes saved = readFile(name);
            ASSERT_EQ(saved.size(), (size_t)SAVE_IMAGE_SIZE) << name;
            EXPECT_EQ(memcmp(saved.data() + slotOffset(0), &sound, sizeof sound), 0) << name;
            EXPECT_EQ(wordAt(saved, offsetof(SaveHeader, optionSoundLevel)), 5) << name;
        }
    }
}

// Slots never saved into are renewed on every load (they carry no checksum):
// that is no damage to tell, and no reason to read the copy.
TEST_F(SaveFile, NeverSavedSlotsAreRenewedSilently) {
    buildImage(100);
    ASSERT_TRUE(writeSaveSlot(-1));
    ASSERT_NE(static_cast<uint32_t>(gSaveImage.slots[9].checksum), slotChecksum(gSaveImage.slots[9]));
    Bytes copy = readFile(SAVE_BACKUP_NAME);
    GameState other = gSaveImage.slots[9];
    other.playTicks = 55;
    seal(other);
    memcpy(copy.data() + slotOffset(9), &other, sizeof other);
    writeFile(SAVE_BACKUP_NAME, copy);
    headlessWindowReset();
    loadSaveFile();
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    EXPECT_EQ(gSaveImage.slots[9].playTicks, 0);
    EXPECT_EQ(gSaveImage.slots[2].playTicks, 102);
}

// A save killed half-way leaves its temporary beside the whole old file; the
// next start removes it and reads the file.
TEST_F(SaveFile, StartUpRemovesTheTemporariesOfACutOffSave) {
    buildImage(100);
    ASSERT_TRUE(writeSaveSlot(-1));
    const Bytes good = readFile(SAVE_FILE_NAME);
    writeFile("save.dat.tmp", Bytes(good.begin(), good.begin() + 5000));
    writeFile("_save.dat.tmp", Bytes(100, 0xEE));
    headlessWindowReset();
    loadSaveFile();
    EXPECT_FALSE(exists("save.dat.tmp"));
    EXPECT_FALSE(exists("_save.dat.tmp"));
    EXPECT_EQ(gSaveImage.slots[2].playTicks, 102);
    EXPECT_EQ(readFile(SAVE_FILE_NAME), good);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
}

TEST_F(SaveFile, ADamagedSaveLoadsTheSoundBackup) {
    buildImage(500);   // the copy: slot 2 played 502 ticks
    writeFile(SAVE_BACKUP_NAME, imageBytes());
    const Bytes backup = imageBytes();
    buildImage(300);   // the newer save: 302 ticks
    const Bytes save = imageBytes();

    struct Case { const char* what; size_t length; size_t flip; };
    const Case CASES[] = {
        {"cut short by a crash", 100000, 0},
        {"cut to nothing", 0, 0},
        {"one byte short", SAVE_IMAGE_SIZE - 1, 0},
        {"one byte too long", SAVE_IMAGE_SIZE + 1, 0},
        {"a damaged header", SAVE_IMAGE_SIZE, 1},
    };
    for (const Case& c : CASES) {
        Bytes damaged = save;
        damaged.resize(c.length, 0);
        if (c.flip) damaged[0] ^= 0xFF;
        writeFile(SAVE_FILE_NAME, damaged);
        loadSaveFile();
        EXPECT_EQ(gSaveImage.slots[2].playTicks, 502) << c.what;
        EXPECT_EQ(memcmp(&gSaveImage, backup.data(), backup.size()), 0) << c.what;
        EXPECT_EQ(memcmp(&runningGameState(), backup.data() + offsetof(SaveImage, slots), sizeof(GameState)), 0) << c.what;
        EXPECT_EQ(readFile(SAVE_FILE_NAME), damaged) << c.what;   // loading repairs nothing on disk
        EXPECT_EQ(readFile(SAVE_BACKUP_NAME), backup) << c.what;
    }
}

TEST_F(SaveFile, WithoutASoundBackupADamagedSaveKeepsWhatItCan) {
    buildImage(300);
    const Bytes save = imageBytes();
    // Slots 0 to 2 whole, slot 3 cut: the header and the whole slots stay.
    const size_t cut = slotOffset(3) + 1000;

    struct Case { const char* what; size_t length; bool flipHeader; const char* backup; int32_t slot2Ticks; int32_t soundLevel; };
    const Case CASES[] = {
        {"cut, no copy", cut, false, nullptr, 302, 3},
        {"cut, the copy cut too", cut, false, "short", 302, 3},
        {"damaged header, no copy", SAVE_IMAGE_SIZE, true, nullptr, 0, 9},
        {"too long, no copy", SAVE_IMAGE_SIZE + 1, false, nullptr, 0, 9},
        {"too long, the copy cut", SAVE_IMAGE_SIZE + 1, false, "short", 302, 3},
    };
    for (const Case& c : CASES) {
        remove(SAVE_BACKUP_NAME);
        if (c.backup) writeFile(SAVE_BACKUP_NAME, Bytes(save.begin(), save.begin() + (long)cut));
        Bytes damaged = save;
        damaged.resize(c.length, 0);
        if (c.flipHeader) damaged[1] ^= 0x10;
        writeFile(SAVE_FILE_NAME, damaged);
        loadSaveFile();
        EXPECT_EQ(gSaveImage.slots[2].playTicks, c.slot2Ticks) << c.what;
        EXPECT_EQ(gSaveImage.slots[4].playTicks, 0) << c.what;   // beyond the bytes: a new game
        EXPECT_EQ(gSaveImage.slots[4].money, 1000) << c.what;
        EXPECT_EQ(gOptionSoundLevel, c.soundLevel) << c.what;
        EXPECT_EQ(gSaveImage.header.magic, SAVE_MAGIC) << c.what;
    }
}

TEST_F(SaveFile, HeaderValuesUsedAsIndicesAreClampedOnLoad) {
    loadSaveFile();
    struct Case { int32_t sound, music, voice, skip, speed, last; int32_t want[6]; };
    const Case CASES[] = {
        {-3, 12, 99, 5, 7, 100, {0, 9, 9, 1, 2, 99}},
        {INT32_MIN, -1, 0, 65535, -2, -7, {0, 0, 0, 1, 0, 0}},
        {4, 0, 9, 1, 2, 99, {4, 0, 9, 1, 2, 99}},
    };
    for (const Case& c : CASES) {
        gOptionSoundLevel = c.sound;
        gOptionMusicLevel = c.music;
        gOptionVoiceLevel = c.voice;
        gOptionTextSkip = static_cast<uint16_t>(c.skip);
        gOptionMessageSpeed = c.speed;
        gLastSaveSlot = c.last;
        ASSERT_TRUE(writeSaveSlot(-1));   // options reach the disk without a slot
        loadSaveFile();
        const int32_t got[6] = {gOptionSoundLevel, gOptionMusicLevel, gOptionVoiceLevel, gOptionTextSkip,
                                gOptionMessageSpeed, gLastSaveSlot};
        for (int32_t i = 0; i < 6; i++) EXPECT_EQ(got[i], c.want[i]) << "sound " << c.sound << ", value " << i;
    }
}

TEST_F(SaveFile, LoadingASlotRecountsTheStorage) {
    loadSaveFile();
    struct Case { int32_t firstEmpty; int32_t stored; int32_t want; };
    const Case CASES[] = {
        {17, 500, 17},
        {0, 3, 0},
        {-1, 123, 123},        // storage full: the stored count stays
        {-1, 99999, 20000},    // within the storage
        {-1, -4, 0},
    };
    for (const Case& c : CASES) {
        GameState& slot = gSaveImage.slots[8];
        for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) slot.storage[i] = 4 * 64 + i % 16;
        if (c.firstEmpty >= 0) slot.storage[c.firstEmpty] = -1;
        slot.storageCount = c.stored;
        slot.money = 4242;
        loadSlot(8);
        EXPECT_EQ(runningGameState().storageCount, c.want) << "first empty " << c.firstEmpty << " stored " << c.stored;
        EXPECT_EQ(runningGameState().money, 4242);
    }
    runningGameState().money = 1;
    loadSlot(SAVE_SLOT_COUNT);   // no such slot: nothing changes
    loadSlot(-1);
    EXPECT_EQ(runningGameState().money, 1);
}

// Old slots are built word by word, their checksum over their own count of
// words stored behind the one word left out.
static void sealOld(Bytes& file, size_t at, int32_t summedWords) {
    uint32_t sum = 0;
    for (int32_t i = 0; i < summedWords; i++) sum += static_cast<uint32_t>(wordAt(file, at + 4 * (size_t)i));
    putWord(file, at + 4 * (size_t)(summedWords + 1), static_cast<int32_t>(sum));
}

static Bytes oldHeader(size_t size) {
    Bytes file(size, 0);
    putWord(file, 0, SAVE_MAGIC);
    putWord(file, 4, 2);   // sound level
    putWord(file, 8, 8);   // music level
    return file;
}

TEST_F(SaveFile, TheOlderLayoutKeepsTheFirstBytesOfEachSoundSlot) {
    const size_t oldSlot = OLD_SLOT_SIZE;
    Bytes file = oldHeader(OLD_IMAGE_SIZE);
    size_t at0 = SAVE_HEADER_SIZE;
    putWord(file, at0 + 4, SAVE_MAGIC);
    putWord(file, at0 + 8, 4321);
    putWord(file, at0 + 0x0C, 55555);
    putWord(file, at0 + 0x18, 12345);
    file[at0 + 188019] = 0xAB;                                 // the last byte kept
    for (size_t i = 188020; i < 188044; i++) file[at0 + i] = 0xCD;   // summed, not kept
    sealOld(file, at0, 47011);
    size_t at1 = at0 + oldSlot;   // a slot whose sum is off by one
    putWord(file, at1 + 4, SAVE_MAGIC);
    putWord(file, at1 + 8, 77);
    sealOld(file, at1, 47011);
    putWord(file, at1 + 4 * 47012, wordAt(file, at1 + 4 * 47012) + 1);
    writeFile(SAVE_FILE_NAME, file);

    loadSaveFile();
    EXPECT_EQ(gSaveConverted, 1);
    EXPECT_EQ(gOptionSoundLevel, 2);
    EXPECT_EQ(gOptionMusicLevel, 8);
    const GameState& s0 = gSaveImage.slots[0];
    EXPECT_EQ(s0.playTicks, 4321);
    EXPECT_EQ(s0.money, 55555);
    EXPECT_EQ(s0.storage[0], 12345);
    EXPECT_EQ(s0.storage[1], 0);   // kept as it was, not emptied
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&s0);
    EXPECT_EQ(bytes[188019], 0xAB);
    for (size_t i = 188020; i < 0x2DFC4; i++) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(static_cast<uint32_t>(s0.checksum), slotChecksum(s0));
    const GameState& s1 = gSaveImage.slots[1];
    EXPECT_EQ(s1.playTicks, 0);
    EXPECT_EQ(s1.money, 1000);
    EXPECT_EQ(s1.storage[0], -1);
    EXPECT_EQ(static_cast<uint32_t>(s1.checksum), slotChecksum(s1));
    EXPECT_EQ(gSaveImage.slots[99].money, 1000);   // empty old slots become new games
    EXPECT_EQ(memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)), 0);
}

TEST_F(SaveFile, TheOldestLayoutGrowsTheStorageAndMovesTheRestUp) {
    const size_t oldSlot = OLDEST_SLOT_SIZE;
    const size_t moved = 0x13898 - 0xC818;   // how far everything behind the storage moves
    Bytes file = oldHeader(OLDEST_IMAGE_SIZE);
    size_t at0 = SAVE_HEADER_SIZE;
    putWord(file, at0 + 4, SAVE_MAGIC);
    putWord(file, at0 + 8, 99);
    putWord(file, at0 + 0x0C, 77);
    putWord(file, at0 + 0x18, 111);                          // storage[0]
    putWord(file, at0 + 0x18 + 4 * 12799, 222);              // storage[12799]
    putWord(file, at0 + 0xC818, 333);                        // shelves[0][0]
    putWord(file, at0 + offsetof(GameState, dayPhase) - moved, 3);
    putWord(file, at0 + offsetof(GameState, adventurers) + 3 * sizeof(AdventurerRecord) - moved, 42);
    sealOld(file, at0, 39811);
    size_t at1 = at0 + oldSlot;   // wrong magic
    putWord(file, at1 + 4, SAVE_MAGIC + 1);
    putWord(file, at1 + 8, 88);
    sealOld(file, at1, 39811);
    writeFile(SAVE_FILE_NAME, file);

    loadSaveFile();
    EXPECT_EQ(gSaveConverted, 1);
    EXPECT_EQ(gOptionSoundLevel, 2);
    const GameState& s0 = gSaveImage.slots[0];
    EXPECT_EQ(s0.magic, SAVE_MAGIC);
    EXPECT_EQ(s0.playTicks, 99);
    EXPECT_EQ(s0.money, 77);
    EXPECT_EQ(s0.storage[0], 111);
    EXPECT_EQ(s0.storage[12799], 222);
    for (int32_t i = 12800; i < STORAGE_ENTRY_COUNT; i++) ASSERT_EQ(s0.storage[i], -1) << "entry " << i;
    EXPECT_EQ(s0.shelves[0][0], 333);
    EXPECT_EQ(s0.dayPhase, 3);
    EXPECT_EQ(s0.adventurers[3].level, 42);
    EXPECT_EQ(static_cast<uint32_t>(s0.checksum), slotChecksum(s0));
    const GameState& s1 = gSaveImage.slots[1];
    EXPECT_EQ(s1.playTicks, 0);
    EXPECT_EQ(s1.money, 1000);
    EXPECT_EQ(static_cast<uint32_t>(s1.checksum), slotChecksum(s1));

    // Clearing after a conversion leaves the slots zero: shown as empty.
    ASSERT_TRUE(clearSaveData());
    EXPECT_EQ(gSaveImage.slots[0].magic, 0);
    EXPECT_EQ(gSaveImage.slots[0].playTicks, 0);
    EXPECT_EQ(gOptionSoundLevel, 9);
}

TEST_F(SaveFile, ClearingRenewsSaveDatAndLeavesTheCopy) {
    buildImage(10);
    ASSERT_TRUE(writeSaveSlot(-1));
    const Bytes copy = readFile(SAVE_BACKUP_NAME);
    ASSERT_TRUE(clearSaveData());
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), copy);
    Bytes cleared = readFile(SAVE_FILE_NAME);
    ASSERT_EQ(cleared.size(), (size_t)SAVE_IMAGE_SIZE);
    EXPECT_EQ(memcmp(cleared.data(), &gSaveImage, cleared.size()), 0);
    EXPECT_EQ(memcmp(&runningGameState(), &gSaveImage.slots[gCurrentSlot], sizeof(GameState)), 0);
    EXPECT_EQ(gOptionSoundLevel, 9);
    for (const GameState& slot : gSaveImage.slots) {
        ASSERT_EQ(slot.magic, SAVE_MAGIC);
        ASSERT_EQ(slot.playTicks, 0);
    }
}

// Writes that stop half-way: a file size limit makes the write fail with
// EFBIG after the first mebibyte.
TEST_F(SaveFile, AWriteThatFailsHalfWayLeavesBothOldFiles) {
    buildImage(700);
    ASSERT_TRUE(writeSaveSlot(-1));
    const Bytes oldSave = readFile(SAVE_FILE_NAME);
    const Bytes oldCopy = readFile(SAVE_BACKUP_NAME);

    runningGameState().playTicks = 123456;
    {
        FileSizeLimit limit(1 << 20);
        EXPECT_FALSE(writeSaveSlot(2));
    }
    EXPECT_EQ(readFile(SAVE_FILE_NAME), oldSave);
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), oldCopy);
    EXPECT_FALSE(exists("save.dat.tmp"));
    {
        FileSizeLimit limit(1 << 20);
        EXPECT_FALSE(clearSaveData());
    }
    EXPECT_EQ(readFile(SAVE_FILE_NAME), oldSave);
    loadSaveFile();
    EXPECT_EQ(gSaveImage.slots[2].playTicks, 702);
    EXPECT_EQ(gOptionMusicLevel, 7);

    // "save.dat" written, the copy not: reported, and both still load.
    ASSERT_EQ(mkdir("_save.dat.tmp", 0700), 0);   // the copy's temporary cannot be made
    runningGameState().playTicks = 9;
    EXPECT_FALSE(writeSaveSlot(6));
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), oldCopy);
    Bytes newSave = readFile(SAVE_FILE_NAME);
    EXPECT_EQ(wordAt(newSave, slotOffset(6) + 8), 9);
    rmdir("_save.dat.tmp");
    ASSERT_TRUE(writeSaveSlot(6));
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), newSave);
}

// 保存できませんでした。 ("could not save"), the box's first line.
static const char WRITE_FAILED_LINE[] =
    "\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

static std::string lastBoxText() {
    const HeadlessMessageBoxes& boxes = gHeadlessMessageBoxes;
    return boxes.count > 0 ? boxes.boxes[boxes.count - 1].text : "";
}

// Whether each box shown was shown on the main thread.
static int32_t sBoxesOffMain;
static int32_t boxOnMainOnly(const char* text, const char* caption, int32_t kind) {
    if (!threadIsMain()) ++sBoxesOffMain;
    return WINDOW_HEADLESS.messageBox(text, caption, kind);
}

struct FailedSaveCase {
    const char* name;
    bool (*save)();           // false: it failed
    const char* blocker;      // a folder in this temporary's place: it cannot be made
    const char* failedFile;
    const char* reason;
};

static bool waitForBackground() {
    // Joined by the tick's poll, as the frame loop does.
    while (isSaveWriteRunning()) pollSaveWrite();
    return gHeadlessMessageBoxes.total == 0;
}

static const FailedSaveCase FAILED_SAVES[] = {
    {"slot_too_large", [] { return writeSaveSlot(2); }, nullptr, "save.dat", "File too large"},
    {"clear_too_large", [] { return clearSaveData(); }, nullptr, "save.dat", "File too large"},
    {"worker_slot_too_large", [] { return startSaveSlotWrite(2) && finishSaveWrite(); }, nullptr, "save.dat",
     "File too large"},
    {"worker_clear_too_large", [] { startClearSaveData(); return finishSaveWrite(); }, nullptr, "save.dat",
     "File too large"},
    {"worker_polled_too_large", [] { return startSaveSlotWrite(2) && waitForBackground(); }, nullptr, "save.dat",
     "File too large"},
    {"cannot_create", [] { return writeSaveSlot(2); }, "save.dat.tmp", "save.dat", "Is a directory"},
    {"worker_cannot_create_copy", [] { return startSaveSlotWrite(2) && finishSaveWrite(); }, "_save.dat.tmp",
     "_save.dat", "Is a directory"},
};

// Every failed write tells the player, on the main thread, which file and
// why; the files on the disk stay as they were and no temporary is left.
TEST_F(SaveFile, AFailedSaveIsToldAndLeavesBothFilesAsTheyWere) {
    static WindowBackend recording = WINDOW_HEADLESS;
    recording.messageBox = boxOnMainOnly;
    gWindow = &recording;
    for (const FailedSaveCase& c : FAILED_SAVES) {
        SCOPED_TRACE(c.name);
        buildImage(700);
        ASSERT_TRUE(writeSaveSlot(-1));
        const Bytes oldSave = readFile(SAVE_FILE_NAME);
        const Bytes oldCopy = readFile(SAVE_BACKUP_NAME);
        headlessWindowReset();
        sBoxesOffMain = 0;
        runningGameState().playTicks = 123456;
        if (c.blocker) {
            ASSERT_EQ(mkdir(c.blocker, 0700), 0);
        }
        bool saved;
        {
            std::optional<FileSizeLimit> limit;
            if (!c.blocker) limit.emplace(1 << 20);
            saved = c.save();
        }
        EXPECT_FALSE(saved);
        ASSERT_EQ(gHeadlessMessageBoxes.total, 1);
        EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error");
        EXPECT_EQ(lastBoxText(), std::string(WRITE_FAILED_LINE) + "\n" + c.failedFile + ": " + c.reason);
        EXPECT_EQ(sBoxesOffMain, 0);
        EXPECT_FALSE(isSaveWriteRunning());
        if (c.blocker) rmdir(c.blocker);
        if (strcmp(c.failedFile, SAVE_FILE_NAME) == 0) {
            EXPECT_EQ(readFile(SAVE_FILE_NAME), oldSave);
        }
        EXPECT_EQ(readFile(SAVE_BACKUP_NAME), oldCopy);
        EXPECT_FALSE(exists("save.dat.tmp"));
        EXPECT_FALSE(exists("_save.dat.tmp"));
    }
}

// The worker writes the image as it was when the save started; a second
// save at once, and the join at shut-down or before a load, wait for the one
// running, so both files end whole and equal to the image.
TEST_F(SaveFile, WorkerSavesFollowedAtOnceBySavesAndShutDownWriteWholeFiles) {
    buildImage(300);
    runningGameState().playTicks = 11;
    ASSERT_TRUE(startSaveSlotWrite(2));
    runningGameState().playTicks = 22;
    ASSERT_TRUE(startSaveSlotWrite(3));
    const Bytes image = imageBytes();
    gOptionMusicLevel = 1;   // after the start: the copy being written keeps 7
    EXPECT_TRUE(finishSaveWrite());   // as at shut-down
    EXPECT_EQ(readFile(SAVE_FILE_NAME), image);
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), image);

    runningGameState().playTicks = 33;
    ASSERT_TRUE(startSaveSlotWrite(4));
    const Bytes image4 = imageBytes();
    ASSERT_TRUE(writeSaveSlot(-1));   // the main thread's write after the worker's
    EXPECT_EQ(readFile(SAVE_FILE_NAME), image4);
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), image4);

    runningGameState().playTicks = 44;
    ASSERT_TRUE(startSaveSlotWrite(5));
    const Bytes image5 = imageBytes();
    loadSaveFile();   // reads back only once the write is done
    EXPECT_EQ(imageBytes(), image5);
    EXPECT_EQ(gSaveImage.slots[5].playTicks, 44);
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), image5);

    startClearSaveData();
    resetSaveState();   // a new boot joins it too
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), image5);
    EXPECT_EQ(wordAt(readFile(SAVE_FILE_NAME), slotOffset(5) + 8), 0);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    EXPECT_FALSE(startSaveSlotWrite(SAVE_SLOT_COUNT));
}

// With no thread to be had, the save is written at once on the main thread.
TEST_F(SaveFile, AWorkerSaveWithoutAThreadWritesAtOnce) {
    buildImage(50);
    gThreadStartRefusals = 1;
    ASSERT_TRUE(startSaveSlotWrite(-1));
    EXPECT_EQ(gThreadStartRefusals, 0);
    EXPECT_FALSE(isSaveWriteRunning());
    EXPECT_EQ(readFile(SAVE_FILE_NAME), imageBytes());
    EXPECT_EQ(readFile(SAVE_BACKUP_NAME), imageBytes());
}
