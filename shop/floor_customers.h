// shop/floor_customers.h: the customers walking through the shop floor
// while it is open. The day's planner hands them the lineup of customer
// types; the counter clears them when a phase closes. Main thread.
#pragma once
#include <cstdint>

#include "shop/shop.h"

// Takes the customer types up to the first negative entry (at most 20).
void setCustomerLineup(const int32_t* lineup);
