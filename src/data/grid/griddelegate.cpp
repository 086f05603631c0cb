#include "data/grid/griddelegate.h"

#include "data/grid/datagrid.h"
#include "data/grid/displayformat.h"
#include "data/grid/rowsetmodel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionButton>

namespace tarvik {

namespace {

QIcon ellipsisIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QApplication::palette().color(QPalette::ButtonText));
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("…"));
    return QIcon(pm);
}

} // namespace

GridDelegate::GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QRect GridDelegate::buttonRect(const QRect &cell)
{
    const int w = std::min(kButtonWidth, cell.width());
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

bool GridDelegate::isNumericColumn(const QModelIndex &index) const
{
    const auto *model = m_grid->model();
    const int col = index.column();
    if (isNumericValue(model->value(index.row(), col)))
        return true;
    // An empty cell of a column whose other rows hold numbers, or that carries a number picture.
    const QString &fmt = model->columns().value(col).displayFormat;
    if (!fmt.isEmpty() && pictureDigits(fmt).hasDigits)
        return true;
    for (int r = 0; r < model->rowCount() && r < 20; ++r) {
        const QVariant v = model->value(r, col);
        if (!v.isNull())
            return isNumericValue(v);
    }
    return false;
}

void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto &cols = m_grid->columns();
    const bool button = index.column() < cols.size() && cols[index.column()].editButton;
    if (!button) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem textOpt(option);
    textOpt.rect.setRight(option.rect.right() - kButtonWidth);
    QStyledItemDelegate::paint(painter, textOpt, index);
    // The rest of the cell behind the button gets the cell's own background.
    QStyleOptionButton b;
    b.rect = buttonRect(option.rect);
    b.text = QStringLiteral("…");
    b.state = QStyle::State_Enabled | QStyle::State_Raised;
    b.palette = option.palette;
    const QWidget *w = option.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &b, painter, w);
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const GridColumn col = m_grid->columns().value(index.column());
    if (!col.pickList.isEmpty()) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->addItems(col.pickList);
        combo->setFrame(false);
        return combo;
    }
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (col.maxLength > 0)
        edit->setMaxLength(col.maxLength);
    if (isNumericColumn(index)) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral(R"(^[-+]?\d*(\.\d*)?([eE][-+]?\d+)?$)")), edit));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (col.editButton) {
        QAction *a = edit->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
        a->setToolTip(QStringLiteral("选择 (Ctrl+Enter)"));
        const QPersistentModelIndex pidx(index);
        DataGrid *grid = m_grid;
        const QString field = col.field;
        connect(a, &QAction::triggered, grid, [grid, pidx, field] {
            if (pidx.isValid())
                emit grid->editButtonClicked(pidx.row(), field);
        });
    }
    return edit;
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QVariant v = index.data(Qt::EditRole);
    QString text;
    if (isNumericValue(v)) {
        // Numbers are edited in plain form, without grouping or currency signs.
        text = formatDisplay(v, {});
    } else if (isDateValue(v)) {
        text = formatDisplay(v, {});
    } else {
        text = v.toString();
    }
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setEditText(text);
        return;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setText(text);
        edit->selectAll();
    }
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    QString text;
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        text = combo->currentText();
    else if (auto *edit = qobject_cast<QLineEdit *>(editor))
        text = edit->text();
    const QVariant old = index.data(Qt::EditRole);
    QVariant v;
    if (isNumericColumn(index)) {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (text.trimmed().isEmpty())
            v = QVariant();
        else if (ok)
            v = d;
        else
            return; // not a number: keep the old value
    } else if (text.isEmpty() && old.isNull()) {
        return; // nothing typed into an empty cell
    } else {
        v = text;
    }
    model->setData(index, v, Qt::EditRole);
}

void GridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

bool GridDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                               const QModelIndex &index)
{
    const auto &cols = m_grid->columns();
    if (index.column() < cols.size() && cols[index.column()].editButton
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick)) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && buttonRect(option.rect).contains(me->position().toPoint())) {
            if (event->type() == QEvent::MouseButtonRelease) {
                m_grid->setCurrentRow(index.row());
                m_grid->setCurrentColumn(index.column());
                emit m_grid->editButtonClicked(index.row(), cols[index.column()].field);
            }
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        auto *editor = qobject_cast<QWidget *>(object);
        const bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
        if (enter && editor) {
            if (auto *combo = qobject_cast<QComboBox *>(editor); combo && combo->view()->isVisible())
                return QStyledItemDelegate::eventFilter(object, event);
            if (ke->modifiers() & Qt::ControlModifier) {
                // Ctrl+Enter presses the edit button of the cell.
                const int col = m_grid->currentColumn();
                if (col >= 0 && m_grid->column(col).editButton) {
                    emit commitData(editor);
                    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                    emit m_grid->editButtonClicked(m_grid->currentRow(), m_grid->column(col).field);
                    return true;
                }
            }
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            m_grid->handleEnter();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace tarvik
