#include "shop/customer_types.h"

CustomerType gCustomerTypes[CUSTOMER_TYPE_COUNT];

const char* customerTypeName(int32_t type) {
    return type >= 0 && type < CUSTOMER_TYPE_COUNT ? gCustomerTypes[type].name : "";
}

const char* customerPictureFile(int32_t type, int32_t slot) {
    if (type < 0 || type >= CUSTOMER_TYPE_COUNT || slot < 0 || slot >= CUSTOMER_PICTURE_MAX) return nullptr;
    const CustomerType& t = gCustomerTypes[type];
    if (t.pictureCount <= 0 || t.pictureFiles[slot][0] == 0) return nullptr;
    return t.pictureFiles[slot];
}
