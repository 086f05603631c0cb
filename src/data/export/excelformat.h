#pragma once

#include <QString>

namespace tarvik {

// The Excel number format that shows `value` as the grid's number picture does
// ("" for a blank picture: Excel's General). Excel has no optional decimal point,
// so for a value without decimals the optional decimals are left out and an
// integer never shows a trailing point ("0.##" gives "0" for 5, "0.##" for 5.5).
QString excelNumberFormat(const QString &picture, double value);

} // namespace tarvik
