// shop/customer_drawing.cpp: the shop-floor customers in the field's world
// drawing: their sprites in the model pass, their round shadows, and the
// accessories drawn over them. Main thread, once per drawn frame. The
// customers arrive with the shop floor's crowd; until then there are none
// to draw.
#include "shop/shop.h"

void drawCustomers() {}
void drawCustomerShadows() {}
void drawCustomerAccessories() {}
