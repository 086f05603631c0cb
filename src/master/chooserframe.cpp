#include "master/chooserframe.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/grid/datagrid.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "master/categorytree.h"
#include "master/choosertarget.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {

ChooserFrame::ChooserFrame(QWidget *parent) : QDialog(parent ? parent : mainWindow())
{
    rows = new RowSet(this);
    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGridEh1"));
    grid->setRowSet(rows);
    grid->setReadOnly(true);

    btnSearch = new QPushButton(QStringLiteral("查询"), this);
    btnSearch->setAutoDefault(false);
    connect(btnSearch, &QPushButton::clicked, this, &ChooserFrame::search);
    m_searchRow = new QHBoxLayout;
    m_searchRow->addStretch();
    m_searchRow->addWidget(btnSearch);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnOk->setAutoDefault(false);
    btnClose->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &ChooserFrame::confirm);
    connect(btnClose, &QPushButton::clicked, this, &ChooserFrame::reject);
    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addWidget(lblCount);
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(btnOk);
    m_buttonRow->addWidget(btnClose);

    // The floating button lives on the grid's cells, over the focused row.
    btnSelect = new QPushButton(QStringLiteral("选择(F2)"), grid->view()->viewport());
    btnSelect->setObjectName(QStringLiteral("btnSelect"));
    btnSelect->setFocusPolicy(Qt::NoFocus);
    btnSelect->setCursor(Qt::PointingHandCursor);
    btnSelect->hide();
    connect(btnSelect, &QPushButton::clicked, this, &ChooserFrame::appendCurrent);
    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(f2, &QShortcut::activated, this, [this] {
        if (selectButtonShown())
            btnSelect->click();
    });
    grid->view()->viewport()->installEventFilter(this);
    connect(grid->view()->verticalScrollBar(), &QScrollBar::valueChanged, this, &ChooserFrame::placeSelectButton);
    connect(grid, &DataGrid::currentRowChanged, this, &ChooserFrame::placeSelectButton);
    connect(rows, &RowSet::reset, this, &ChooserFrame::placeSelectButton);
    connect(grid, &DataGrid::doubleClicked, this, [this](int) {
        if (m_mode == AppendMode)
            appendCurrent();
        else
            confirm();
    });

    m_body = new QHBoxLayout;
    m_body->addWidget(grid, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_searchRow);
    layout->addLayout(m_body, 1);
    layout->addLayout(m_buttonRow);
    resize(820, 520);
}

ChooserFrame::~ChooserFrame() = default;

QLineEdit *ChooserFrame::addSearchBox(const QString &label, const QString &objectName, int maxLength)
{
    auto *l = new QLabel(label, this);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setMaxLength(maxLength);
    l->setBuddy(edit);
    const int at = m_searchRow->count() - 2; // before the stretch and "查询"
    m_searchRow->insertWidget(at, l);
    m_searchRow->insertWidget(at + 1, edit);
    connect(edit, &QLineEdit::returnPressed, this, &ChooserFrame::search);
    return edit;
}

void ChooserFrame::setCategoryTree(const QString &rootCaption, const QString &flag)
{
    m_flag = flag;
    if (!tvTree) {
        tvTree = new QTreeWidget(this);
        tvTree->setObjectName(QStringLiteral("tvTree"));
        tvTree->setHeaderHidden(true);
        tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tvTree->setMaximumWidth(220);
        connect(tvTree, &QTreeWidget::itemDoubleClicked, this, [this] { search(); });
        setSidePanel(tvTree);
    }
    FillCategoryTree(tvTree, rootCaption, flag);
    QTreeWidgetItem *root = tvTree->topLevelItem(0);
    root->setExpanded(true);
    tvTree->setCurrentItem(root);
    tvTree->setFocus();
}

void ChooserFrame::setSidePanel(QWidget *panel)
{
    if (m_side && m_side != panel)
        m_side->hide();
    m_side = panel;
    m_body->insertWidget(0, panel);
}

QPushButton *ChooserFrame::addButton(const QString &text)
{
    auto *b = new QPushButton(text, this);
    b->setAutoDefault(false);
    m_buttonRow->insertWidget(m_buttonRow->count() - 2, b);
    return b;
}

void ChooserFrame::setPickMode(const QString &startValue)
{
    m_mode = PickMode;
    m_target = nullptr;
    m_chosen = startValue;
    (void)dmData->db().exec(QStringLiteral("DELETE FROM tempCode"));
    placeSelectButton();
}

void ChooserFrame::setAppendMode(ChooserTarget *target)
{
    m_mode = AppendMode;
    m_target = target;
    fillTempCode();
    placeSelectButton();
}

void ChooserFrame::fillTempCode()
{
    Database &db = dmData->db();
    Transaction tx(db);
    (void)db.exec(QStringLiteral("DELETE FROM tempCode"));
    if (m_target) {
        // Blank codes are left out: they name no item, and a null would hide every row from NOT IN.
        for (const QString &code : m_target->itemCodes())
            if (!code.trimmed().isEmpty())
                (void)db.exec(QStringLiteral("INSERT INTO tempCode (F_code) VALUES (?)"), {code.trimmed()});
    }
    (void)tx.commit();
}

QString ChooserFrame::selectedPath() const
{
    if (!tvTree || !tvTree->currentItem() || isRootNode(tvTree->currentItem()))
        return QString();
    return nodeData(tvTree->currentItem()).path;
}

bool ChooserFrame::hasTreeSelection() const
{
    return !tvTree || tvTree->currentItem();
}

QString ChooserFrame::counterText(int count) const
{
    return QStringLiteral("当前货品数量： %1 个").arg(count);
}

void ChooserFrame::updateCounter(const QString &prefix)
{
    lblCount->setText(prefix.isEmpty() ? counterText(rows->count())
                                       : prefix + QStringLiteral("%1 个").arg(rows->count()));
}

bool ChooserFrame::search()
{
    if (!hasTreeSelection())
        return false;
    const SqlStatement s = searchStatement();
    if (!dmData->OpenQuery(s.sql, s.params, *rows))
        return false;
    if (!rows->isEmpty() && rows->current() < 0)
        rows->setCurrent(0);
    updateCounter(QString());
    placeSelectButton();
    return true;
}

bool ChooserFrame::list(const SqlStatement &statement, const QString &counterPrefix)
{
    if (!dmData->OpenQuery(statement.sql, statement.params, *rows))
        return false;
    if (!rows->isEmpty() && rows->current() < 0)
        rows->setCurrent(0);
    updateCounter(counterPrefix);
    placeSelectButton();
    return true;
}

QVariantMap ChooserFrame::itemFor(int row) const
{
    // One spelling on both engines (PostgreSQL reports names in lower case).
    QVariantMap item;
    for (int f = 0; f < rows->fieldCount(); ++f)
        item.insert(rows->fieldName(f).toLower(), rows->value(row, f));
    return item;
}

bool ChooserFrame::appendCurrent()
{
    if (m_mode != AppendMode || !m_target || rows->isEmpty() || rows->current() < 0)
        return false;
    const int row = rows->current();
    if (m_target->fillsHeader()) {
        if (!m_target->fillHeader(itemFor(row)))
            return false;
        accept();
        return true;
    }
    QVariantMap line = lineFor(row);
    line.insert(m_target->ownerColumn(), m_target->ownerValue());
    const double price = priceFor(row);
    line.insert(QStringLiteral("F_amount"), 1.0);
    line.insert(QStringLiteral("F_price"), price);
    line.insert(QStringLiteral("F_totalPrice"), price);
    if (!m_target->appendLine(line))
        return false;
    fillTempCode();
    const QString following = m_keepFollowing && row + 1 < rows->count() ? rows->text(row + 1, m_codeField) : QString();
    search();
    if (!following.isEmpty())
        rows->locate(m_codeField, following);
    else if (m_keepFollowing && !rows->isEmpty())
        rows->setCurrent(std::min(row, rows->count() - 1));
    else if (!rows->isEmpty())
        rows->setCurrent(0);
    placeSelectButton();
    return true;
}

void ChooserFrame::confirm()
{
    if (m_mode == AppendMode) {
        if (m_target && m_target->fillsHeader()) {
            if (!appendCurrent())
                return;
            return; // appendCurrent closed the dialog
        }
        appendCurrent();
        accept();
        return;
    }
    if (!rows->isEmpty() && rows->current() >= 0)
        m_chosen = rows->text(rows->current(), m_chosenField);
    accept();
}

bool ChooserFrame::selectButtonShown() const
{
    return btnSelect->isVisibleTo(grid->view()->viewport());
}

void ChooserFrame::placeSelectButton()
{
    const int row = rows->current();
    const QList<int> shown = grid->shownColumns();
    if (m_mode != AppendMode || rows->isEmpty() || row < 0 || shown.isEmpty()) {
        btnSelect->hide();
        return;
    }
    QTableView *view = grid->view();
    const QRect cell = view->visualRect(view->model()->index(row, shown.first()));
    QWidget *viewport = view->viewport();
    if (!cell.isValid() || cell.bottom() < 0 || cell.top() > viewport->height()) {
        btnSelect->hide();
        return;
    }
    const int height = std::max(cell.height(), btnSelect->sizeHint().height() - 6);
    btnSelect->setGeometry(viewport->width() * 2 / 3, cell.top(), btnSelect->sizeHint().width(), height);
    btnSelect->show();
    btnSelect->raise();
}

bool ChooserFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid->view()->viewport() && event->type() == QEvent::Resize)
        placeSelectButton();
    return QDialog::eventFilter(watched, event);
}

void ChooserFrame::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeSelectButton();
}

} // namespace tarvik
