#pragma once

#include <QString>

namespace tarvik {

// An amount in Chinese capitals as printed on bills: every digit with its
// unit, zeros included, sign dropped, "整" when there are no 角 and 分.
// 1234.5 -> 壹千贰佰叁拾肆元伍角零分, 100 -> 壹佰零拾零元整.
QString MoneyMinToBig(double amount);

// The amount as "0.00" text, rounded half away from zero on the decimal
// digits the user sees (1.005 -> "1.01", 0.125 -> "0.13"), sign dropped.
QString moneyTwoDecimals(double amount);

} // namespace tarvik
