#include "data/grid/tfrmdispfieldxz.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

TFrmDispFieldXZ::TFrmDispFieldXZ(const QStringList &titles, const QVector<bool> &visible, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmDispFieldXZ"));
    setWindowTitle(QStringLiteral("字段列表"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstFields"));
    for (int i = 0; i < titles.size(); ++i) {
        auto *item = new QListWidgetItem(titles[i], m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(visible.value(i) ? Qt::Checked : Qt::Unchecked);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(300, 360);
}

QVector<bool> TFrmDispFieldXZ::ticks() const
{
    QVector<bool> out;
    for (int i = 0; i < m_list->count(); ++i)
        out << (m_list->item(i)->checkState() == Qt::Checked);
    return out;
}

void TFrmDispFieldXZ::setTick(int line, bool ticked)
{
    if (QListWidgetItem *item = m_list->item(line))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace tarvik
