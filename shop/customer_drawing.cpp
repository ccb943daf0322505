#include "shop/customer_drawing.h"

void drawCustomers() {}
void drawCustomerShadows() {}
void drawCustomerAccessories() {}
