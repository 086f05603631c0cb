#include "master/goodsstore.h"

#include "data/dmdata.h"
#include "data/rowset.h"
#include "data/session.h"
#include "master/categorytree.h"

namespace tarvik {

const QStringList &goodsQueryTypes()
{
    static const QStringList items{
        QStringLiteral("拼音编码"), QStringLiteral("编    码"), QStringLiteral("名    称"), QStringLiteral("规    格"),
        QStringLiteral("产    地"), QStringLiteral("备    注"), QStringLiteral("字符项一"), QStringLiteral("字符项二"),
        QStringLiteral("字符项三"), QStringLiteral("字符项四"), QStringLiteral("字符项五"),
    };
    return items;
}

namespace {

QString textAt(const RowSet &rows, int row, const char *field)
{
    return rows.text(row, QString::fromLatin1(field));
}

double numberAt(const RowSet &rows, int row, const char *field)
{
    return rows.value(row, QString::fromLatin1(field)).toDouble();
}

QVariant dateParam(const QDate &d)
{
    return d.isValid() ? d : kNoDate;
}

} // namespace

GoodsRecord GoodsRecord::fromRow(const RowSet &rows, int row)
{
    GoodsRecord g;
    g.id = rows.value(row, QStringLiteral("F_ID"));
    g.code = textAt(rows, row, "F_code");
    g.name = textAt(rows, row, "F_name");
    g.pycode = textAt(rows, row, "F_PYcode");
    g.type = textAt(rows, row, "F_type");
    g.spec = textAt(rows, row, "F_spec");
    g.address = textAt(rows, row, "F_address");
    g.unit = textAt(rows, row, "F_unit");
    g.hdepot = numberAt(rows, row, "F_Hdepot");
    g.ddepot = numberAt(rows, row, "F_Ddepot");
    g.price1 = numberAt(rows, row, "F_price1");
    g.price2 = numberAt(rows, row, "F_price2");
    g.amount = numberAt(rows, row, "F_amount");
    g.price = numberAt(rows, row, "F_price");
    g.totalPrice = numberAt(rows, row, "F_totalPrice");
    g.memo = textAt(rows, row, "F_Memo1");
    g.stopped = rows.value(row, QStringLiteral("F_flag")).toBool();
    for (int i = 0; i < 5; ++i)
        g.zf[i] = rows.text(row, QStringLiteral("F_ZF%1").arg(i + 1));
    for (int i = 0; i < 3; ++i)
        g.sz[i] = rows.value(row, QStringLiteral("F_SZ%1").arg(i + 1)).toDouble();
    for (int i = 0; i < 3; ++i) {
        const QVariant v = rows.value(row, QStringLiteral("F_RQ%1").arg(i + 1));
        g.rq[i] = isSentinelDate(v) ? QDate() : toDate(v);
    }
    return g;
}

SqlStatement GoodsStore::searchStatement(const GoodsSearch &search) const
{
    SqlStatement s;
    s.add(QStringLiteral("SELECT * FROM t_goods WHERE (1=1)"));
    const QString text = search.text.trimmed();
    if (!text.isEmpty()) {
        using M = Database::Match;
        auto like = [&](const QString &column, M match) {
            s.add(QStringLiteral(" AND ") + m_db.likeClause(column), {Database::likePattern(text, match)});
        };
        switch (search.type) {
        case GoodsByPYcode: like(QStringLiteral("F_PYcode"), M::Contains); break;
        case GoodsByCode: like(QStringLiteral("F_code"), M::Prefix); break;
        case GoodsByName: like(QStringLiteral("F_name"), M::Contains); break;
        case GoodsBySpec: like(QStringLiteral("F_spec"), M::Contains); break;
        case GoodsByAddress: like(QStringLiteral("F_address"), M::Contains); break;
        case GoodsByMemo: like(QStringLiteral("F_Memo1"), M::Contains); break;
        default:
            if (search.type >= GoodsByZF1 && search.type < GoodsByZF1 + 5)
                like(QStringLiteral("F_ZF%1").arg(search.type - GoodsByZF1 + 1), M::Contains);
            break;
        }
    }
    if (SqlStatement category = categoryFilter(m_db, QStringLiteral("F_type"), search.categoryPath); !category.isEmpty())
        s.add(QStringLiteral(" AND ")).add(category);
    if (!search.includeStopped)
        s.add(QStringLiteral(" AND (F_flag = false OR F_flag IS NULL)"));
    s.add(QStringLiteral(" ORDER BY F_code"));
    return s;
}

SqlStatement GoodsStore::chooserStatement(const GoodsChooserSearch &search) const
{
    using M = Database::Match;
    SqlStatement s;
    // NOT EXISTS rather than NOT IN: a null code in the work table must not hide every row.
    s.add(QStringLiteral("SELECT F_ID, F_code, F_name, F_PYcode, F_type, F_spec, F_unit, F_address, F_price1, F_price2,"
                         " F_amount, F_price, F_totalPrice, F_Memo1, F_Hdepot, F_Ddepot, F_flag,"
                         " F_ZF1, F_ZF2, F_ZF3, F_ZF4, F_ZF5, F_SZ1, F_SZ2, F_SZ3, F_RQ1, F_RQ2, F_RQ3"
                         " FROM t_goods g WHERE NOT EXISTS (SELECT 1 FROM tempCode t WHERE t.F_code = g.F_code)"));
    if (!search.code.isEmpty())
        s.add(QStringLiteral(" AND ") + m_db.likeClause(QStringLiteral("F_code")), {Database::likePattern(search.code, M::Prefix)});
    if (const QString name = search.name.trimmed(); !name.isEmpty())
        s.add(QStringLiteral(" AND ") + m_db.likeClause(QStringLiteral("F_name")), {Database::likePattern(name, M::Contains)});
    if (const QString spec = search.spec.trimmed(); !spec.isEmpty())
        s.add(QStringLiteral(" AND ") + m_db.likeClause(QStringLiteral("F_spec")), {Database::likePattern(spec, M::Contains)});
    if (SqlStatement category = categoryFilter(m_db, QStringLiteral("F_type"), search.categoryPath); !category.isEmpty())
        s.add(QStringLiteral(" AND ")).add(category);
    s.add(QStringLiteral(" ORDER BY F_code"));
    return s;
}

SqlStatement GoodsStore::chooserPickStatement()
{
    return {QStringLiteral("SELECT * FROM t_goods WHERE (F_flag = false OR F_flag IS NULL) ORDER BY F_code"), {}};
}

QString GoodsStore::codeAfter(const QString &lastCode)
{
    if (lastCode.size() < 4)
        return QStringLiteral("0001");
    const QString tail = lastCode.right(4);
    for (QChar c : tail)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QStringLiteral("0001");
    const int next = (tail.toInt() + 1) % 10000;
    return lastCode.left(lastCode.size() - 4) + QStringLiteral("%1").arg(next, 4, 10, QLatin1Char('0'));
}

Result<QString> GoodsStore::nextCode()
{
    auto last = m_db.scalar(QStringLiteral("SELECT F_code FROM t_goods ORDER BY F_ID DESC LIMIT 1"));
    if (!last)
        return last.error();
    return codeAfter(last->toString());
}

Result<QString> GoodsStore::checkCode(const GoodsRecord &record, bool isNew, bool autoCode)
{
    const QString code = record.code.trimmed();
    if (code.isEmpty())
        return kMsgGoodsCodeEmpty;
    if (autoCode) {
        for (QChar c : code.right(4))
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return kMsgGoodsAutoCodeDigits;
    }
    auto id = m_db.scalar(QStringLiteral("SELECT F_ID FROM t_goods WHERE F_code = ? ORDER BY F_ID LIMIT 1"), {code});
    if (!id)
        return id.error();
    if (!id->isNull() && (isNew || id->toLongLong() != record.id.toLongLong()))
        return kMsgGoodsCodeDuplicate;
    return QString();
}

namespace {

QVariantList recordParams(const GoodsRecord &g)
{
    QVariantList p{g.code.trimmed(), g.name.trimmed(), g.pycode.trimmed(), g.spec.trimmed(), g.type.trimmed(),
                   g.address.trimmed(), g.hdepot, g.ddepot, g.price1, g.price2, g.amount, g.unit.trimmed(),
                   g.price, g.totalPrice, g.memo, g.stopped};
    for (const QString &z : g.zf)
        p << z;
    for (double s : g.sz)
        p << s;
    for (const QDate &d : g.rq)
        p << dateParam(d);
    return p;
}

const QString kColumns = QStringLiteral("F_code, F_name, F_PYcode, F_spec, F_type, F_address, F_Hdepot, F_Ddepot,"
                                        " F_price1, F_price2, F_amount, F_unit, F_price, F_totalPrice, F_Memo1, F_flag,"
                                        " F_ZF1, F_ZF2, F_ZF3, F_ZF4, F_ZF5, F_SZ1, F_SZ2, F_SZ3, F_RQ1, F_RQ2, F_RQ3");

Error saveError(const Error &e)
{
    return makeError(kMsgSaveFailed, e.detail.isEmpty() ? e.message : e.detail);
}

} // namespace

Result<qint64> GoodsStore::saveNew(const GoodsRecord &record, bool autoCode)
{
    Transaction tx(m_db);
    if (!tx.ok())
        return saveError(tx.error());
    // Checked again inside the transaction: another workstation may have taken the code meanwhile.
    auto check = checkCode(record, true, autoCode);
    if (!check)
        return saveError(check.error());
    if (!check->isEmpty())
        return makeError(*check);
    QStringList marks;
    for (int i = 0; i < 27; ++i)
        marks << QStringLiteral("?");
    auto id = m_db.insert(QStringLiteral("INSERT INTO t_goods (%1) VALUES (%2)").arg(kColumns, marks.join(QLatin1Char(','))),
                          recordParams(record));
    if (!id)
        return saveError(id.error());
    if (auto r = m_db.exec(QStringLiteral("UPDATE SysInfo SET F_b2 = ?"), {autoCode}); !r)
        return saveError(r.error());
    if (auto r = tx.commit(); !r)
        return saveError(r.error());
    systemOptions().AutoItemCode = autoCode;
    return *id;
}

Result<void> GoodsStore::saveChange(const GoodsRecord &record, const QString &oldCodeText)
{
    const QString oldCode = oldCodeText.trimmed();
    const QString newCode = record.code.trimmed();
    Transaction tx(m_db);
    if (!tx.ok())
        return saveError(tx.error());
    auto check = checkCode(record, false, false);
    if (!check)
        return saveError(check.error());
    if (!check->isEmpty())
        return makeError(*check);

    QStringList sets;
    for (const QString &c : kColumns.split(QLatin1Char(',')))
        sets << c.trimmed() + QStringLiteral(" = ?");
    QVariantList params = recordParams(record);
    params << record.id;
    if (auto r = m_db.exec(QStringLiteral("UPDATE t_goods SET %1 WHERE F_ID = ?").arg(sets.join(QLatin1Char(','))), params);
        !r)
        return saveError(r.error());

    const QString name = record.name.trimmed(), type = record.type.trimmed(), spec = record.spec.trimmed(),
                  address = record.address.trimmed(), unit = record.unit.trimmed();
    // Bills of materials keep a copy of the texts and the unit price (their line value follows the price).
    if (auto r = m_db.exec(QStringLiteral("UPDATE ProductDetail SET F_goodName = ?, F_type = ?, F_spec = ?, F_address = ?,"
                                          " F_unit = ?, F_price = ?, F_totalprice = COALESCE(F_amount, 0) * ?"
                                          " WHERE F_goodcode = ?"),
                           {name, type, spec, address, unit, record.price, record.price, oldCode});
        !r)
        return saveError(r.error());
    // Material lines of the raw-material bills only: the product line of production bills holds a product code.
    const QString rawLines = QStringLiteral(" WHERE F_GoodCode = ? AND COALESCE(F_flag, 0) <> 1 AND F_Code IN"
                                            " (SELECT F_Code FROM DepotM WHERE F_Flag IN (1, -1, 2, -2))");
    if (auto r = m_db.exec(QStringLiteral("UPDATE DepotD SET F_GoodName = ?, F_type = ?, F_spec = ?, F_address = ?, F_unit = ?")
                               + rawLines,
                           {name, type, spec, address, unit, oldCode});
        !r)
        return saveError(r.error());
    if (newCode != oldCode) {
        if (auto r = m_db.exec(QStringLiteral("UPDATE ProductDetail SET F_goodcode = ? WHERE F_goodcode = ?"), {newCode, oldCode});
            !r)
            return saveError(r.error());
        if (auto r = m_db.exec(QStringLiteral("UPDATE DepotD SET F_GoodCode = ?") + rawLines, {newCode, oldCode}); !r)
            return saveError(r.error());
    }
    if (auto r = tx.commit(); !r)
        return saveError(r.error());
    return {};
}

int GoodsStore::changeCategory(const QList<QVariant> &ids, const QString &path)
{
    int changed = 0;
    for (const QVariant &id : ids) {
        auto r = m_db.exec(QStringLiteral("UPDATE t_goods SET F_type = ? WHERE F_ID = ?"), {path, id});
        if (r && r->numRowsAffected() > 0)
            ++changed;
    }
    return changed;
}

} // namespace tarvik
