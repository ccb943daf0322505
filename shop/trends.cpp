#include "shop/trends.h"

// Trends arrive with the shop's economy.
void resetNewsAndEvents() {}
