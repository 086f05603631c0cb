#include "master/frmgoodgl.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/export/gridexport.h"
#include "data/grid/datagrid.h"
#include "data/grid/gridservices.h"
#include "data/prompts.h"
#include "data/report/reportcolumn.h"
#include "data/report/reportservices.h"
#include "data/rowset.h"
#include "data/session.h"
#include "master/categorytree.h"
#include "master/designedcolumns.h"
#include "master/dlgeditgoodtype.h"
#include "master/frmgoodedit.h"
#include "master/goodsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {

namespace {
const QString kGridName = QStringLiteral("goodgl");

// Keys the window acts on before its controls (Edit1 keeps its own editing keys).
class KeyPreview : public QObject {
public:
    KeyPreview(QObject *parent, std::function<bool(int, Qt::KeyboardModifiers)> handler, bool textBox)
        : QObject(parent), m_handler(std::move(handler)), m_textBox(textBox)
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(event);
            const bool command = k->modifiers() == Qt::ControlModifier && (k->key() == Qt::Key_A || k->key() == Qt::Key_E);
            if ((!m_textBox || command || k->key() == Qt::Key_Escape) && m_handler(k->key(), k->modifiers()))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int, Qt::KeyboardModifiers)> m_handler;
    bool m_textBox;
};
} // namespace

TFrmGoodGl::TFrmGoodGl(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmGoodGl"));
    setWindowTitle(QStringLiteral("原材料管理"));
    resize(900, 560);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto act = [this](const QString &text, void (TFrmGoodGl::*slot)()) {
        QAction *a = ToolBar1->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    tbNew = act(QStringLiteral("新增"), &TFrmGoodGl::newGood);
    tbEdit = act(QStringLiteral("修改"), &TFrmGoodGl::editGood);
    tbDel = act(QStringLiteral("删除"), &TFrmGoodGl::deleteGood);
    ToolBar1->addSeparator();
    tbFirst = act(QStringLiteral("首项"), &TFrmGoodGl::moveFirst);
    tbPrior = act(QStringLiteral("前项"), &TFrmGoodGl::movePrior);
    tbNext = act(QStringLiteral("后项"), &TFrmGoodGl::moveNext);
    tbLast = act(QStringLiteral("末项"), &TFrmGoodGl::moveLast);
    ToolBar1->addSeparator();
    tbPrint = act(QStringLiteral("打印"), &TFrmGoodGl::print);
    tbSet = act(QStringLiteral("设置"), &TFrmGoodGl::design);
    tbExport = act(QStringLiteral("导出"), &TFrmGoodGl::exportList);
    ToolBar1->addSeparator();
    tbExit = ToolBar1->addAction(QStringLiteral("退出"));
    connect(tbExit, &QAction::triggered, this, &QWidget::close);

    auto *bar = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(goodsQueryTypes());
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(255);
    sbFind = new QPushButton(QStringLiteral("查询"), this);
    sbFind->setObjectName(QStringLiteral("sbFind"));
    cbStopped = new QCheckBox(QStringLiteral("包含已停用"), this);
    bar->addWidget(new QLabel(QStringLiteral("查询类型："), this));
    bar->addWidget(ComboBox1);
    bar->addWidget(new QLabel(QStringLiteral("查询内容："), this));
    bar->addWidget(Edit1, 1);
    bar->addWidget(sbFind);
    bar->addWidget(cbStopped);
    connect(sbFind, &QPushButton::clicked, this, &TFrmGoodGl::search);
    connect(Edit1, &QLineEdit::returnPressed, this, &TFrmGoodGl::search);
    connect(cbStopped, &QCheckBox::clicked, this, &TFrmGoodGl::search);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        Edit1->setVisible(true);
        Edit1->clear();
    });

    auto *treePanel = new QWidget(this);
    auto *treeLayout = new QVBoxLayout(treePanel);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    tvTree = new QTreeWidget(treePanel);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeLayout->addWidget(tvTree);
    connect(tvTree, &QTreeWidget::itemDoubleClicked, this, [this] { search(); });

    sbTree = new QToolButton(this);
    sbTree->setText(QStringLiteral("类型"));
    sbTree->setToolTip(QStringLiteral("显示或隐藏类型"));
    sbTree->setCheckable(true);
    sbTree->setChecked(true);
    connect(sbTree, &QToolButton::toggled, treePanel, &QWidget::setVisible);
    bar->insertWidget(0, sbTree);

    rows = new RowSet(this);
    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGridEh1"));
    grid->setRowSet(rows);
    grid->setReadOnly(true);
    grid->setMultiSelect(true);
    grid->setColumns(designedColumns(kGridName));
    grid->setCellStyle([this](int row, int) {
        return rows->value(row, QStringLiteral("F_flag")).toBool() ? CellStyle::redOnButtonFace() : CellStyle();
    });
    connect(grid, &DataGrid::doubleClicked, this, [this](int) { editGood(); });
    connect(grid, &DataGrid::currentRowChanged, this, [this] { updateButtons(); });
    connect(rows, &RowSet::reset, this, &TFrmGoodGl::updateButtons);
    connect(grid, &DataGrid::keyPressed, this, &TFrmGoodGl::gridKey);
    InstallTitleSort(grid, SortGroup::A);
    GridMenu menu = InstallGridMenu(grid, kGridName);
    popup = menu.menu;
    nChangeType = popup->addAction(QStringLiteral("更改当前所选材料的类型"));
    connect(nChangeType, &QAction::triggered, this, &TFrmGoodGl::changeType);

    auto *split = new QSplitter(this);
    split->addWidget(treePanel);
    split->addWidget(grid);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 700});

    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    for (size_t i = 0; i < panels.size(); ++i) {
        panels[i] = new QLabel(this);
        statusBar->addWidget(panels[i], i == 1 ? 1 : 0);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(ToolBar1);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    layout->addWidget(statusBar);

    auto preview = [this](int key, Qt::KeyboardModifiers m) { return runKey(key, m); };
    tvTree->installEventFilter(new KeyPreview(this, preview, false));
    Edit1->installEventFilter(new KeyPreview(this, preview, true));
    ComboBox1->installEventFilter(new KeyPreview(this, preview, true));

    // On show: layout, tree, formats; the grid stays empty until the first search.
    LoadGridLayout(grid, kGridName);
    FillCategoryTree(tvTree, QStringLiteral("原材料类型"), kGoodTypeFlag);
    tvTree->topLevelItem(0)->setExpanded(true);
    tvTree->setCurrentItem(tvTree->topLevelItem(0));
    FormatGridColumns(grid, 1, 1);
    ApplyCustomFieldCaptions(grid);
    panels[3]->setText(systemOptions().CompanyName + QStringLiteral("  "));
    updateButtons();
    tvTree->setFocus();
}

bool TFrmGoodGl::search()
{
    QTreeWidgetItem *node = tvTree->currentItem();
    if (!node)
        return false;
    GoodsSearch s;
    s.type = ComboBox1->currentIndex();
    s.text = Edit1->text();
    s.categoryPath = isRootNode(node) ? QString() : nodeData(node).path;
    s.includeStopped = cbStopped->isChecked();
    const SqlStatement st = GoodsStore(dmData->db()).searchStatement(s);
    if (!dmData->OpenQuery(st.sql, st.params, *rows))
        return false;
    m_searched = true;
    if (!rows->isEmpty())
        rows->setCurrent(0);
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
    updateButtons();
    return true;
}

void TFrmGoodGl::refresh(const QString &code)
{
    if (!rows->isOpen()) {
        search();
    } else if (auto r = rows->reopen(dmData->db()); !r) {
        ShowMsg(kMsgOpenFailed, MsgError, r.error().detail);
    }
    if (!code.isEmpty())
        rows->locate(QStringLiteral("F_code"), code);
    panels[2]->setText(QStringLiteral("记录数：%1").arg(rows->count()));
    updateButtons();
}

void TFrmGoodGl::openEditor(bool isNew)
{
    TFrmGoodEdit editor(isNew ? TFrmGoodEdit::NewMode : TFrmGoodEdit::ChangeMode, rows, false, this);
    editor.refresh = [this](const QString &code) { refresh(code); };
    SetFormPlacement(&editor, 1);
    prompts().execDialog(editor);
}

void TFrmGoodGl::newGood()
{
    if (!tbNew->isEnabled())
        return;
    openEditor(true);
}

void TFrmGoodGl::editGood()
{
    if (!tbEdit->isEnabled())
        return;
    if (rows->isEmpty() || rows->current() < 0) {
        ShowMsg(QStringLiteral("此表为空，没有记录需要修改！"), MsgError);
        return;
    }
    openEditor(false);
}

void TFrmGoodGl::deleteGood()
{
    if (!tbDel->isEnabled() || rows->isEmpty() || rows->current() < 0)
        return;
    const int row = rows->current();
    if (ShowMsg(QStringLiteral("真的要删除商品") + rows->text(row, QStringLiteral("F_name")) + QStringLiteral("吗？"),
                MsgQuestion)
        != MsgOk)
        return;
    if (!dmData->DeleteRecordById(QStringLiteral("t_Goods"), rows->value(row, QStringLiteral("F_ID"))))
        return;
    const QString following = row + 1 < rows->count() ? rows->text(row + 1, QStringLiteral("F_code"))
                            : row > 0               ? rows->text(row - 1, QStringLiteral("F_code"))
                                                    : QString();
    refresh(following);
}

void TFrmGoodGl::changeType()
{
    if (ShowMsg(QStringLiteral("真的要改变当前所选商品的类型吗？"), MsgQuestion) != MsgOk)
        return;
    const QString path = TDlgEditGoodType::ask(false);
    if (path.trimmed().isEmpty())
        return;
    const QList<int> selected = grid->view()->selectionModel() && grid->view()->selectionModel()->hasSelection()
        ? grid->selectedRows()
        : QList<int>();
    if (selected.isEmpty()) {
        ShowMsg(QStringLiteral("请选择需要更改类型的货品资料！"), MsgInfo);
        return;
    }
    GoodsStore store(dmData->db());
    for (int row : selected) {
        // A row that cannot be written is skipped; the others still change.
        store.changeCategory({rows->value(row, QStringLiteral("F_ID"))}, path);
    }
    // What is shown is what is stored: nothing is left pending.
    if (auto r = rows->reopen(dmData->db()); !r)
        ShowMsg(kMsgOpenFailed, MsgError, r.error().detail);
    grid->refreshFooters();
}

void TFrmGoodGl::moveFirst()
{
    if (!rows->isEmpty())
        rows->setCurrent(0);
    updateButtons();
}

void TFrmGoodGl::movePrior()
{
    if (rows->current() > 0)
        rows->setCurrent(rows->current() - 1);
    updateButtons();
}

void TFrmGoodGl::moveNext()
{
    if (rows->current() + 1 < rows->count())
        rows->setCurrent(rows->current() + 1);
    updateButtons();
}

void TFrmGoodGl::moveLast()
{
    if (!rows->isEmpty())
        rows->setCurrent(rows->count() - 1);
    updateButtons();
}

QString TFrmGoodGl::templateName() const
{
    return QStringLiteral("frGoodGl") + loginContext().PriceHidden;
}

void TFrmGoodGl::print()
{
    PrintListReport(templateName(), *rows, reportColumnsOf(*grid));
}

void TFrmGoodGl::design()
{
    if (!tbSet->isEnabled())
        return;
    DesignListReport(templateName(), *rows, reportColumnsOf(*grid));
}

void TFrmGoodGl::exportList()
{
    ExportGrid(grid, QStringLiteral("原材料资料列表"), 1);
}

void TFrmGoodGl::updateButtons()
{
    const LoginContext &who = loginContext();
    const bool super = who.isSuper();
    tbNew->setEnabled(super || who.New);
    tbEdit->setEnabled(super || who.Edit);
    tbDel->setEnabled(super || who.Del);
    tbSet->setEnabled(super || who.Set);
    const int row = rows->current();
    const int count = rows->count();
    tbFirst->setEnabled(count > 0 && row > 0);
    tbPrior->setEnabled(count > 0 && row > 0);
    tbNext->setEnabled(count > 0 && row < count - 1);
    tbLast->setEnabled(count > 0 && row < count - 1);
}

bool TFrmGoodGl::runKey(int key, Qt::KeyboardModifiers modifiers)
{
    auto run = [](QAction *a) {
        if (a->isEnabled())
            a->trigger();
        return true;
    };
    if (modifiers == Qt::ControlModifier) {
        if (key == Qt::Key_A)
            return run(tbNew);
        if (key == Qt::Key_E)
            return run(tbEdit);
        return false;
    }
    if (modifiers != Qt::NoModifier && modifiers != Qt::KeypadModifier)
        return false;
    switch (key) {
    case Qt::Key_Escape: close(); return true;
    case Qt::Key_PageUp: return run(tbPrior);
    case Qt::Key_PageDown: return run(tbNext);
    case Qt::Key_Home: return run(tbFirst);
    case Qt::Key_End: return run(tbLast);
    case Qt::Key_Delete: return run(tbDel);
    default: return false;
    }
}

void TFrmGoodGl::gridKey(QKeyEvent *event)
{
    if (!grid->isEditing() && runKey(event->key(), event->modifiers()))
        event->accept();
}

void TFrmGoodGl::keyPressEvent(QKeyEvent *event)
{
    if (runKey(event->key(), event->modifiers()))
        return;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        focusNextChild();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tarvik
