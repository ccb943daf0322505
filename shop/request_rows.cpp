#include "shop/request_rows.h"

RequestRow gRequestRows[REQUEST_ROW_MAX];
int32_t gOrderRequestCount;
