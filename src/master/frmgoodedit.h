#pragma once

#include "master/goodsstore.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QWidget;

namespace tarvik {

class CheckedDateEdit;
class RowSet;

// The editor of one raw material, new or change, called by the list and by the chooser.
class TFrmGoodEdit : public QDialog {
    Q_OBJECT
public:
    enum Mode { NewMode, ChangeMode };

    // `list`: the list's rows (change mode reads and moves its current row; may be null in new mode).
    TFrmGoodEdit(Mode mode, RowSet *list, bool fromChooser, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    bool fromChooser() const { return m_fromChooser; }
    QString oldCode() const { return m_oldCode; }

    // Called after every successful save with the saved code: the caller
    // re-runs its statement (and the list moves to the code).
    std::function<void(const QString &code)> refresh;

    GoodsRecord record() const;
    void loadRecord(const GoodsRecord &g);
    void loadCurrentRow();
    void clearFields(); // every field but the code box

    // The buttons' actions.
    bool save();
    void fillAutoCode();
    void chooseType();
    void moveFirst();
    void movePrior();
    void moveNext();
    void moveLast();

    QLineEdit *edtCode = nullptr;
    QCheckBox *cbCode = nullptr;
    QLineEdit *edtName = nullptr;
    QLineEdit *edtpycode = nullptr;
    QLineEdit *cbeType = nullptr;
    QToolButton *cbeTypeButton = nullptr;
    QLineEdit *edtSpec = nullptr;
    QLineEdit *edtAddress = nullptr;
    QComboBox *cbbUnit = nullptr;
    QDoubleSpinBox *rceHdepot = nullptr;
    QDoubleSpinBox *rceDdepot = nullptr;
    QDoubleSpinBox *cePrice1 = nullptr;
    QDoubleSpinBox *cePrice2 = nullptr;
    QDoubleSpinBox *rceAmount = nullptr;
    QDoubleSpinBox *cePrice = nullptr;
    QDoubleSpinBox *ceTotalPrice = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QCheckBox *cbFlag = nullptr;
    std::array<QLineEdit *, 5> edtZF{};
    std::array<QDoubleSpinBox *, 3> rceSZ{};
    std::array<CheckedDateEdit *, 3> dtpRQ{};
    std::array<QLabel *, 11> customLabels{};
    std::array<QLabel *, 4> priceLabels{};
    QCheckBox *cbContinue = nullptr;
    QWidget *navigator = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void applyOptions();
    void recomputeTotal();
    void moveTo(int row);

    Mode m_mode;
    RowSet *m_list;
    bool m_fromChooser;
    QString m_oldCode;
    QVariant m_id;
};

} // namespace tarvik
