#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace tarvik {

// What a chooser in append mode appends to: a stock bill, a production plan or
// a bill of materials. The chooser leaves out the codes already on the target,
// builds one line from the chosen item and hands it over; the target owns its
// line set and decides how the line is shown and stored.
class ChooserTarget {
public:
    virtual ~ChooserTarget() = default;

    // Item codes already on the target (blank codes are ignored).
    virtual QStringList itemCodes() const = 0;

    // The line column that ties a line to its owner ("F_code" for bill and
    // plan lines, "F_mainCode" for bill-of-materials lines) and its value.
    virtual QString ownerColumn() const = 0;
    virtual QString ownerValue() const = 0;

    // For the default price of a new line (LastGoodPrice / LastProductPrice):
    // the bill kind to look in and the bill left out of the look-up ("" none).
    virtual int priceKind() const = 0;
    virtual QString excludedBill() const = 0;

    // Appends and posts one line: every field by its column name (owner
    // column, item code and texts, custom fields, F_amount, F_price,
    // F_totalPrice). Returns false when the target could not take it.
    virtual bool appendLine(const QVariantMap &line) = 0;

    // Targets that take one item into their header instead of lines (the
    // product of a production requisition or return) say so and receive the
    // item's fields; the chooser closes after it.
    virtual bool fillsHeader() const { return false; }
    virtual bool fillHeader(const QVariantMap &item)
    {
        Q_UNUSED(item);
        return false;
    }
};

// The append targets of the material chooser (the callers' numbering).
enum GoodsChooserTarget {
    GoodsTargetRawReceipt = 1,  // raw material receipt, price kind 1
    GoodsTargetRawIssue = 2,    // raw material issue, price kind -1
    GoodsTargetRequisition = 3, // production requisition, price kind -2
    GoodsTargetReturn = 4,      // production return, price kind 2
    GoodsTargetBom = 11,        // bill of materials, price kind 1, no bill left out
};

// The price kind a material chooser target looks up (LastGoodPrice).
inline int goodsTargetPriceKind(int target)
{
    switch (target) {
    case GoodsTargetRawIssue: return -1;
    case GoodsTargetRequisition: return -2;
    case GoodsTargetReturn: return 2;
    default: return 1;
    }
}

} // namespace tarvik
