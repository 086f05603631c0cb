#pragma once

#include <QString>
#include <QVariant>

namespace tarvik {

// Number pictures as the grids, exports and reports use them:
//   sections "positive;negative;zero" (an empty or missing negative section puts
//   "-" before the positive one), "0" a digit always shown, "#" a digit shown
//   only when significant, "," thousands grouping, "." the decimal point (shown
//   only when a fraction digit follows), anything else literal ("￥"; quoted
//   text is literal too). Rounding is half away from zero at the last place.
QString formatNumber(double value, const QString &picture);

// A cell as shown: numbers by the picture (general form without one), day
// dates "yyyy-MM-dd", absent dates (text before "1901-08-14") empty, text as is.
QString formatDisplay(const QVariant &value, const QString &picture = {});

// Decimal places a picture's positive section shows at least and at most.
struct PictureDigits {
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool hasDigits = false; // the section has any digit placeholder
};
PictureDigits pictureDigits(const QString &picture);

// The picture's sections split at ';' outside quotes.
QStringList pictureSections(const QString &picture);

// Half away from zero at `decimals` places, on the value's 15-digit decimal form.
double roundHalfAway(double value, int decimals);

bool isNumericValue(const QVariant &value);
// A value that is a date: QDate / QDateTime, or text of the form "yyyy-MM-dd".
bool isDateValue(const QVariant &value);

} // namespace tarvik
