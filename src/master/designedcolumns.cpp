#include "master/designedcolumns.h"

#include "data/seed.h"

namespace tarvik {

QVector<GridColumn> designedColumns(const QString &gridName)
{
    QVector<GridColumn> cols;
    for (const auto &[name, rows] : designedGridLayouts()) {
        if (name.compare(gridName, Qt::CaseInsensitive) != 0)
            continue;
        for (const GridLayoutRow &r : rows) {
            GridColumn c(r.field, r.caption, r.width);
            c.visible = r.visible;
            c.readOnly = r.readOnly;
            if (r.alignment >= 0 && r.alignment <= 2)
                c.alignment = ColumnAlign(r.alignment);
            c.displayFormat = r.displayFormat;
            c.footerFormat = r.displayFormat;
            c.footerValue = r.footerValue;
            c.footerKind = footerKindFromCode(r.footerType);
            cols << c;
        }
    }
    return cols;
}

} // namespace tarvik
