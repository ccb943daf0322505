// shop/item_list.h: the shared item list.
#pragma once

void stepItemListSlide();   // once per tick
