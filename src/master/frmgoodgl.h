#pragma once

#include "master/sqlstatement.h"

#include <QWidget>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace tarvik {

class DataGrid;
class RowSet;

// "原材料管理": the raw material list with its category tree and search bar.
class TFrmGoodGl : public QWidget {
    Q_OBJECT
public:
    explicit TFrmGoodGl(QWidget *parent = nullptr);

    // Runs the search of the bar and the selected category (nothing without a selected node).
    bool search();
    // Re-runs the last search and moves to `code` when given.
    void refresh(const QString &code = {});

    void newGood();
    void editGood();
    void deleteGood();
    void changeType();
    void moveFirst();
    void movePrior();
    void moveNext();
    void moveLast();
    void print();
    void design();
    void exportList();

    QString templateName() const;
    void updateButtons();

    QToolBar *ToolBar1 = nullptr;
    QAction *tbNew = nullptr;
    QAction *tbEdit = nullptr;
    QAction *tbDel = nullptr;
    QAction *tbFirst = nullptr;
    QAction *tbPrior = nullptr;
    QAction *tbNext = nullptr;
    QAction *tbLast = nullptr;
    QAction *tbPrint = nullptr;
    QAction *tbSet = nullptr;
    QAction *tbExport = nullptr;
    QAction *tbExit = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *sbFind = nullptr;
    QCheckBox *cbStopped = nullptr;
    QToolButton *sbTree = nullptr;
    QTreeWidget *tvTree = nullptr;
    DataGrid *grid = nullptr;
    RowSet *rows = nullptr;
    QMenu *popup = nullptr;
    QAction *nChangeType = nullptr;
    QStatusBar *statusBar = nullptr;
    std::array<QLabel *, 4> panels{};

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void gridKey(QKeyEvent *event);
    bool runKey(int key, Qt::KeyboardModifiers modifiers);
    void openEditor(bool isNew);

    bool m_searched = false;
};

} // namespace tarvik
