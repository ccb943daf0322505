// engine/save_file.h: the save file, its two images in memory and the
// running game.
// "save.dat" and its copy "_save.dat" beside the program hold one image: a
// SaveHeader (options, records, the seen-event flags of all games) and 100
// GameState slots. gSaveImage is the file image, read once at start-up by
// loadSaveFile; the title lists its slots and the options and records live
// in its header. gWorkImage is a working copy whose slot gCurrentSlot is the
// running game that every subsystem reads and writes. Nothing is saved at
// exit: the save screens call writeSaveSlot or startSaveSlotWrite. Main
// thread only, except the background write of a copy of the image.
// The records are the file's bytes: little-endian, fixed-width, explicit
// padding named by its offset, no pointers.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/adventurer_record.h"
#include "engine/story_flags.h"

static_assert(std::endian::native == std::endian::little, "the save file is read and written as it lies in memory");

constexpr int32_t SAVE_MAGIC = 0x341944DA;
constexpr int32_t SAVE_SLOT_COUNT = 100;
constexpr int32_t SAVE_HEADER_SIZE = 2832;
constexpr int32_t SAVE_SLOT_SIZE = 188360;
constexpr int32_t SAVE_IMAGE_SIZE = 18838832;
constexpr int32_t SAVE_CHECKSUM_WORDS = 47088;   // i32 0..47087 of a slot are summed

// The two older layouts that are converted on load: slots of 188,052 bytes,
// and before them slots of 159,252 bytes whose storage held 12,800 entries.
constexpr int32_t OLD_SLOT_SIZE = 188052;
constexpr int32_t OLD_IMAGE_SIZE = SAVE_HEADER_SIZE + SAVE_SLOT_COUNT * OLD_SLOT_SIZE;
constexpr int32_t OLDEST_SLOT_SIZE = 159252;
constexpr int32_t OLDEST_IMAGE_SIZE = SAVE_HEADER_SIZE + SAVE_SLOT_COUNT * OLDEST_SLOT_SIZE;
constexpr int32_t OLDEST_STORAGE_ENTRIES = 12800;
static_assert(OLD_IMAGE_SIZE == 18808032);
static_assert(OLDEST_IMAGE_SIZE == 15928032);

constexpr char SAVE_FILE_NAME[] = "save.dat";
constexpr char SAVE_BACKUP_NAME[] = "_save.dat";

constexpr int32_t SEEN_EVENT_COUNT = 2400;       // byte [major * 60 + minor]
constexpr int32_t OPTION_LEVEL_MAX = 9;          // sound, music and voice levels 0..9
constexpr int32_t OPTION_MESSAGE_SPEED_MAX = 2;

constexpr int32_t STORAGE_ENTRY_COUNT = 20000;
constexpr int32_t SHELF_ROWS = 15;
constexpr int32_t SHELF_CELLS = 20;
constexpr int32_t PRICE_RECORD_COUNT = 1000;     // per item definition row
constexpr int32_t TREND_SLOT_COUNT = 20;
constexpr int32_t COUNTER_LOG_COUNT = 100;
constexpr int32_t COLLECTION_ENTRY_COUNT = 100;
constexpr int32_t COLLECTION_SEEN_COUNT = 64;
constexpr int32_t MARKET_STOCK_COUNT = 1024;
constexpr int32_t ORDER_COUNT = 10;
constexpr int32_t NEWS_COUNT = 20;
constexpr int32_t NEWS_TEXT_SIZE = 256;
constexpr int32_t STAGE_MARK_COUNT = 300;
constexpr int32_t STORY_FLAG_COUNT = 724;
constexpr int32_t DAY_LOG_COUNT = 3;             // 0 sold at the counter, 1 bought from sellers, 2 found
constexpr int32_t DAY_LOG_ENTRIES = 100;
constexpr int32_t DUNGEON_COUNT = 6;
constexpr int32_t BEST_TIME_SECTIONS = 20;
constexpr int32_t SHELF_COUNT = 20;              // shelves with a vending word
constexpr int32_t VENDING_STOCK_SLOTS = 20;
constexpr int32_t SHELF_LAYOUT_COUNT = 10;
constexpr int32_t SHOP_SIZE_COUNT = 4;
constexpr int32_t CUSTOMER_RELATION_COUNT = 100;
constexpr int32_t FUSION_KNOWN_WORDS = 25;
constexpr int32_t KEPT_BAG_SIZE = 30;
constexpr int32_t RECENT_SALE_COUNT = 20;
constexpr int32_t INITIAL_EQUIPMENT_ROWS = 11;

// 2,832 bytes. A renewed header holds the magic, levels 9 / 5 / 9, message
// speed 1 and zero elsewhere.
struct SaveHeader {
    int32_t magic;                 // SAVE_MAGIC
    int32_t optionSoundLevel;      // 0..9
    int32_t optionMusicLevel;      // 0..9
    int32_t optionVoiceLevel;      // 0..9
    uint16_t unused010;
    uint16_t optionTextSkip;       // skip unread text 0/1
    int32_t optionMessageSpeed;    // 0..2
    uint16_t recordsUnlocked;      // 1 once a game was cleared
    uint8_t pad01a[2];
    int32_t lastSaveSlot;          // cursor of the save-slot list
    uint8_t seenEventsAll[SEEN_EVENT_COUNT];   // event seen in any game
    int32_t recordNormalDays;      // best day count of Normal Survival, 0 none
    int32_t recordScore;           // best end-game score
    int32_t recordMoney;           // best end-game money
    int32_t recordHellDays;        // best day count of Survival Hell
    uint8_t unused990[384];
};
static_assert(sizeof(SaveHeader) == SAVE_HEADER_SIZE);
static_assert(offsetof(SaveHeader, optionSoundLevel) == 0x004);
static_assert(offsetof(SaveHeader, optionMusicLevel) == 0x008);
static_assert(offsetof(SaveHeader, optionVoiceLevel) == 0x00C);
static_assert(offsetof(SaveHeader, optionTextSkip) == 0x012);
static_assert(offsetof(SaveHeader, optionMessageSpeed) == 0x014);
static_assert(offsetof(SaveHeader, recordsUnlocked) == 0x018);
static_assert(offsetof(SaveHeader, lastSaveSlot) == 0x01C);
static_assert(offsetof(SaveHeader, seenEventsAll) == 0x020);
static_assert(offsetof(SaveHeader, recordNormalDays) == 0x980);
static_assert(offsetof(SaveHeader, recordScore) == 0x984);
static_assert(offsetof(SaveHeader, recordMoney) == 0x988);
static_assert(offsetof(SaveHeader, recordHellDays) == 0x98C);
static_assert(offsetof(SaveHeader, unused990) == 0x990);

// The records a game keeps; their sizes are part of the file.
struct PriceRecord {          // per item definition row
    int32_t highest;          // highest price taken at the counter
    int32_t lowest;           // lowest; 0 none yet
    uint8_t unused08[72];
};
static_assert(sizeof(PriceRecord) == 80);

struct TrendSlot {
    int32_t item;             // bound item id, -1 none
    int32_t definition;       // 1-based trend definition row; 0 empty, -1 inactive
    int8_t effect;            // 100: announced without a price effect
    int8_t daysLeft;
    uint8_t pad0a[2];
};
static_assert(sizeof(TrendSlot) == 12);

struct CounterLogEntry {
    int32_t definitionRow;
    int32_t value;            // always 3
};
static_assert(sizeof(CounterLogEntry) == 8);

struct CollectionEntry {      // one run of item rows of one category
    int32_t category;         // item id / 100
    int32_t count;            // rows in the run
    uint8_t seen[COLLECTION_SEEN_COUNT];   // seen[c - 1]: item category * 100 + c was held
};
static_assert(sizeof(CollectionEntry) == 72);

struct MarketStockEntry {     // per item definition row
    int16_t stock;            // a first entry with stock 0: market not set up yet
    int16_t counter;          // days toward the next restock
};
static_assert(sizeof(MarketStockEntry) == 4);

struct OrderRecord {          // an advance order
    int32_t active;           // 1 running, 0 free
    int32_t requestRow;
    int32_t daysLeft;         // 0 on the due day, negative when overdue
    int16_t customerIndex;
    int16_t customerType;
    int32_t quantity;
};
static_assert(sizeof(OrderRecord) == 20);

struct ShelfPlace {           // a shelf's lowest cell on the shop floor
    int32_t x;
    int32_t z;
};
static_assert(sizeof(ShelfPlace) == 8);

struct CustomerRelation {     // per customer index
    int16_t points;
    int16_t level;            // 0..8
};
static_assert(sizeof(CustomerRelation) == 4);

struct RecentSale {
    uint16_t item;            // item id, 0 free
    uint16_t days;
};
static_assert(sizeof(RecentSale) == 4);

// GameState::playMode.
enum PlayMode : int32_t {
    PLAY_MODE_STORY = 0,
    PLAY_MODE_NEW_GAME_PLUS = 1,
    PLAY_MODE_SURVIVAL = 2,
    PLAY_MODE_ENDLESS = 3,   // endless play after the ending: a cleared game
};

// One game: a save slot, or the running game. 188,360 bytes. Item values are
// ItemKeys (id * 64 + flags + plus level, -1 empty).
//
// Fields that code elsewhere uses and that have no place of their own in the
// layout are kept in bytes nothing else reads:
//   offset   width   name            meaning
//   0x2CE60  i32[4]  decorationPlus  plus levels of the wall, floor, rug and
//                                    table in use (shopWall .. shopTable order)
//   0x2CE70  i32     shopEntryKind   0 the shop was entered from the title or a
//                                    reload, 1 from the town map or a departure
// Other names for fields that have their place: todayScore is dayScore;
// adventurerKnown is trueCards; the return-to-shop word is departedFlag; the
// customers' ranks and points are customerRelations.
struct GameState {
    int32_t unused000;
    int32_t magic;                    // SAVE_MAGIC
    int32_t playTicks;                // play time in ticks; above 0 the slot is in use
    int32_t money;
    uint16_t unused010;               // 2 in a new game; never read
    uint8_t unused012[6];
    int32_t storage[STORAGE_ENTRY_COUNT];          // packed from 0, -1 empty
    int32_t shelves[SHELF_ROWS][SHELF_CELLS];      // shop-floor places, -1 empty
    PriceRecord priceRecords[PRICE_RECORD_COUNT];
    TrendSlot trendSlots[TREND_SLOT_COUNT];
    CounterLogEntry counterItemLog[COUNTER_LOG_COUNT];
    CollectionEntry collection[COLLECTION_ENTRY_COUNT];
    MarketStockEntry marketStock[MARKET_STOCK_COUNT];
    OrderRecord orders[ORDER_COUNT];
    int32_t newsCount;
    char newsTexts[NEWS_COUNT][NEWS_TEXT_SIZE];
    int32_t newsTickerOffsets[NEWS_COUNT];
    int32_t newsTickerLength;
    int32_t storageCount;             // used storage entries
    uint8_t stageMarks[STAGE_MARK_COUNT];   // directly followed by the story flags
    uint8_t storyFlags[STORY_FLAG_COUNT];   // flag n is byte n (StoryFlag)
    int32_t dayLogs[DAY_LOG_COUNT][DAY_LOG_ENTRIES];
    int32_t dayLogCounts[DAY_LOG_COUNT];
    int32_t dayStartMoney;
    int32_t totalScore;
    int32_t dayScore;
    int32_t loopCount;
    int32_t weekEndDay;               // last day of the 7-day block (payment day)
    int32_t date;                     // 0-based day
    int32_t dayPhase;                 // 0..3 phases of the day, 4 closed
    int32_t merchantExp;
    int32_t levelExpFloor;            // experience at which the merchant level began
    int32_t levelExpNext;             // experience of the next merchant level
    int32_t merchantLevel;            // 0-based, at most 98
    int32_t deepestFloors[DUNGEON_COUNT];
    uint8_t unused2c41c[16];
    int32_t bestTimes[DUNGEON_COUNT][BEST_TIME_SECTIONS];   // ticks, 0 no record
    uint8_t unused2c60c[324];
    int32_t vendingModes[SHELF_COUNT];                       // vending machine's key, 0 none
    int32_t vendingStock[SHELF_COUNT][VENDING_STOCK_SLOTS];  // -1 empty
    int32_t shopSize;                 // 0..3, also the shop stage index
    int32_t shopWall;                 // decoration choices: item id minus the kind's base
    int32_t shopFloor;
    int32_t shopRug;
    int32_t shopTable;
    int32_t departedFlag;             // 1 from a departure until the day report
    int32_t lastDeparture[3];         // adventurer, dungeon, section
    int32_t resumeLocation;           // 0 shop, 1 town map, 2 game over, 3 guild, 4 market
    int32_t townVisited;
    int32_t shopCameraView;           // 0..3
    ShelfPlace shelfLayout[SHELF_LAYOUT_COUNT];
    int32_t decorationPlus[4];
    int32_t shopEntryKind;
    uint8_t unused2ce74[60];
    AdventurerRecord adventurers[ADVENTURER_COUNT];
    CustomerRelation customerRelations[CUSTOMER_RELATION_COUNT];
    uint8_t seenEvents[SEEN_EVENT_COUNT];
    int32_t fusionKnownBits[FUSION_KNOWN_WORDS];
    int32_t playMode;                 // PlayMode
    int32_t keptBag[KEPT_BAG_SIZE];   // items kept for the next departure
    int32_t trendDayHeld;
    RecentSale recentSales[RECENT_SALE_COUNT];
    int32_t survivalHell;
    int32_t keptBag2[KEPT_BAG_SIZE];
    uint8_t trueCards[ADVENTURER_COUNT];   // True Card awarded: the adventurer is known
    int32_t shopFloorWords[4];
    uint8_t unused2dec8[248];
    int32_t unsummed2dfc0;            // the one word outside the checksum
    int32_t checksum;                 // wrapping sum of i32 0..47087
};
static_assert(sizeof(GameState) == SAVE_SLOT_SIZE);
static_assert(offsetof(GameState, magic) == 0x00004);
static_assert(offsetof(GameState, playTicks) == 0x00008);
static_assert(offsetof(GameState, money) == 0x0000C);
static_assert(offsetof(GameState, unused010) == 0x00010);
static_assert(offsetof(GameState, storage) == 0x00018);
static_assert(offsetof(GameState, shelves) == 0x13898);
static_assert(offsetof(GameState, priceRecords) == 0x13D48);
static_assert(offsetof(GameState, trendSlots) == 0x275C8);
static_assert(offsetof(GameState, counterItemLog) == 0x276B8);
static_assert(offsetof(GameState, collection) == 0x279D8);
static_assert(offsetof(GameState, marketStock) == 0x295F8);
static_assert(offsetof(GameState, orders) == 0x2A5F8);
static_assert(offsetof(GameState, newsCount) == 0x2A6C0);
static_assert(offsetof(GameState, newsTexts) == 0x2A6C4);
static_assert(offsetof(GameState, newsTickerOffsets) == 0x2BAC4);
static_assert(offsetof(GameState, newsTickerLength) == 0x2BB14);
static_assert(offsetof(GameState, storageCount) == 0x2BB18);
static_assert(offsetof(GameState, stageMarks) == 0x2BB1C);
static_assert(offsetof(GameState, storyFlags) == 0x2BC48);
static_assert(offsetof(GameState, dayLogs) == 0x2BF1C);
static_assert(offsetof(GameState, dayLogCounts) == 0x2C3CC);
static_assert(offsetof(GameState, dayStartMoney) == 0x2C3D8);
static_assert(offsetof(GameState, totalScore) == 0x2C3DC);
static_assert(offsetof(GameState, dayScore) == 0x2C3E0);
static_assert(offsetof(GameState, loopCount) == 0x2C3E4);
static_assert(offsetof(GameState, weekEndDay) == 0x2C3E8);
static_assert(offsetof(GameState, date) == 0x2C3EC);
static_assert(offsetof(GameState, dayPhase) == 0x2C3F0);
static_assert(offsetof(GameState, merchantExp) == 0x2C3F4);
static_assert(offsetof(GameState, levelExpFloor) == 0x2C3F8);
static_assert(offsetof(GameState, levelExpNext) == 0x2C3FC);
static_assert(offsetof(GameState, merchantLevel) == 0x2C400);
static_assert(offsetof(GameState, deepestFloors) == 0x2C404);
static_assert(offsetof(GameState, unused2c41c) == 0x2C41C);
static_assert(offsetof(GameState, bestTimes) == 0x2C42C);
static_assert(offsetof(GameState, unused2c60c) == 0x2C60C);
static_assert(offsetof(GameState, vendingModes) == 0x2C750);
static_assert(offsetof(GameState, vendingStock) == 0x2C7A0);
static_assert(offsetof(GameState, shopSize) == 0x2CDE0);
static_assert(offsetof(GameState, shopWall) == 0x2CDE4);
static_assert(offsetof(GameState, shopFloor) == 0x2CDE8);
static_assert(offsetof(GameState, shopRug) == 0x2CDEC);
static_assert(offsetof(GameState, shopTable) == 0x2CDF0);
static_assert(offsetof(GameState, departedFlag) == 0x2CDF4);
static_assert(offsetof(GameState, lastDeparture) == 0x2CDF8);
static_assert(offsetof(GameState, resumeLocation) == 0x2CE04);
static_assert(offsetof(GameState, townVisited) == 0x2CE08);
static_assert(offsetof(GameState, shopCameraView) == 0x2CE0C);
static_assert(offsetof(GameState, shelfLayout) == 0x2CE10);
static_assert(offsetof(GameState, decorationPlus) == 0x2CE60);
static_assert(offsetof(GameState, shopEntryKind) == 0x2CE70);
static_assert(offsetof(GameState, adventurers) == 0x2CEB0);
static_assert(offsetof(GameState, customerRelations) == 0x2D210);
static_assert(offsetof(GameState, seenEvents) == 0x2D3A0);
static_assert(offsetof(GameState, fusionKnownBits) == 0x2DD00);
static_assert(offsetof(GameState, playMode) == 0x2DD64);
static_assert(offsetof(GameState, keptBag) == 0x2DD68);
static_assert(offsetof(GameState, trendDayHeld) == 0x2DDE0);
static_assert(offsetof(GameState, recentSales) == 0x2DDE4);
static_assert(offsetof(GameState, survivalHell) == 0x2DE34);
static_assert(offsetof(GameState, keptBag2) == 0x2DE38);
static_assert(offsetof(GameState, trueCards) == 0x2DEB0);
static_assert(offsetof(GameState, shopFloorWords) == 0x2DEB8);
static_assert(offsetof(GameState, unused2dec8) == 0x2DEC8);
static_assert(offsetof(GameState, unsummed2dfc0) == 0x2DFC0);
static_assert(offsetof(GameState, checksum) == 0x2DFC4);
static_assert(offsetof(GameState, checksum) == (SAVE_CHECKSUM_WORDS + 1) * 4);

// The whole file: slot k starts at 2,832 + k * 188,360.
struct SaveImage {
    SaveHeader header;
    GameState slots[SAVE_SLOT_COUNT];
};
static_assert(sizeof(SaveImage) == SAVE_IMAGE_SIZE);
static_assert(offsetof(SaveImage, slots) == SAVE_HEADER_SIZE);

extern SaveImage gSaveImage;    // the file image, as last read or written
extern SaveImage gWorkImage;    // only slot gCurrentSlot is used (and copied): the running game
extern int32_t gCurrentSlot;    // set by the title, always 0
extern int32_t gSaveConverted;  // 1 when this run's load converted an older layout

// The options and records, read and written in the file image's header, so
// that a change reaches the disk with the next write.
inline int32_t& gOptionSoundLevel = gSaveImage.header.optionSoundLevel;
inline int32_t& gOptionMusicLevel = gSaveImage.header.optionMusicLevel;
inline int32_t& gOptionVoiceLevel = gSaveImage.header.optionVoiceLevel;
inline uint16_t& gOptionTextSkip = gSaveImage.header.optionTextSkip;
inline int32_t& gOptionMessageSpeed = gSaveImage.header.optionMessageSpeed;
inline uint16_t& gRecordsUnlocked = gSaveImage.header.recordsUnlocked;
inline int32_t& gLastSaveSlot = gSaveImage.header.lastSaveSlot;
inline int32_t& gRecordNormalDays = gSaveImage.header.recordNormalDays;
inline int32_t& gRecordScore = gSaveImage.header.recordScore;
inline int32_t& gRecordMoney = gSaveImage.header.recordMoney;
inline int32_t& gRecordHellDays = gSaveImage.header.recordHellDays;

// Starting equipment: item definition ids, -1 none. Rows 0..7 belong to the
// adventurers.
extern const int32_t INITIAL_EQUIPMENT[INITIAL_EQUIPMENT_ROWS][EQUIPMENT_SLOTS];
// Shelf places per shop size.
extern const ShelfPlace SHELF_LAYOUTS[SHOP_SIZE_COUNT][SHELF_LAYOUT_COUNT];

GameState& runningGameState();
// Both images, the slot and the conversion flag back to a fresh process's
// values (empty); start-up loads the file after.
void resetSaveState();

// Start-up: reads "save.dat", or "_save.dat" when "save.dat" is missing, of
// no known size or has a damaged header and the copy is sound (of a known
// size with a sound header). A saved slot of the file taken that fails its
// check is taken from the other file when that one's slot is sound (so
// "_save.dat" is read for a damaged slot of "save.dat" too); one that neither
// holds whole is told in a message box. Converts the older layouts, renews a
// bad header and every bad slot, keeps the header's option values in their
// ranges, applies the music volume and copies the image to the working copy.
// slotCount is the slots the files hold: the game's files hold
// SAVE_SLOT_COUNT; a test may give fewer (its files then have the sizes of
// that many slots), and the slots past them stay as they were.
void loadSaveFile(int32_t slotCount = SAVE_SLOT_COUNT);
// What loadSaveFile does once the two files are read. length < 0: the file
// does not open. The bytes are read only when length is at most the image
// size of slotCount slots.
struct SaveFileBytes {
    const uint8_t* bytes;
    int64_t length;
};
void loadSaveImage(SaveFileBytes primary, SaveFileBytes backup, int32_t slotCount = SAVE_SLOT_COUNT);

// Renews a header without SAVE_MAGIC (the whole image zeroed, the header's
// renewed values, the music volume applied again) and, unless this run
// converted an older layout, every slot whose magic or checksum is wrong
// (one that was saved into told in a message box).
void validateSaveImage();
// The wrapping sum of the slot's first 47,088 i32 values.
uint32_t slotChecksum(const GameState& game);

// A new game's slot: the file-level fields here, then what the item
// collection and the adventurers' stats need of the game's tables through
// the fillNewGame hook (engine/scene_hooks.h), then the shelf layout and the
// starting equipment.
void initNewGameState(GameState& game);
void initAdventurerEquipment(GameState& game);   // equipment and saved equipment from INITIAL_EQUIPMENT
void initShelfLayout(GameState& game);           // SHELF_LAYOUTS of the game's shop size
int32_t getInitialEquipment(int32_t row, int32_t index);   // item definition id, -1 none or out of range

// The collection of a new game: the item definition rows are walked in row
// order; each change of category (id / 100) starts the next entry, and each
// row counts in the current one. Rows past the 100th category run are left
// out. Row is any record with an int `id`.
template <typename Row>
void fillCollection(GameState& game, const Row* rows, int32_t rowCount) {
    int32_t entry = -1;
    for (int32_t r = 0; r < rowCount; r++) {
        int32_t category = rows[r].id / 100;
        if (entry < 0 || game.collection[entry].category != category) {
            if (entry + 1 >= COLLECTION_ENTRY_COUNT) return;
            game.collection[++entry].category = category;
        }
        game.collection[entry].count++;
    }
}

// Copies slot k of the file image into the running game and recounts
// storageCount: the index of the first empty storage entry, or, with every
// entry used, the stored count kept within 0..20,000.
void loadSlot(int32_t slot);
// With a slot 0..99: copies the running game into that slot of the file image
// and stores its checksum. Then writes the image to "save.dat" and to
// "_save.dat", each through a temporary file that is flushed to the disk and
// renamed into place. False when a write failed: that file and the ones not
// yet written keep their old contents (after a failed "save.dat",
// "_save.dat" is not touched), no temporary file is left, and the player is
// shown why. With -1 it only writes (a changed header). A write still running
// on the worker is finished first.
bool writeSaveSlot(int32_t slot);
// "Clear Save Data": renews the whole image (after a conversion the slots
// stay zero, shown as empty), copies it to the working copy and writes
// "save.dat" only, as writeSaveSlot does. False when the write failed.
bool clearSaveData();

// The same writes without stalling the frame loop (two files of 18.8 MB and
// their flushes take several frames): the image is copied at once, on the
// main thread, and the copy is written on the worker thread. A write still
// running is finished before the next starts, before the files are read and
// at shut-down; a failure is shown on the main thread when the write is
// joined. False only for a bad slot.
bool startSaveSlotWrite(int32_t slot);
void startClearSaveData();
// Each tick: joins a write that has ended and shows its failure, if any.
void pollSaveWrite();
// Waits for a running write, shows its failure; false when it failed (true
// with none running).
bool finishSaveWrite();
bool isSaveWriteRunning();
// Non-zero: every write on the worker is joined as soon as it starts, so the
// files are whole when the tick that saved ends (the headless runs).
extern int32_t gSaveWriteWaits;

// The box a failed write of a file the game keeps shows (Shift-JIS "could
// not save", the file's name and the system's reason); also on stderr.
void showWriteFailure(const char* name, int error);
