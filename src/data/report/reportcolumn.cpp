#include "data/report/reportcolumn.h"

#include "data/grid/datagrid.h"

namespace tarvik {

ReportColumns reportColumnsOf(const DataGrid &grid)
{
    ReportColumns out;
    for (int i : grid.shownColumns()) {
        const GridColumn &g = grid.column(i);
        if (g.withheld)
            continue;
        ReportColumn c;
        c.field = g.field;
        c.title = g.title;
        c.width = g.width;
        // As the grid draws the cells (numbers right when the layout leaves it open).
        c.alignment = grid.cellAlignment(i) & Qt::AlignHorizontal_Mask;
        c.displayFormat = g.displayFormat;
        c.footerFormat = g.footerFormat;
        c.footerSum = g.footerKind == FooterKind::Sum;
        c.footerText = g.footerKind == FooterKind::Text ? g.footerValue : QString();
        out << c;
    }
    return out;
}

} // namespace tarvik
