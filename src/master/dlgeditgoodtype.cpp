#include "master/dlgeditgoodtype.h"

#include "data/forms.h"
#include "data/prompts.h"
#include "master/frmtreecodeman.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik {

TDlgEditGoodType::TDlgEditGoodType(bool products, QWidget *parent)
    : QDialog(parent ? parent : mainWindow()), m_products(products)
{
    setObjectName(QStringLiteral("DlgEditGoodType"));
    setWindowTitle(QStringLiteral("批量修改货品类型"));
    auto *label = new QLabel(QStringLiteral("商品类型："), this);
    edtType = new QLineEdit(this);
    edtType->setObjectName(QStringLiteral("edtType"));
    edtType->setReadOnly(true);
    edtType->setMinimumWidth(280);
    sbType = new QToolButton(this);
    sbType->setText(QStringLiteral("…"));
    sbType->setToolTip(QStringLiteral("选择类型"));
    connect(sbType, &QToolButton::clicked, this, &TDlgEditGoodType::chooseType);
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TDlgEditGoodType::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TDlgEditGoodType::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edtType, 1);
    row->addWidget(sbType);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

QString TDlgEditGoodType::path() const
{
    return edtType->text();
}

void TDlgEditGoodType::chooseType()
{
    edtType->setText(TFrmTreeCodeMan::choose(m_products, edtType->text()));
}

void TDlgEditGoodType::accept()
{
    if (edtType->text().trimmed().isEmpty()) {
        ShowMsg(QStringLiteral("商品类型名称不能为空！"), MsgInfo);
        return;
    }
    QDialog::accept();
}

QString TDlgEditGoodType::ask(bool products)
{
    TDlgEditGoodType dialog(products);
    if (prompts().execDialog(dialog) != QDialog::Accepted)
        return {};
    return dialog.path();
}

} // namespace tarvik
