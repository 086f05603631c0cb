#pragma once

#include <QDialog>

#include <array>

class QAction;
class QLabel;
class QStatusBar;
class QTabBar;
class QToolBar;

namespace tarvik {

class DataGrid;
class RowSet;

// "选项设置": the code lists of t_code, one tab per list, edited in memory and written by "保存".
class TFrmCodeMan : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCodeMan(QWidget *parent = nullptr);

    QString currentType() const { return m_type; }
    QString currentCaption() const;
    bool editing() const { return m_editing; }

    void selectList(int index);
    void addEntry();
    void editEntry();
    void deleteEntry();
    bool saveEntries();
    void cancelEntries();
    void printList();
    void reloadList();

    QToolBar *ToolBar1 = nullptr;
    QAction *tbNew = nullptr;
    QAction *tbEdit = nullptr;
    QAction *tbDel = nullptr;
    QAction *tbSave = nullptr;
    QAction *tbCancel = nullptr;
    QAction *tbPrint = nullptr;
    QAction *tbRefresh = nullptr;
    QAction *tbExit = nullptr;
    QTabBar *tabs = nullptr;
    DataGrid *grid = nullptr;
    RowSet *rows = nullptr;
    QStatusBar *statusBar = nullptr;
    std::array<QLabel *, 4> panels{};

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setEditing(bool editing);
    bool keepPending();
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    QString m_type;
    bool m_editing = false;
};

} // namespace tarvik
