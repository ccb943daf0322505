#include "shop/customer_types.h"

CustomerType gCustomerTypes[CUSTOMER_TYPE_COUNT];
