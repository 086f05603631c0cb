#include "master/frmcodeman.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/grid/datagrid.h"
#include "data/grid/gridprinter.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "data/session.h"
#include "master/codelist.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace tarvik {

TFrmCodeMan::TFrmCodeMan(QWidget *parent) : QDialog(parent ? parent : mainWindow())
{
    setObjectName(QStringLiteral("FrmCodeMan"));
    setWindowTitle(QStringLiteral("选项设置"));
    resize(800, 480);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto act = [this](const QString &text, auto slot) {
        QAction *a = ToolBar1->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    tbNew = act(QStringLiteral("新增"), &TFrmCodeMan::addEntry);
    tbEdit = act(QStringLiteral("修改"), &TFrmCodeMan::editEntry);
    tbDel = act(QStringLiteral("删除"), &TFrmCodeMan::deleteEntry);
    ToolBar1->addSeparator();
    tbSave = act(QStringLiteral("保存"), &TFrmCodeMan::saveEntries);
    tbCancel = act(QStringLiteral("取消"), &TFrmCodeMan::cancelEntries);
    ToolBar1->addSeparator();
    tbPrint = act(QStringLiteral("打印"), &TFrmCodeMan::printList);
    tbRefresh = act(QStringLiteral("刷新"), &TFrmCodeMan::reloadList);
    ToolBar1->addSeparator();
    tbExit = act(QStringLiteral("退出"), &QDialog::close);

    tabs = new QTabBar(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->setExpanding(false);
    for (const CodeListKind &k : codeLists())
        tabs->addTab(k.tabCaption);
    connect(tabs, &QTabBar::currentChanged, this, &TFrmCodeMan::selectList);

    rows = new RowSet(this);
    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGridEh1"));
    grid->setRowSet(rows);
    GridColumn name(QStringLiteral("F_name"), QString(), 360);
    name.maxLength = 255;
    grid->setColumns({name});
    grid->setReadOnly(true);
    connect(grid, &DataGrid::keyPressed, this, [this](QKeyEvent *e) {
        if (!grid->isEditing() && handleKey(e->key(), e->modifiers()))
            e->accept();
    });
    connect(grid, &DataGrid::doubleClicked, this, [this](int) {
        if (!m_editing)
            editEntry();
    });

    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    for (size_t i = 0; i < panels.size(); ++i) {
        panels[i] = new QLabel(this);
        statusBar->addWidget(panels[i], i == 1 ? 1 : 0);
    }
    panels[3]->setText(systemOptions().CompanyName + QStringLiteral("  "));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(ToolBar1);
    layout->addWidget(tabs);
    layout->addWidget(grid, 1);
    layout->addWidget(statusBar);

    selectList(0);
    setEditing(false);
}

QString TFrmCodeMan::currentCaption() const
{
    return codeLists().value(tabs->currentIndex()).tabCaption;
}

void TFrmCodeMan::selectList(int index)
{
    if (index < 0 || index >= codeLists().size())
        return;
    m_type = codeLists()[index].type;
    grid->setColumnTitle(0, codeLists()[index].tabCaption.trimmed());
    if (auto r = CodeListStore(dmData->db()).open(*rows, m_type); !r)
        ShowMsg(kMsgOpenFailed, MsgError, r.error().detail);
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
}

void TFrmCodeMan::setEditing(bool editing)
{
    m_editing = editing;
    for (QAction *a : {tbNew, tbEdit, tbDel, tbExit, tbRefresh, tbPrint})
        a->setEnabled(!editing);
    tbSave->setEnabled(editing);
    tbCancel->setEnabled(editing);
    tabs->setEnabled(!editing);
    grid->setReadOnly(!editing);
}

void TFrmCodeMan::addEntry()
{
    if (m_editing)
        return;
    setEditing(true);
    rows->append();
    grid->focusField(QStringLiteral("F_name"));
    grid->editCurrentCell();
}

void TFrmCodeMan::editEntry()
{
    if (m_editing)
        return;
    if (rows->isEmpty()) {
        ShowMsg(QStringLiteral("此表为空，没有记录需要修改！"), MsgError);
        return;
    }
    setEditing(true);
    grid->focusField(QStringLiteral("F_name"));
}

void TFrmCodeMan::deleteEntry()
{
    if (m_editing)
        return;
    if (rows->isEmpty()) {
        ShowMsg(QStringLiteral("此表是空表，不需要删除！"), MsgInfo);
        return;
    }
    const int row = std::max(0, rows->current());
    const QString question = QStringLiteral("真的要删除 \"") + currentCaption() + QStringLiteral("\"")
        + rows->text(row, QStringLiteral("F_name")) + QStringLiteral("吗？");
    if (ShowMsg(question, MsgQuestion) != MsgOk)
        return;
    rows->remove(row);
    if (auto r = CodeListStore(dmData->db()).save(*rows, m_type); !r) {
        ShowMsg(kMsgSaveFailed, MsgError, r.error().detail);
        rows->cancelUpdates(); // the entry is still stored: show it again
    }
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
}

bool TFrmCodeMan::saveEntries()
{
    if (!m_editing)
        return false;
    grid->commitEdit();
    if (auto r = CodeListStore(dmData->db()).save(*rows, m_type); !r) {
        // Nothing was written: the typed entries stay on screen for another try.
        ShowMsg(kMsgSaveFailed, MsgError, r.error().detail);
        return false;
    }
    setEditing(false);
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
    return true;
}

void TFrmCodeMan::cancelEntries()
{
    if (!m_editing)
        return;
    grid->cancelEdit();
    rows->cancelUpdates();
    setEditing(false);
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
}

void TFrmCodeMan::printList()
{
    PrintGrid(grid, grid->column(0).title + QStringLiteral("设置"), 1, QStringLiteral("date"), QString());
}

void TFrmCodeMan::reloadList()
{
    selectList(tabs->currentIndex());
}

bool TFrmCodeMan::keepPending()
{
    // Closing while entries are being typed: ask instead of dropping them.
    if (!m_editing)
        return false;
    grid->commitEdit();
    if (!rows->hasPendingChanges()) {
        cancelEntries();
        return false;
    }
    if (ShowMsg(QStringLiteral("当前列表有未保存的修改，要保存吗？"), MsgQuestion) == MsgOk)
        return !saveEntries();
    cancelEntries();
    return false;
}

void TFrmCodeMan::reject()
{
    // Esc cancels the editing; while browsing it closes the window.
    if (m_editing) {
        cancelEntries();
        return;
    }
    QDialog::reject();
}

void TFrmCodeMan::closeEvent(QCloseEvent *event)
{
    if (keepPending()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool TFrmCodeMan::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    auto run = [](QAction *a) {
        if (a->isEnabled())
            a->trigger();
        return true;
    };
    if (modifiers == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_A: return run(tbNew);
        case Qt::Key_E: return run(tbEdit);
        case Qt::Key_S: return run(tbSave);
        default: return false;
        }
    }
    if (key == Qt::Key_Delete && modifiers == Qt::NoModifier && !m_editing)
        return run(tbDel);
    return false;
}

void TFrmCodeMan::keyPressEvent(QKeyEvent *event)
{
    if (handleKey(event->key(), event->modifiers()))
        return;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tarvik
