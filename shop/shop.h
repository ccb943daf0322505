// shop/shop.h: what other folders may use of the shop and the economy: the
// item table and item keys, storage, the item list and its windows, the shop
// day with its customers, the market and the end of a day or a run; then the
// entry points game/ wires into the mode table, the overlay and start-up.
// Everything else under shop/ is private to it. Main thread only.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "engine/textures.h"
#include "shop/item_icon_cells.h"
#include "shop/window_cells.h"
#include "shop/shop_state.h"

// ---- Items ----------------------------------------------------------------

constexpr int32_t ITEM_DEFINITION_MAX = 600;
constexpr int32_t ITEM_ID_MAX = 9999;
constexpr int32_t ITEM_NAME_SIZE = 64;
constexpr int32_t ITEM_TEXT_SIZE = 256;
constexpr int32_t ITEM_CATEGORY_COUNT = 256;      // indexed by id / 100

// ItemKey: id * 64 + flags + plus level; -1 an empty slot. Item lists use
// further negative pseudo keys.
constexpr int32_t ITEM_KEY_NONE = -1;
constexpr int32_t ITEM_KEY_PLUS_MASK = 0x0F;      // plus level 0..15
constexpr int32_t ITEM_KEY_UNIDENTIFIED = 0x10;
constexpr int32_t ITEM_KEY_POSSESSED = 0x20;      // belongs to an adventurer
constexpr int32_t ITEM_KEY_ID_SHIFT = 6;

constexpr int32_t makeItemKey(int32_t id, int32_t flags, int32_t plus) { return id * 64 + flags + plus; }
constexpr int32_t itemKeyId(int32_t key) { return key >> ITEM_KEY_ID_SHIFT; }
constexpr int32_t itemKeyPlus(int32_t key) { return key & ITEM_KEY_PLUS_MASK; }

// Category flags (bits 0..15 of categoryFlags), one per four-letter code.
enum ItemCategoryFlag : int32_t {
    ITEM_FLAG_WEAPON = 0x0001,        // "Wepn"
    ITEM_FLAG_ARMOR = 0x0002,         // "Armr"
    ITEM_FLAG_FURNITURE = 0x0004,     // "Furn"
    ITEM_FLAG_CLOTHES = 0x0008,       // "Clot"
    ITEM_FLAG_ACCESSORY = 0x0010,     // "Assr"
    ITEM_FLAG_VALUABLE = 0x0020,      // "Gold"
    ITEM_FLAG_METAL = 0x0040,         // "Metl"
    ITEM_FLAG_DINNER = 0x0080,        // "Supp"
    ITEM_FLAG_SWEET = 0x0100,         // "Swtt"
    ITEM_FLAG_FANCY = 0x0200,         // "Sobr"
    ITEM_FLAG_PLAIN = 0x0400,         // "Plan"
    ITEM_FLAG_RARE = 0x0800,          // "Trsr"
    ITEM_FLAG_COLD_WEATHER = 0x1000,  // "Cres"
    ITEM_FLAG_FOOD = 0x2000,          // "Food"
    ITEM_FLAG_HOLY = 0x4000,          // "Holy"
    ITEM_FLAG_SINISTER = 0x8000,      // "Demn"
};

// One row of the item database, filled once at start-up from "data/item.txt"
// and read-only afterwards.
struct ItemDefinition {
    int32_t valid;           // 1 once the row's line was parsed
    int32_t price;           // base price in gold; -1 in a category's unidentified-name row
    int32_t attack;          // a food's HP value
    int32_t defence;         // a food's SP value
    int32_t magic;
    int32_t magicDefence;
    int32_t userMask;        // bit n: adventurer n may use it
    int32_t sortNumber;      // order inside the category in item lists
    int32_t categoryFlags;   // ItemCategoryFlag bits and the subcategory's class bits
    int32_t subcategoryId;   // 0 when the category name is no subcategory
    int32_t id;              // 0..9999
    int32_t category;        // id / 100
    int32_t iconCell;        // id % 100
    int8_t stockType;        // "wrhs("
    int8_t guildRank;        // "do(" 0..5
    int8_t marketRank;       // "re(" 0..5
    int8_t sellerRank;       // "mi("
    int8_t fa[3];            // "fa(": drop rank marks
    int8_t si;               // "si(": drop floor threshold; the byte holds 200 when absent (read signed: -56)
    int8_t la;               // "la("
    char name[ITEM_NAME_SIZE];
    char name2[ITEM_NAME_SIZE];     // used inside news sentences
    char text[ITEM_TEXT_SIZE];      // " " when absent
    char text2[ITEM_TEXT_SIZE];     // " " when absent
};

extern ItemDefinition gItemDefinitions[ITEM_DEFINITION_MAX];
extern int32_t gItemDefinitionCount;

// The whole item file: clears the table and the category names, then reads
// every line. Unknown lines bring a message box; lines beyond the table's 600
// rows are dropped with one message box.
void parseItemTable(const char* text, int32_t length);
// Row of the first definition with this id; -1 when there is none.
int32_t findItemDef(int32_t id);
// The row that names an item on screen: its own, or for an unidentified
// item the nearest row at or before it whose price is -1 (row 0 when none
// is). -1 when the id has no row.
int32_t findItemDisplayRow(int32_t key);
// 1 when the item exists and its category name's first four characters equal
// the word's ("Food", "Medicines", "Venders"); else 0.
int32_t isItemInSubcategory(int32_t key, const char* word);
// Adds the item's attack, defence, magic and magic defence to the four
// totals; the plus level goes to its largest positive value (the first of
// equal ones). An empty key adds nothing.
constexpr int32_t ITEM_STAT_COUNT = 4;
void getItemStats(int32_t itemKey, int32_t totals[ITEM_STAT_COUNT]);
// The icon sheet of an item category (0 for one out of range): 256 texels
// wide, eight 32 x 32 icons a row, the icon of an item at its iconCell.
const TextureSlot& itemIconSheet(int32_t category);
// The rows of the loaded item table as the icon sheets see them.
void loadedItemIconRows(ItemIconRow rows[ITEM_ICON_ROW_MAX]);

// ---- Storage --------------------------------------------------------------

// Registers the item as seen, then stores it in the first free entry; -1 is
// ignored and a full storage stores nothing.
// 1 when stored.
int32_t addItemToStorage(int32_t key);
// Removes the first entry holding exactly this key, moving the later entries
// down; 1 when removed, 0 when absent (or -1).
int32_t removeStorageKey(int32_t key);
// Stored items of the id, any plus level or flags; 0 for -1.
int32_t countItemInStorage(int32_t id);
// Entries that are not -1.
int32_t countStoredItems();
// The departure screen lets the party leave while storage holds at most
// this many items: room for the returning bag.
constexpr int32_t STORAGE_DEPARTURE_LIMIT = 14970;
bool storageAllowsDeparture(int32_t stored);
// A game's storageCount kept inside the storage: a slot of the file image may
// hold any value there.
int32_t storedEntryCount(const GameState& game);

// 1 when the item's user mask has the adventurer and its subcategory is one
// she can equip.
int32_t canAdventurerUseItem(int32_t key, int32_t adventurer);
// Whether the adventurer may put the item into equipment slot 0..4 (0 the
// main weapon), or with slot -1 use it at all. Adventurer -1: always.
int32_t canEquip(int32_t adventurer, int32_t slot, int32_t key);
// Every adventurer gets back the equipment saved at departure.
void restoreEquipment();

// The four kinds of shop decoration; the running game keeps one choice per
// kind (shopWall .. shopTable, with decorationPlus in the same order).
enum DecorationKind : int32_t {
    DECORATION_WALL = 0,
    DECORATION_FLOOR = 1,
    DECORATION_RUG = 2,
    DECORATION_TABLE = 3,
    DECORATION_KIND_COUNT = 4,
};
struct DecorationRange {
    int32_t firstId;    // the kind's first item; a choice is id - firstId
    int32_t lastId;
    int32_t listType;   // the ItemListType that offers the kind
};
extern const DecorationRange DECORATION_RANGES[DECORATION_KIND_COUNT];

// ---- The item list and its windows ----------------------------------------

enum ItemListType : int32_t {
    ITEM_LIST_SHELF = 0,      // storage with a "Nothing" row: stocking a shelf, packing the bag
    ITEM_LIST_DELIVERY = 1,   // storage and the shelves (no vending machines), "Nothing" row: orders
    ITEM_LIST_FLOORS = 2,     // the decoration kinds (DECORATION_RANGES)
    ITEM_LIST_WALLS = 3,
    ITEM_LIST_RUGS = 4,
    ITEM_LIST_STORAGE = 5,    // all of storage: selling, the menu outside the dungeon
    ITEM_LIST_BAG = 6,        // the bag with a "Rearrange" row
    ITEM_LIST_MARKET = 7,     // the market's or guild's wares
    ITEM_LIST_TABLES = 8,
    ITEM_LIST_TUTORIAL = 10,  // the counter tutorial's fixed list
};

// handleItemListInput results.
enum ItemListResult : int32_t {
    ITEM_LIST_IDLE = 0,
    ITEM_LIST_CHOSEN = 1,       // the confirm flash ended: act on the selected entry
    ITEM_LIST_CANCELLED = 2,
    ITEM_LIST_CONFIRMED = 3,    // confirm pressed (the flash starts when allowed)
    ITEM_LIST_REARRANGED = 4,   // the bag was rearranged
};

// Builds the list of the type and shows it. With reset every page's scroll
// and cursor and the equip target are cleared; without, they are kept and
// clamped to the new pages.
void openItemList(int32_t type, int32_t reset);
// Once per tick while the list has the focus: an ItemListResult.
int32_t handleItemListInput(int32_t allowConfirm);

// The entry under the cursor; -1 on a page without entries.
int32_t getSelectedListItemKey();
// One item under the cursor leaves its source (the bag entry, or storage) and
// its row; a row whose count reaches 0 leaves the page.
void removeSelectedListItem();
// Puts the key into the entry under the cursor (count 1, 0 for -1) and into
// bag entry cursor - 1 when that is a usable bag entry; returns the old key.
int32_t replaceSelectedListItem(int32_t key);
// Steps the cursor down to the first entry holding the key (at most 100
// steps, not past the last entry) and puts the pointer there.
void moveListCursorToItem(int32_t key);
// The pointer on the cursor row at once.
void placeListCursor();
// Around an overlay screen that uses the list itself.
void saveItemListCursors();
void restoreItemListCursors();

void setItemListEquipTarget(int32_t adventurer, int32_t slot);
void setItemListHeader(int32_t kind);
void showItemInfo(int32_t key);
void showSelectedItemInfo();
void openItemInfo(int32_t mode);   // 0..3
void closeItemInfo();
int32_t getItemInfoState();

int32_t getItemListType();
bool isItemListOpen();
void showItemList();
void hideItemList();
void snapItemListOpen();
void clearListBusy();
void stepItemListSlide();   // every tick: slides in while open, out while closed

void setItemUseResult(int32_t value, int32_t secondValue);
void startUseMessage();
void startDiscardMessage();
void clearItemMessages();

// The icon (its own colours, through the add-signed operation) and the name
// in its trend colour, both under the alpha.
void drawItemListEntry(float x, float y, int32_t key, int32_t alpha);
// The list window sliding in from the right; nothing while its slide is 0.
void drawItemListWindow(float x, float y);
// The side panel: the item's description, price and trend, or a message.
void drawItemMessagePanel(float x, float y);
// The information popup at the pointer or where a screen opened it.
void drawItemInfoPanel();

// ---- The item collection --------------------------------------------------

// Rebuilds the collection screen's pages from the running game, or with
// allSlots from the union of the 100 save slots (the title's view), and puts
// the cursor on the first cell. 1 when every item of the table is seen.
int32_t buildCollection(int32_t allSlots);
// The screen's input, once a tick; 1 when it is to close.
int32_t updateCollectionScreen();
void drawCollectionScreen(float x, float y);
// The pointer glides to the cursor cell.
void placeCollectionCursor();

// ---- The shop day ---------------------------------------------------------

// Opens a day phase: resets the counter, decides who comes (visitors, the
// trend day, orders due and placed, buyers and sellers, their order) and
// starts loading the shopkeeper's pictures. Called by the shop floor once
// when the shop opens.
void beginShopDay();
// One tick of the open shop; waits while a customer portrait loads.
void updateShopDay();
// Frames since the shop opened in the running day phase.
int32_t shopDayTimer();
// The lesson (0 selling, 1 buying, 2 a request) the next shop day teaches.
void setTutorialLesson(int32_t lesson);

// Resets the six street walkers.
void initStreetCrowd();
// Frees every walking customer.
void resetCustomers();
// Per tick on the shop floor: the customers walking in the open shop, and
// the six walkers of the street outside.
void updateCustomers();
void updateStreetCrowd();
// The customers in the field's world drawing, once per drawn frame: their
// sprites in the model pass, their round shadows, the accessories over them.
void drawCustomers();
void drawCustomerShadows();
void drawCustomerAccessories();

// The two-visitor story scene in the shop (story flag 144 runs it).
void startStoryVisit();
// One tick of the story visit in the shop: the visitor walks in and event
// 10_1 starts at its time (story flag 144 runs it).
void stepStoryVisit();
// The two visitors of a story visit: the heroine turns to them, and their
// poses each tick.
void faceStoryVisitor();
void animateStoryVisitors();

// The name of a customer type that the order summary shows ("" for a type
// out of range).
const char* customerTypeName(int32_t type);
// The type's picture file in slot 0..9, below "bmp/", at most
// CUSTOMER_FILE_NAME_SIZE bytes; nullptr for an empty slot, a type out of
// range or a type without pictures.
constexpr int32_t CUSTOMER_FILE_NAME_SIZE = 256;
const char* customerPictureFile(int32_t type, int32_t slot);
// The customer type whose pictures the visitor's portrait loader loads; the
// counter fixes it before the loader starts.
int32_t counterVisitorType();
// The order name of a request row ("" for a row out of range).
constexpr int32_t REQUEST_NAME_SIZE = 32;
const char* requestOrderName(int32_t row);

// The counter's windows and the counter scene under them, per drawn frame
// while the shop is open.
void drawCounterWindow();
void drawShopDayOverlay();

// A new day starts counting: the money it starts from, no score, empty logs.
// The report's leaving and the carry-over into a new loop run it.
void resetDayCounters(GameState& game);
// The payment due on the running game's payment day.
int32_t getQuota();

// ---- Trends and the market ------------------------------------------------

// The daily update: refill one empty slot, maybe start a boom, age the
// recent sales, let trends expire, add town news, lay out the ticker.
void advanceMarketDay();
// 1 in demand, -1 out of favour, -2 crashed, 0 neither.
int32_t getTrendForItem(int32_t itemKey);
// The news text of trend definition 1..n ("<" marks where the item's name
// goes); nullptr for a definition out of range.
const char* trendDefinitionText(int32_t definition);

enum RestockMode : int32_t {
    RESTOCK_DAILY = 0,      // a new day, a new game, a Survival Hell reset
    RESTOCK_LOADED = 1,     // a saved game was loaded
};
// Mode 1 renews the whole stock when a stock-type 4 item holds more than one;
// any other mode clears trendDayHeld. A game whose first entry has stock 0
// (not set up yet) gets every row's initial stock; otherwise mode 0 applies
// each row's daily rule. Draws from the shared generator in row order.
void restockMarket(int32_t mode);
// The same on a given game record (the running one, or a record being reset).
void restockMarketStock(GameState& game, int32_t mode);
// The unit price the market or the guild asks for the item at its current trend.
int32_t marketBuyPrice(int32_t key);

constexpr int32_t MARKET_OPEN_FRAMES = 15;    // a list, the topics or a question opens
// Enters mode 6 as the guild or the market: from the town map, or when a
// loaded game resumes there.
void enterMarketScene(int32_t mode);
void runMarketScene();

// ---- What game/ wires -----------------------------------------------------

// The shop's master tables, each read from its text file at start-up, in
// this order (files that name items need the item table first).
void loadItemTable();          // "data/item.txt"
void loadCustomerTypes();      // "data/kyaku.txt"
void loadCustomerSubFiles();   // the files the customer types name
void loadBuySellTable();       // "data/buysell.txt"
void loadRequestTable();       // "data/oder.txt"
void loadTrendTable();         // "data/news.txt"
void loadFusionRecipes();      // "data/gousei.txt"
void loadTutorialScripts();    // "data/tuto1.txt" to "data/tuto3.txt"

// The item icon sheets, loaded with the system pictures at start-up and
// after a device reset.
void loadItemIconSheets();
// The pictures of the market or the guild, by gMarketMode.
void loadMarketTextures();
void releaseMarketTextures();

// Start-up: no event or part loader is ready, every trend slot is inactive
// and there is no news.
void resetNewsAndEvents();
// The market's quantity window closed at once.
void resetTradeConfirm();

// Game mode 6, the market and the guild: once per tick, once per drawn frame.
void updateMarketScene();
void drawMarketScene();
// Around an overlay over the market: its list cursors kept and given back;
// resumeMarketScene runs when the market takes over again.
void saveMarketListState();
void restoreMarketListState();
void resumeMarketScene();

// The overlay toggle's question while the counter tutorial runs: opens the
// yes/no window and returns 1, or returns 0.
int32_t askCancelTutorial();
// The trend-day banner's frame (0: no banner runs); the music follows it.
int32_t getTrendBannerFrame();

// The end-of-day report and the item choice after a run, overlay screens:
// the overlay's loader end opens them, then the update runs once per tick
// and the draw once per frame; the run-result band is drawn over the field
// while a run ends.
void openDayReport();
void startItemChoice();
void updateDayReport();
void updateItemChoice();
void drawDayReport();
void drawItemChoice();
void drawLoadingBand();
