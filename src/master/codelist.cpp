#include "master/codelist.h"

#include "data/dmdata.h"
#include "data/rowset.h"

#include <QComboBox>

namespace tarvik {

const QVector<CodeListKind> &codeLists()
{
    // The last tab's type is its page name without the first letter, as stored data has it.
    static const QVector<CodeListKind> lists{
        {QStringLiteral(" 业 务 员 "), kCodeEmpName},
        {QStringLiteral(" 计量单位 "), kCodeUnit},
        {QStringLiteral(" 部    门 "), kCodeDepot},
        {QStringLiteral(" 客户类型 "), kCodeCltType},
        {QStringLiteral("供应商类型"), kCodeSupType},
        {QStringLiteral("材料出类型"), kCodeClck},
        {QStringLiteral("材料入类型"), kCodeClrk},
        {QStringLiteral("成品出类型"), kCodeCpck},
        {QStringLiteral("产品入类型"), kCodeCprk},
        {QStringLiteral(" 特殊符号 "), QStringLiteral("abSheet1")},
    };
    return lists;
}

const CodeListKind *findCodeList(const QString &type)
{
    for (const CodeListKind &k : codeLists())
        if (k.type == type)
            return &k;
    return nullptr;
}

bool FillCodeListItems(QComboBox *combo, const QString &type, bool distinct)
{
    if (!dmData)
        return false;
    const QString sql = distinct
        ? QStringLiteral("SELECT F_name FROM t_code WHERE F_name <> '' AND F_type = ? GROUP BY F_name ORDER BY MIN(F_ID)")
        : QStringLiteral("SELECT F_name FROM t_code WHERE F_type = ? ORDER BY F_ID");
    return dmData->FillComboItems(sql, {type}, combo);
}

Result<void> CodeListStore::open(RowSet &rows, const QString &type)
{
    return rows.open(m_db, QStringLiteral("SELECT * FROM t_code WHERE F_type = ? ORDER BY F_ID"), {type});
}

Result<void> CodeListStore::save(RowSet &rows, const QString &type)
{
    for (int r = 0; r < rows.count(); ++r)
        if (rows.text(r, QStringLiteral("F_type")) != type)
            rows.setValue(r, QStringLiteral("F_type"), type);
    Transaction tx(m_db);
    if (!tx.ok())
        return tx.error();
    if (auto r = rows.applyUpdates(m_db, QStringLiteral("t_code")); !r)
        return r;
    return tx.commit();
}

Result<void> CodeListStore::add(const QString &type, const QString &name)
{
    auto r = m_db.exec(QStringLiteral("INSERT INTO t_code (F_type, F_name) VALUES (?, ?)"), {type, name});
    if (!r)
        return r.error();
    return {};
}

} // namespace tarvik
