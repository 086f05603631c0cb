#pragma once

#include "master/chooserframe.h"

class QLineEdit;
class QPushButton;

namespace tarvik {

// "原材料选择": picks one material code for a filter box (pick mode), or
// appends materials to a bill or a bill of materials (append mode).
class TDlgGoodXz : public ChooserFrame {
    Q_OBJECT
public:
    explicit TDlgGoodXz(QWidget *parent = nullptr);

    void preparePick(const QString &startValue);
    void prepareAppend(ChooserTarget *target);

    // Pick mode, run modally: the chosen code, or `startValue` when cancelled or the list is empty.
    static QString pick(const QString &startValue = {});
    // Append mode, run modally: lines go to `target` as they are chosen.
    static void appendTo(ChooserTarget &target);

    // "新增原材料": the editor in new mode; the list is searched again after each save.
    void newGood();

    QLineEdit *edtCode = nullptr;
    QLineEdit *edtName = nullptr;
    QLineEdit *edtSpec = nullptr;
    QPushButton *btnNewGood = nullptr;

protected:
    SqlStatement searchStatement() const override;
    QVariantMap lineFor(int row) const override;
    double priceFor(int row) const override;
};

} // namespace tarvik
