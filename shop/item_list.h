// shop/item_list.h: the shared item list.
#pragma once

#include <cstdint>

void stepItemListSlide();   // once per tick
void openItemList(int32_t type, int32_t reset);
bool isItemListOpen();
int32_t getItemListType();
void hideItemList();
void snapItemListOpen();    // the slide-in at its end at once
int32_t getItemInfoState();  // the information popup: 0 closed
void closeItemInfo();
