#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace tarvik {

// Footer kinds with the codes cfg_Grid stores (F_FooterType).
enum class FooterKind { None = 0, Text = 1, Sum = 2 };
FooterKind footerKindFromCode(int code); // 1 text, 2 sum, anything else none
int footerKindCode(FooterKind kind);

// Cell and footer alignment with the codes cfg_Grid stores (F_Alignment);
// Default: numbers right, everything else left.
enum class ColumnAlign { Default = -1, Left = 0, Center = 1, Right = 2 };

// The marker a title shows after a title click.
enum class SortMarker { None, Up, Down };

// One column of a DataGrid.
struct GridColumn {
    QString field; // RowSet field, looked up without regard to case
    QString title;
    int width = 80; // pixels
    bool visible = true;
    bool readOnly = false;
    ColumnAlign alignment = ColumnAlign::Default;
    QString displayFormat; // number picture of the cells
    QString footerFormat;  // number picture of a sum footer
    FooterKind footerKind = FooterKind::None;
    QString footerValue;   // text of a static footer
    bool editButton = false; // "…" button in every cell of the column
    QStringList pickList;    // drop-down texts while editing
    SortMarker sortMarker = SortMarker::None;
    int maxLength = 0;       // typed length limit of the cell editor (0: none)
    bool checkBox = false;   // a yes/no field shown and edited as a tick
    // Hidden because the operator may not see it (prices): the chooser does not offer it
    // and saving the layout leaves its stored row alone.
    bool withheld = false;

    GridColumn() = default;
    GridColumn(QString f, QString t, int w = 80) : field(std::move(f)), title(std::move(t)), width(w) {}
};

// How a cell is drawn; an invalid colour keeps the grid's own.
struct CellStyle {
    QColor text;
    QColor background;
    bool bold = false;

    bool isDefault() const { return !text.isValid() && !background.isValid() && !bold; }
    // Red text on the button-face colour: stopped items, negative quantities, short stock.
    static CellStyle redOnButtonFace();
};

// Asked for every cell as it is drawn; it must answer from what is in memory.
using CellStyleFn = std::function<CellStyle(int row, int column)>;

} // namespace tarvik
