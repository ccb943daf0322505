#include "shop/floor_customers.h"

// The walking customers arrive with the shop floor's crowd; until then
// nobody walks and there is nothing to hand over or free.
void setCustomerLineup(const int32_t*) {}
void resetCustomers() {}
// The walkers arrive with the shop-floor customers.
void updateCustomers() {}
void updateStreetCrowd() {}
