#include "shop/item_list.h"

// The list arrives with the item windows.
void stepItemListSlide() {}
void openItemList(int32_t, int32_t) {}
bool isItemListOpen() { return false; }
int32_t getItemListType() { return 0; }
void hideItemList() {}
void snapItemListOpen() {}
int32_t getItemInfoState() { return 0; }
void closeItemInfo() {}
