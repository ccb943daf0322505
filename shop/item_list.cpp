#include "shop/item_list.h"

// The list arrives with the item windows.
void stepItemListSlide() {}
