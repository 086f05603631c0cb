#include "master/frmtreecodeman.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/prompts.h"
#include "master/categorytree.h"
#include "master/dlgentercaption.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {

TFrmTreeCodeMan::TFrmTreeCodeMan(int mode, QWidget *parent) : QDialog(parent ? parent : mainWindow()), m_mode(mode)
{
    const bool products = mode == MaintainProducts || mode == ChooseProducts;
    m_flag = products ? kProductTypeFlag : kGoodTypeFlag;
    m_caption = products ? QStringLiteral("产成品类型资料") : QStringLiteral("原材料类型资料");
    setObjectName(QStringLiteral("FrmTreeCodeMan"));
    setWindowTitle(m_caption);
    resize(520, 460);

    auto *hint = new QLabel(QStringLiteral("    增加节点，需先选中左边框里的节点成灰色，然后才能选择增加同级节点或子节点"), this);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));

    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvTree->setDragDropMode(QAbstractItemView::NoDragDrop);
    tvTree->setContextMenuPolicy(Qt::CustomContextMenu);

    btnAddSibling = new QPushButton(QStringLiteral("添加同类(&A)"), this);
    btnAddChild = new QPushButton(QStringLiteral("添加子类(&C)"), this);
    btnEdit = new QPushButton(QStringLiteral("修    改(&E)"), this);
    btnDelete = new QPushButton(QStringLiteral("删除(包含子类)"), this);
    for (QPushButton *b : {btnAddSibling, btnAddChild, btnEdit, btnDelete})
        b->setAutoDefault(false);
    connect(btnAddSibling, &QPushButton::clicked, this, &TFrmTreeCodeMan::addSibling);
    connect(btnAddChild, &QPushButton::clicked, this, &TFrmTreeCodeMan::addChild);
    connect(btnEdit, &QPushButton::clicked, this, &TFrmTreeCodeMan::changeNode);
    connect(btnDelete, &QPushButton::clicked, this, &TFrmTreeCodeMan::deleteNode);

    popup = new QMenu(this);
    popup->addAction(QStringLiteral("添加同类(&A)"), this, &TFrmTreeCodeMan::addSibling);
    popup->addAction(QStringLiteral("添加子类(&C)"), this, &TFrmTreeCodeMan::addChild);
    popup->addAction(QStringLiteral("修    改(&E)"), this, &TFrmTreeCodeMan::changeNode);
    popup->addSeparator();
    popup->addAction(QStringLiteral("删除(包含子类)"), this, &TFrmTreeCodeMan::deleteNode);
    connect(tvTree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popup->popup(tvTree->viewport()->mapToGlobal(at)); });

    auto *side = new QVBoxLayout;
    side->addWidget(btnAddSibling);
    side->addWidget(btnAddChild);
    side->addWidget(btnEdit);
    side->addWidget(btnDelete);
    side->addStretch();

    pBottom = new QWidget(this);
    btnOk = new QPushButton(QStringLiteral("确定"), pBottom);
    btnCancel = new QPushButton(QStringLiteral("取消"), pBottom);
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &TFrmTreeCodeMan::confirm);
    connect(btnCancel, &QPushButton::clicked, this, &TFrmTreeCodeMan::reject);
    auto *bottom = new QHBoxLayout(pBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch();
    bottom->addWidget(btnOk);
    bottom->addWidget(btnCancel);
    pBottom->setVisible(choosing());

    auto *middle = new QHBoxLayout;
    middle->addWidget(tvTree, 1);
    middle->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(middle, 1);
    layout->addWidget(pBottom);

    connect(tvTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) {
        if (choosing() && node && !isRootNode(node))
            confirm();
    });

    reload();
    tvTree->setFocus();
}

void TFrmTreeCodeMan::reload()
{
    FillCategoryTree(tvTree, m_caption, m_flag);
    QTreeWidgetItem *root = tvTree->topLevelItem(0);
    root->setExpanded(true);
    selectNode(root);
}

QTreeWidgetItem *TFrmTreeCodeMan::selectedNode() const
{
    return tvTree->currentItem();
}

void TFrmTreeCodeMan::selectNode(QTreeWidgetItem *node)
{
    tvTree->setCurrentItem(node);
    if (node)
        node->setSelected(true);
}

void TFrmTreeCodeMan::setPresetPath(const QString &path)
{
    QList<QTreeWidgetItem *> pending{tvTree->topLevelItem(0)};
    QTreeWidgetItem *last = nullptr;
    while (!pending.isEmpty()) {
        QTreeWidgetItem *n = pending.takeFirst();
        if (!n)
            continue;
        if (!isRootNode(n) && nodeData(n).path == path) {
            for (QTreeWidgetItem *p = n; p; p = p->parent())
                p->setExpanded(true);
            last = n;
        }
        for (int i = 0; i < n->childCount(); ++i)
            pending << n->child(i);
    }
    if (last) {
        selectNode(last);
        tvTree->scrollToItem(last);
    }
}

void TFrmTreeCodeMan::addSibling()
{
    addNode(false);
}

void TFrmTreeCodeMan::addChild()
{
    addNode(true);
}

void TFrmTreeCodeMan::addNode(bool child)
{
    QTreeWidgetItem *selected = selectedNode();
    if (!selected)
        return;
    const bool root = isRootNode(selected);
    if (!child && root) {
        ShowMsg(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"), MsgInfo);
        return;
    }
    const tNodeData at = nodeData(selected);
    auto code = NextCategoryCode(dmData->db(), root ? QString() : at.code, m_flag, child ? CodeChild : CodeSibling);
    if (!code) {
        if (code.error().detail.isEmpty())
            ShowMsg(code.message(), MsgInfo);
        else
            ShowMsg(kMsgTreeWriteFailed, MsgError, code.error().detail);
        return;
    }
    const QString name = TDLGenterCaption::ask(QStringLiteral("添加 ") + at.code + QLatin1Char(' ') + at.name
                                               + (child ? QStringLiteral(" 子类") : QStringLiteral(" 同类")));
    if (name.trimmed().isEmpty())
        return;
    QString path;
    if (child)
        path = childCategoryPath(root ? kRootPath : at.path, name);
    else if (nodeLevel(selected) == 1)
        path = kRootPath + name;
    else
        path = CategoryPath(selected, true) + QLatin1Char('\\') + name;

    const tNodeData added{int(code->size()), *code, name, path};
    if (auto r = CategoryStore(dmData->db()).insert(added, m_flag); !r) {
        ShowMsg(kMsgTreeWriteFailed, MsgError, r.error().detail);
        return;
    }
    QTreeWidgetItem *parent = child ? selected : selected->parent();
    auto *node = new QTreeWidgetItem(parent, QStringList{name});
    setNodeData(node, added);
    updateNodeIcon(node);
    updateNodeIcon(parent);
    parent->setExpanded(true);
}

void TFrmTreeCodeMan::changeNode()
{
    QTreeWidgetItem *selected = selectedNode();
    if (!selected || isRootNode(selected))
        return;
    const tNodeData at = nodeData(selected);
    const QString name = TDLGenterCaption::ask(
        QStringLiteral("修改类别 ") + at.code + QLatin1Char(' ') + at.name + QStringLiteral(" 子类"), selected->text(0));
    if (name.trimmed().isEmpty())
        return;
    const QString parentPath = nodeData(selected->parent()).path;
    const QString newPath = parentPath.trimmed() == kRootPath ? kRootPath + name : parentPath + QLatin1Char('\\') + name;
    const QString oldPath = CategoryPath(selected, false);
    if (newPath.trimmed().toLower() == oldPath.trimmed().toLower())
        return;
    if (auto r = CategoryStore(dmData->db()).rename(at.code, m_flag, name, newPath); !r) {
        ShowMsg(kMsgTreeWriteFailed, MsgError, r.error().detail);
        return;
    }
    selected->setText(0, name);
    setNodeData(selected, tNodeData{at.codeLength, at.code, name, newPath});
}

void TFrmTreeCodeMan::deleteNode()
{
    QTreeWidgetItem *selected = selectedNode();
    if (!selected)
        return;
    if (isRootNode(selected)) {
        ShowMsg(QStringLiteral("不能删除根节点！"), MsgInfo);
        return;
    }
    const tNodeData at = nodeData(selected);
    const QString question = selected->childCount() > 0
        ? QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？")
        : QStringLiteral("真的要删除当前节点 “") + at.code + at.name + QStringLiteral("” 吗？");
    if (ShowMsg(question, MsgQuestion) != MsgOk)
        return;
    if (auto r = CategoryStore(dmData->db()).removeSubtree(at.code, m_flag); !r) {
        // The rows are still there: the view keeps showing them.
        ShowMsg(r.message(), MsgError, r.error().detail);
        return;
    }
    QTreeWidgetItem *parent = selected->parent();
    delete selected;
    updateNodeIcon(parent);
    selectNode(tvTree->currentItem() ? tvTree->currentItem() : parent);
}

void TFrmTreeCodeMan::confirm()
{
    if (!choosing())
        return;
    QTreeWidgetItem *selected = selectedNode();
    if (!selected || isRootNode(selected)) {
        ShowMsg(QStringLiteral("不能选择根节点！"), MsgInfo);
        return;
    }
    m_chosen = nodeData(selected).path;
    accept();
}

void TFrmTreeCodeMan::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        reject();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && choosing()) {
        QTreeWidgetItem *selected = selectedNode();
        if (selected && !isRootNode(selected))
            confirm();
        return;
    }
    if (key == Qt::Key_Delete) {
        deleteNode();
        return;
    }
    if (key == Qt::Key_S && event->modifiers() == Qt::ControlModifier) {
        changeNode();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString TFrmTreeCodeMan::choose(bool products, const QString &current)
{
    TFrmTreeCodeMan form(products ? ChooseProducts : ChooseGoods);
    form.setPresetPath(current);
    if (prompts().execDialog(form) != QDialog::Accepted)
        return current;
    return form.chosenPath();
}

void TFrmTreeCodeMan::maintain(bool products)
{
    TFrmTreeCodeMan form(products ? MaintainProducts : MaintainGoods);
    prompts().execDialog(form);
}

} // namespace tarvik
