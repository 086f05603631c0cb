#pragma once

#include "master/sqlstatement.h"

#include <QDialog>
#include <QVariantMap>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace tarvik {

class ChooserTarget;
class DataGrid;
class RowSet;

// The common dialog of the item and partner choosers: search boxes over a grid,
// an optional category tree (or another side panel) on the left, a counter
// label, "确定" / "关闭", and in append mode the floating "选择(F2)" button over
// the focused row. In pick mode it hands back one value of the chosen row; in
// append mode it appends the chosen rows to a ChooserTarget and stays open,
// leaving out the codes already on the target (work table tempCode).
class ChooserFrame : public QDialog {
    Q_OBJECT
public:
    enum Mode { PickMode, AppendMode };

    explicit ChooserFrame(QWidget *parent = nullptr);
    ~ChooserFrame() override;

    // Set-up by the concrete chooser.
    QLineEdit *addSearchBox(const QString &label, const QString &objectName, int maxLength = 50);
    void setCategoryTree(const QString &rootCaption, const QString &flag);
    void setSidePanel(QWidget *panel);
    QPushButton *addButton(const QString &text); // placed left of "确定"
    // The field handed back in pick mode (default "F_code").
    void setChosenField(const QString &field) { m_chosenField = field; }
    // After an append: stay on the row that followed the appended one (true), or go back to the first row.
    void setKeepFollowingRow(bool keep) { m_keepFollowing = keep; }
    // The item code field of the rows, for the following row and tempCode (default "F_code").
    void setCodeField(const QString &field) { m_codeField = field; }

    // Modes. Pick mode empties tempCode; append mode fills it from the target.
    void setPickMode(const QString &startValue);
    void setAppendMode(ChooserTarget *target);
    Mode mode() const { return m_mode; }
    ChooserTarget *target() const { return m_target; }

    // Runs the concrete chooser's statement (only while a tree node is selected when there is a tree).
    bool search();
    // Lists rows of another statement (the pick-mode listing) with the given counter text.
    bool list(const SqlStatement &statement, const QString &counterPrefix);
    // Appends the current row (append mode); nothing when the list is empty.
    bool appendCurrent();
    // The value handed back: the chosen row's field, or the start value when none was chosen.
    QString chosenValue() const { return m_chosen; }

    // The category path of the selected tree node ("" for none or the root).
    QString selectedPath() const;
    bool hasTreeSelection() const;
    void fillTempCode(); // from the target's codes; failures are ignored
    bool selectButtonShown() const;

    DataGrid *grid = nullptr;
    RowSet *rows = nullptr;
    QTreeWidget *tvTree = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnClose = nullptr;
    QPushButton *btnSelect = nullptr; // "选择(F2)"

public slots:
    void confirm(); // "确定"

protected:
    // The concrete chooser's search statement, built from its boxes and selectedPath().
    virtual SqlStatement searchStatement() const = 0;
    // The counter label's text.
    virtual QString counterText(int count) const;
    // The line appended for row `row` (without owner and price: the frame adds those through the target).
    virtual QVariantMap lineFor(int row) const = 0;
    // The default price of an appended line.
    virtual double priceFor(int row) const = 0;
    // The item handed to a header-filling target: every field of the row, keyed by its lower-case name.
    virtual QVariantMap itemFor(int row) const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void updateCounter(const QString &prefix);
    void placeSelectButton();

    Mode m_mode = PickMode;
    ChooserTarget *m_target = nullptr;
    QString m_chosenField = QStringLiteral("F_code");
    QString m_codeField = QStringLiteral("F_code");
    QString m_chosen;
    bool m_keepFollowing = true;
    QString m_flag;
    QHBoxLayout *m_searchRow = nullptr;
    QHBoxLayout *m_buttonRow = nullptr;
    QHBoxLayout *m_body = nullptr;
    QWidget *m_side = nullptr;
};

} // namespace tarvik
