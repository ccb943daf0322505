#include "engine/shop_tables.h"

// The shop's tables arrive with their readers; until then they stay empty.
void loadItemTable() {}
void loadCustomerTypes() {}
void loadCustomerSubFiles() {}
void loadBuySellTable() {}
void loadRequestTable() {}
void loadTrendTable() {}
void loadFusionRecipes() {}
void loadTutorialScripts() {}
