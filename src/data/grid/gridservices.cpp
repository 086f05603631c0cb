#include "data/grid/gridservices.h"

#include "data/dmdata.h"
#include "data/grid/datagrid.h"
#include "data/grid/tfrmdispfieldxz.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "data/session.h"

#include <QAction>
#include <QMenu>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tarvik {

namespace {

const char *const kCustomFields[11] = {"F_ZF1", "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5", "F_SZ1",
                                       "F_SZ2", "F_SZ3", "F_RQ1", "F_RQ2", "F_RQ3"};

QVariant field(const QSqlQuery &q, const char *name)
{
    return q.value(q.record().indexOf(QLatin1String(name)));
}

ColumnAlign alignFromCode(const QVariant &v)
{
    if (v.isNull())
        return ColumnAlign::Default;
    switch (v.toInt()) {
    case 0: return ColumnAlign::Left;
    case 1: return ColumnAlign::Center;
    case 2: return ColumnAlign::Right;
    default: return ColumnAlign::Default;
    }
}

int alignCode(DataGrid *grid, int column)
{
    const Qt::Alignment a = grid->cellAlignment(column);
    if (a & Qt::AlignRight)
        return 2;
    if (a & Qt::AlignHCenter)
        return 1;
    return 0;
}

} // namespace

bool LoadGridLayout(DataGrid *grid, const QString &gridName)
{
    if (!grid || !dmData)
        return false;
    auto q = dmData->db().exec(
        QStringLiteral("SELECT F_fieldname, F_caption, F_width, F_visible, F_readonly, F_alignMent, F_displayFormat, "
                       "F_footerValue, F_footerType FROM cfg_Grid "
                       "WHERE lower(F_name) = lower(?) AND F_fieldname <> '' ORDER BY F_order, F_ID"),
        {gridName});
    if (!q) {
        ShowMsg(kMsgOpFailed, MsgError, q.error().detail);
        return false;
    }
    // Columns whose field the open RowSet lacks would show nothing and could not be edited.
    RowSet *set = grid->rowSet();
    const bool knowsFields = set && set->isOpen() && set->fieldCount() > 0;
    QVector<GridColumn> cols;
    bool any = false;
    while (q->next()) {
        any = true;
        const QString fieldName = field(*q, "F_fieldname").toString().trimmed();
        if (fieldName.isEmpty() || (knowsFields && !set->hasField(fieldName)))
            continue;
        GridColumn c;
        c.field = fieldName;
        c.title = field(*q, "F_caption").toString();
        const QVariant width = field(*q, "F_width");
        c.width = width.isNull() ? 80 : width.toInt();
        c.visible = field(*q, "F_visible").toBool();
        c.readOnly = field(*q, "F_readonly").toBool();
        c.alignment = alignFromCode(field(*q, "F_alignMent"));
        c.displayFormat = field(*q, "F_displayFormat").toString();
        c.footerFormat = c.displayFormat;
        c.footerValue = field(*q, "F_footerValue").toString();
        c.footerKind = footerKindFromCode(field(*q, "F_footerType").toInt());
        // What the layout table does not hold stays as the screen designed it.
        if (const int designed = grid->columnIndex(fieldName); designed >= 0) {
            const GridColumn &d = grid->column(designed);
            c.checkBox = d.checkBox;
            c.maxLength = d.maxLength;
            c.pickList = d.pickList;
        }
        cols << c;
    }
    if (!any)
        return false;
    grid->setColumns(cols);
    return true;
}

bool SaveGridLayout(DataGrid *grid, const QString &gridName)
{
    if (!grid || !dmData)
        return false;
    bool allSaved = true;
    const QString name = gridName.toLower();
    for (int i = 0; i < grid->columnCount(); ++i) {
        const GridColumn &c = grid->column(i);
        // A column hidden only because this operator may not see prices keeps its stored row.
        if (c.withheld)
            continue;
        const bool ok = dmData->ExecSql(
            QStringLiteral("UPDATE cfg_Grid SET F_caption = ?, F_width = ?, F_readonly = ?, F_visible = ?, F_order = ?, "
                           "F_alignMent = ?, F_displayFormat = ?, F_footerValue = ?, F_footerType = ? "
                           "WHERE lower(F_name) = ? AND lower(F_fieldname) = lower(?)"),
            {c.title, c.width, c.readOnly, c.visible, i, alignCode(grid, i), c.displayFormat, c.footerValue,
             footerKindCode(c.footerKind), name, c.field});
        allSaved = allSaved && ok;
    }
    return allSaved;
}

bool AskSaveGridLayout(DataGrid *grid, const QString &gridName)
{
    if (ShowMsg(QStringLiteral("真的要保存当前网格设置吗？"), MsgQuestion) != MsgOk)
        return false;
    return SaveGridLayout(grid, gridName);
}

bool ChooseGridColumns(DataGrid *grid)
{
    if (!grid)
        return false;
    // Columns withheld from the operator (prices) are not offered.
    QStringList titles;
    QVector<bool> visible;
    QList<int> offered;
    for (int i = 0; i < grid->columnCount(); ++i) {
        const GridColumn &c = grid->column(i);
        if (c.withheld)
            continue;
        offered << i;
        titles << c.title;
        visible << c.visible;
    }
    TFrmDispFieldXZ dlg(titles, visible, grid->window());
    if (prompts().execDialog(dlg) != QDialog::Accepted)
        return false;
    const QVector<bool> ticks = dlg.ticks();
    for (int line = 0; line < offered.size() && line < ticks.size(); ++line) {
        const int i = offered[line];
        if (grid->column(i).visible != ticks[line])
            grid->setColumnVisible(i, ticks[line]);
    }
    return true;
}

bool FormatGridColumns(DataGrid *grid, int mode, int priceMode)
{
    if (!grid)
        return false;
    const SystemOptions &o = systemOptions();
    auto setFormat = [grid](int i, const QString &fmt) {
        grid->setColumnDisplayFormat(i, fmt);
        grid->setColumnFooterFormat(i, fmt);
    };
    bool ok = true;
    switch (mode) {
    case 1:
        for (int i = 0; i < grid->columnCount(); ++i) {
            const QString f = grid->column(i).field.toLower();
            QString fmt;
            if (f.contains(QLatin1String("_rate")))
                fmt = o.AmountFormat;
            if (f.contains(QLatin1String("_price")))
                fmt = o.PriceFormat;
            if (f.contains(QLatin1String("totalprice")) || f.contains(QLatin1String("cbprice")))
                fmt = o.TotalFormat;
            if (f.contains(QLatin1String("amount")))
                fmt = o.AmountFormat;
            if (!fmt.isNull())
                setFormat(i, fmt);
        }
        break;
    case 2: {
        const std::pair<const char *, QString> wanted[] = {{"f_amount", o.AmountFormat}, {"f_totalprice", o.TotalFormat}};
        for (const auto &[name, fmt] : wanted) {
            const int i = grid->columnIndex(QLatin1String(name));
            if (i < 0) {
                ShowMsg(QStringLiteral("网格中没有字段“%1”的列，无法设置数字显示格式！").arg(QLatin1String(name)),
                        MsgError);
                ok = false;
                continue;
            }
            setFormat(i, fmt);
        }
        break;
    }
    case 3:
        for (int i = 0; i < grid->columnCount(); ++i) {
            const QString f = grid->column(i).field.toLower();
            QString fmt;
            if (f.contains(QLatin1String("price")))
                fmt = o.TotalFormat;
            if (f.contains(QLatin1String("amount")))
                fmt = o.AmountFormat;
            if (!fmt.isNull())
                setFormat(i, fmt);
        }
        break;
    default:
        break;
    }

    if (loginContext().seesPrices())
        return ok;
    for (int i = grid->columnCount() - 1; i >= 0; --i) {
        const QString f = grid->column(i).field.toLower();
        const bool price = f.contains(QLatin1String("price"));
        switch (priceMode) {
        case 1:
            if (price)
                grid->removeColumn(i);
            break;
        case 2:
            if (price || f.contains(QLatin1Char('2')))
                grid->removeColumn(i);
            break;
        case 3:
            if (price)
                grid->setColumnWithheld(i, true);
            break;
        default:
            break;
        }
    }
    return ok;
}

void ApplyCustomFieldCaptions(DataGrid *grid)
{
    if (!grid)
        return;
    const SystemOptions &o = systemOptions();
    for (int n = 0; n < 11; ++n) {
        const int i = grid->columnIndex(QLatin1String(kCustomFields[n]));
        if (i < 0)
            return;
        grid->setColumnTitle(i, o.CustomCaptions[size_t(n)]);
        grid->setColumnVisible(i, o.CustomVisible[size_t(n)]);
    }
}

void PrepareBillGrid(DataGrid *grid, bool keepAddressEditable)
{
    if (!grid)
        return;
    grid->setReadOnly(false);
    if (const int name = grid->columnIndex(QStringLiteral("F_goodName")); name >= 0)
        grid->setColumnEditButton(name, true);
    for (int i = 0; i < grid->columnCount(); ++i)
        grid->setColumnReadOnly(i, false);
    QStringList fixed{QStringLiteral("F_goodName"), QStringLiteral("F_type"), QStringLiteral("F_spec")};
    if (!keepAddressEditable)
        fixed << QStringLiteral("F_address");
    fixed << QStringLiteral("F_unit");
    for (const QString &f : fixed) {
        const int i = grid->columnIndex(f);
        if (i < 0)
            return;
        grid->setColumnReadOnly(i, true);
    }
}

double GridTotalPrice(DataGrid *grid)
{
    if (!grid)
        return 0.0;
    // Without the price right the column is gone, but the lines still hold the money.
    return grid->footerValue(QStringLiteral("F_totalPrice"));
}

Result<void> SetColumnPickList(const QString &sql, const QVariantList &params, DataGrid *grid, const QString &field)
{
    if (!grid || !dmData)
        return makeError(kMsgOpenFailed);
    auto q = dmData->db().exec(sql, params);
    if (!q)
        return makeError(kMsgOpenFailed, q.error().detail);
    QStringList items;
    while (q->next())
        items << q->value(0).toString();
    if (items.isEmpty())
        return {};
    for (int i = 0; i < grid->columnCount(); ++i)
        if (grid->column(i).field.compare(field, Qt::CaseInsensitive) == 0)
            grid->setColumnPickList(i, items);
    return {};
}

GridMenu InstallGridMenu(DataGrid *grid, const QString &gridName)
{
    GridMenu m;
    if (!grid)
        return m;
    m.menu = grid->popupMenu() ? grid->popupMenu() : new QMenu(grid);
    m.showFields = m.menu->addAction(QStringLiteral("显示字段列表"));
    m.saveLayout = m.menu->addAction(QStringLiteral("保存当前设置"));
    QObject::connect(m.showFields, &QAction::triggered, grid, [grid] { ChooseGridColumns(grid); });
    QObject::connect(m.saveLayout, &QAction::triggered, grid, [grid, gridName] { AskSaveGridLayout(grid, gridName); });
    grid->setPopupMenu(m.menu);
    return m;
}

void SortGridByTitle(DataGrid *grid, int column, SortGroup group, RowSet *target)
{
    if (!grid || column < 0 || column >= grid->columnCount())
        return;
    RowSet *set = target ? target : grid->rowSet();
    if (!set || !set->isOpen())
        return;
    const SortMarker marker = grid->column(column).sortMarker == SortMarker::Up ? SortMarker::Down : SortMarker::Up;
    // The rows are sorted by one column at a time; the other markers would tell an old order.
    for (int i = 0; i < grid->columnCount(); ++i)
        if (i != column && grid->column(i).sortMarker != SortMarker::None)
            grid->setColumnSortMarker(i, SortMarker::None);
    grid->setColumnSortMarker(column, marker);
    const QString f = grid->column(column).field;
    if (f.toLower().contains(QLatin1String("mem")))
        return;
    const bool ascending = (marker == SortMarker::Up) == (group == SortGroup::A);
    set->sort(f, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void InstallTitleSort(DataGrid *grid, SortGroup group, RowSet *target)
{
    if (!grid)
        return;
    QPointer<RowSet> t(target);
    const bool own = target == nullptr;
    QObject::connect(grid, &DataGrid::titleClicked, grid, [grid, group, t, own](int column) {
        if (!own && !t)
            return;
        SortGridByTitle(grid, column, group, own ? nullptr : t.data());
    });
}

} // namespace tarvik
