#include "master/dlggoodxz.h"

#include "data/dmdata.h"
#include "data/forms.h"
#include "data/grid/datagrid.h"
#include "data/grid/gridservices.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "data/schema.h"
#include "data/session.h"
#include "master/categorytree.h"
#include "master/choosertarget.h"
#include "master/designedcolumns.h"
#include "master/frmgoodedit.h"
#include "master/goodsstore.h"

#include <QLineEdit>
#include <QPushButton>

namespace tarvik {

TDlgGoodXz::TDlgGoodXz(QWidget *parent) : ChooserFrame(parent)
{
    setObjectName(QStringLiteral("DlgGoodXz"));
    setWindowTitle(QStringLiteral("原材料选择"));
    edtCode = addSearchBox(QStringLiteral("原料编码："), QStringLiteral("edtCode"));
    edtName = addSearchBox(QStringLiteral("原料名称："), QStringLiteral("edtName"), 255);
    edtSpec = addSearchBox(QStringLiteral("原料规格："), QStringLiteral("edtSpec"), 255);
    connect(edtCode, &QLineEdit::textChanged, this, &ChooserFrame::search);
    btnNewGood = addButton(QStringLiteral("新增原材料"));
    connect(btnNewGood, &QPushButton::clicked, this, &TDlgGoodXz::newGood);
    btnNewGood->setEnabled(loginContext().New || loginContext().isSuper());

    grid->setColumns(designedColumns(QStringLiteral("dlgGoodXz")));
    LoadGridLayout(grid, QStringLiteral("dlgGoodXz"));
    FormatGridColumns(grid, 1, 1);
    ApplyCustomFieldCaptions(grid);
    // Disabled materials are offered by the search too; they show red as in the list.
    grid->setCellStyle([this](int row, int) {
        return rows->value(row, QStringLiteral("F_flag")).toBool() ? CellStyle::redOnButtonFace() : CellStyle();
    });
    setCategoryTree(QStringLiteral("原材料类别"), kGoodTypeFlag);
}

void TDlgGoodXz::preparePick(const QString &startValue)
{
    setPickMode(startValue);
    list(GoodsStore::chooserPickStatement(), QStringLiteral("当前原材料数量： "));
}

void TDlgGoodXz::prepareAppend(ChooserTarget *target)
{
    setAppendMode(target);
    search();
}

QString TDlgGoodXz::pick(const QString &startValue)
{
    TDlgGoodXz dialog;
    dialog.preparePick(startValue);
    prompts().execDialog(dialog);
    return dialog.chosenValue();
}

void TDlgGoodXz::appendTo(ChooserTarget &target)
{
    TDlgGoodXz dialog;
    dialog.prepareAppend(&target);
    prompts().execDialog(dialog);
}

void TDlgGoodXz::newGood()
{
    TFrmGoodEdit editor(TFrmGoodEdit::NewMode, nullptr, true, this);
    editor.refresh = [this](const QString &) { search(); };
    SetFormPlacement(&editor, 1);
    prompts().execDialog(editor);
}

SqlStatement TDlgGoodXz::searchStatement() const
{
    return GoodsStore(dmData->db()).chooserStatement({edtCode->text(), edtName->text(), edtSpec->text(), selectedPath()});
}

QVariantMap TDlgGoodXz::lineFor(int row) const
{
    QVariantMap line;
    line.insert(QStringLiteral("F_goodcode"), rows->value(row, QStringLiteral("F_code")));
    line.insert(QStringLiteral("F_goodName"), rows->value(row, QStringLiteral("F_name")));
    for (const char *f : {"F_type", "F_spec", "F_address", "F_unit"})
        line.insert(QString::fromLatin1(f), rows->value(row, QString::fromLatin1(f)));
    for (const QString &f : customColumns())
        line.insert(f, rows->value(row, f));
    return line;
}

double TDlgGoodXz::priceFor(int row) const
{
    const QString code = rows->text(row, QStringLiteral("F_code"));
    // A null text would bind as NULL and match no bill at all.
    QString excluded = target()->excludedBill();
    if (excluded.isNull())
        excluded = QLatin1String("");
    auto price = dmData->LastGoodPrice(code, excluded, target()->priceKind());
    if (!price) {
        ShowMsg(kMsgOpFailed, MsgError, price.error().detail);
        return rows->value(row, QStringLiteral("F_price")).toDouble();
    }
    return *price;
}

} // namespace tarvik
