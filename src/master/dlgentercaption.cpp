#include "master/dlgentercaption.h"

#include "data/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

TDLGenterCaption::TDLGenterCaption(const QString &caption, const QString &text, QWidget *parent)
    : QDialog(parent ? parent : activeOwner())
{
    setObjectName(QStringLiteral("DLGenterCaption"));
    setWindowTitle(caption);
    auto *label = new QLabel(QStringLiteral("节点名称"), this);
    edtCaption = new QLineEdit(text, this);
    edtCaption->setObjectName(QStringLiteral("edtCaption"));
    edtCaption->setMaxLength(255);
    edtCaption->setMinimumWidth(260);
    label->setBuddy(edtCaption);
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    connect(btnOk, &QPushButton::clicked, this, &TDLGenterCaption::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TDLGenterCaption::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edtCaption, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    edtCaption->selectAll();
    edtCaption->setFocus();
}

QString TDLGenterCaption::text() const
{
    return edtCaption->text();
}

void TDLGenterCaption::accept()
{
    if (edtCaption->text().trimmed().isEmpty()) {
        ShowMsg(QStringLiteral("部门名称不能为空！"), MsgInfo);
        edtCaption->setFocus();
        return;
    }
    QDialog::accept();
}

QString TDLGenterCaption::ask(const QString &caption, const QString &initial)
{
    TDLGenterCaption dialog(caption, initial);
    if (prompts().execDialog(dialog) != QDialog::Accepted)
        return {};
    return dialog.text();
}

} // namespace tarvik
