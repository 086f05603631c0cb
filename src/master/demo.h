#pragma once

#include "data/database.h"

namespace tarvik::master {

// Demo data of the master data layer, written through its store classes.
// Categories of both trees, every code list and a few dozen raw materials of
// a small factory. Refused when the database already holds materials.
Result<void> fillGoodsDemo(Database &db);

} // namespace tarvik::master
