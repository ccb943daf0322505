// shop/floor_customers.h: the customers walking through the shop floor
// while it is open. The day's planner hands them the lineup of customer
// types; the counter clears them when a phase closes. Main thread.
#pragma once
#include <cstdint>

// Takes the customer types up to the first negative entry (at most 20).
void setCustomerLineup(const int32_t* lineup);
// Frees every walking customer.
void resetCustomers();
// Per tick on the shop floor: the customers walking in the open shop, and
// the six walkers of the street outside.
void updateCustomers();
void updateStreetCrowd();
