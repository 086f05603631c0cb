#include "data/report/reportcolumn.h"

#include "data/grid/datagrid.h"
#include "data/grid/displayformat.h"
#include "data/rowset.h"

namespace tarvik {

ReportColumns reportColumnsOf(const DataGrid &grid)
{
    ReportColumns out;
    const RowSet *rows = grid.rowSet();
    for (int i = 0; i < grid.columnCount(); ++i) {
        const GridColumn &g = grid.column(i);
        if (!g.visible || g.withheld)
            continue;
        ReportColumn c;
        c.field = g.field;
        c.title = g.title;
        c.width = g.width;
        c.displayFormat = g.displayFormat;
        c.footerFormat = g.footerFormat;
        c.footerSum = g.footerKind == FooterKind::Sum;
        c.footerText = g.footerKind == FooterKind::Text ? g.footerValue : QString();
        switch (g.alignment) {
        case ColumnAlign::Left:
            c.alignment = Qt::AlignLeft;
            break;
        case ColumnAlign::Center:
            c.alignment = Qt::AlignHCenter;
            break;
        case ColumnAlign::Right:
            c.alignment = Qt::AlignRight;
            break;
        case ColumnAlign::Default: {
            // As the grid draws it: numbers right, everything else left.
            bool numeric = false;
            if (rows) {
                for (int r = 0; r < rows->count(); ++r) {
                    const QVariant v = rows->value(r, g.field);
                    if (!v.isNull()) {
                        numeric = isNumericValue(v);
                        break;
                    }
                }
            }
            c.alignment = numeric ? Qt::AlignRight : Qt::AlignLeft;
            break;
        }
        }
        out << c;
    }
    return out;
}

} // namespace tarvik
