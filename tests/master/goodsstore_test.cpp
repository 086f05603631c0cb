#include "master/goodsstore.h"

#include "data/rowset.h"
#include "data/session.h"
#include "master/categorytree.h"
#include "support/testdb.h"
#include "printers.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GoodsStoreTest : public EngineTest {
protected:
    GoodsRecord material(const QString &code, const QString &name = "圆钢", const QString &type = "\\\\钢材")
    {
        GoodsRecord g;
        g.code = code;
        g.name = name;
        g.type = type;
        g.unit = "公斤";
        g.price = 4.5;
        return g;
    }
    qint64 save(const GoodsRecord &g)
    {
        auto r = GoodsStore(db()).saveNew(g, false);
        EXPECT_TRUE(r.ok()) << r.message().toStdString() << " " << r.error().detail.toStdString();
        return r.valueOr(0);
    }
    QStringList found(const GoodsSearch &search)
    {
        SqlStatement s = GoodsStore(db()).searchStatement(search);
        return codesOf(s);
    }
    QStringList codesOf(const SqlStatement &s)
    {
        RowSet rows;
        auto r = rows.open(db(), s.sql, s.params);
        EXPECT_TRUE(r.ok()) << r.error().detail.toStdString();
        QStringList out;
        for (int i = 0; i < rows.count(); ++i)
            out << rows.text(i, "F_code");
        return out;
    }
    void addBill(const QString &number, int kind, const QString &goodCode, int lineFlag = 0)
    {
        ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES (?, ?, ?)", {number, kind, kind > 0 ? 1 : -1}).ok());
        ASSERT_TRUE(db().exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_GoodName, F_amount, F_flag) VALUES (?, ?, '旧名', 1, ?)",
                              {number, goodCode, lineFlag}).ok());
    }
};

} // namespace

TEST_P(GoodsStoreTest, automatic_code_follows_the_last_inserted_code)
{
    struct Case {
        const char *last;
        const char *next;
    } cases[] = {{"GL0012", "GL0013"}, {"0009", "0010"}, {"A9999", "A0000"}, {"GL12", "0001"}, {"1234", "1235"},
                 {"abc", "0001"},      {"GL00X1", "0001"}, {"", "0001"}};
    for (const Case &c : cases)
        EXPECT_EQ(GoodsStore::codeAfter(QString::fromLatin1(c.last)), QString::fromLatin1(c.next)) << c.last;

    GoodsStore store(db());
    EXPECT_EQ(*store.nextCode(), "0001") << "empty table";
    save(material("GL0100"));
    save(material("GL0012"));
    EXPECT_EQ(*store.nextCode(), "GL0013") << "the most recently inserted, not the largest";
}

TEST_P(GoodsStoreTest, checks_refuse_empty_and_duplicate_codes_in_both_modes)
{
    GoodsStore store(db());
    const qint64 first = save(material("GL0001"));
    const qint64 second = save(material("GL0002"));

    GoodsRecord fresh = material("  ");
    EXPECT_EQ(*store.checkCode(fresh, true, false), kMsgGoodsCodeEmpty);
    fresh.code = "GL000A";
    EXPECT_EQ(*store.checkCode(fresh, true, true), kMsgGoodsAutoCodeDigits);
    EXPECT_EQ(*store.checkCode(fresh, true, false), QString());
    fresh.code = " GL0001 ";
    EXPECT_EQ(*store.checkCode(fresh, true, false), kMsgGoodsCodeDuplicate);
    auto refused = store.saveNew(fresh, false);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), kMsgGoodsCodeDuplicate);

    GoodsRecord changed = material("GL0001");
    changed.id = second;
    EXPECT_EQ(*store.checkCode(changed, false, false), kMsgGoodsCodeDuplicate) << "another material's code";
    EXPECT_FALSE(store.saveChange(changed, "GL0002").ok());
    changed.id = first;
    EXPECT_EQ(*store.checkCode(changed, false, false), QString()) << "its own code";
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods").toInt(), 2);
}

TEST_P(GoodsStoreTest, new_material_stores_every_field_and_the_automatic_code_option)
{
    GoodsRecord g = material("GL0001", "螺栓 M8 'A' 100%\\");
    g.pycode = "LS";
    g.memo = "  备注保留空格 ";
    g.stopped = true;
    g.zf[2] = "字符三";
    g.sz[1] = 2.5;
    g.rq[0] = QDate(2024, 3, 1);
    ASSERT_TRUE(GoodsStore(db()).saveNew(g, true).ok());
    EXPECT_TRUE(systemOptions().AutoItemCode);
    EXPECT_TRUE(scalarOf(db(), "SELECT F_b2 FROM SysInfo").toBool());

    RowSet rows;
    ASSERT_TRUE(rows.open(db(), "SELECT * FROM t_goods").ok());
    GoodsRecord back = GoodsRecord::fromRow(rows, 0);
    EXPECT_EQ(back.name, "螺栓 M8 'A' 100%\\");
    EXPECT_EQ(back.memo, "  备注保留空格 ");
    EXPECT_TRUE(back.stopped);
    EXPECT_EQ(back.zf[2], "字符三");
    EXPECT_DOUBLE_EQ(back.sz[1], 2.5);
    EXPECT_EQ(back.rq[0], QDate(2024, 3, 1));
    EXPECT_FALSE(back.rq[1].isValid()) << "no date comes back as none";
    EXPECT_EQ(dateText(rows.value(0, "F_RQ2")), "1900-08-14");
}

TEST_P(GoodsStoreTest, search_filters_by_query_type_category_and_stopped_with_literal_text)
{
    auto add = [&](const char *code, const char *name, const char *type, bool stopped, const char *address = "",
                   const char *memo = "", const char *zf3 = "") {
        GoodsRecord g = material(QString::fromUtf8(code), QString::fromUtf8(name), QString::fromUtf8(type));
        g.pycode = QString::fromUtf8(code).toLower();
        g.address = QString::fromUtf8(address);
        g.memo = QString::fromUtf8(memo);
        g.zf[2] = QString::fromUtf8(zf3);
        g.stopped = stopped;
        save(g);
    };
    add("GL01", "圆钢 50%", "\\\\钢材\\圆钢", false, "鞍山", "含 'quote'", "x");
    add("GL02", "圆钢_细", "\\\\钢材", false, "唐山", "", "批次\\1");
    add("XL01", "钢丝", "\\\\钢材料", false);
    add("GL03", "停用钢", "\\\\钢材", true);

    struct Case {
        int type;
        const char *text;
        const char *path;
        bool stopped;
        QStringList expected;
    } cases[] = {
        {GoodsByPYcode, "", "", false, {"GL01", "GL02", "XL01"}},
        {GoodsByPYcode, "", "", true, {"GL01", "GL02", "GL03", "XL01"}},
        {GoodsByCode, "gl", "", false, {"GL01", "GL02"}},        // prefix, without regard to case
        {GoodsByCode, "L0", "", false, {}},                      // prefix only
        {GoodsByName, "50%", "", false, {"GL01"}},               // % is a letter here
        {GoodsByName, "_", "", false, {"GL02"}},
        {GoodsBySpec, "x", "", false, {}},
        {GoodsByAddress, "唐", "", false, {"GL02"}},
        {GoodsByMemo, "'quote'", "", false, {"GL01"}},
        {GoodsByZF1 + 2, "\\1", "", false, {"GL02"}},
        {GoodsByPYcode, "", "\\\\钢材", false, {"GL01", "GL02"}}, // not the category "钢材料"
        {GoodsByPYcode, "", "\\\\钢材\\圆钢", true, {"GL01"}},
        {GoodsByName, "钢", "\\\\", false, {"GL01", "GL02", "XL01"}},
    };
    for (const Case &c : cases) {
        GoodsSearch s{c.type, QString::fromUtf8(c.text), QString::fromUtf8(c.path), c.stopped};
        EXPECT_EQ(found(s), c.expected) << "type " << c.type << " text " << c.text << " path " << c.path;
    }
}

TEST_P(GoodsStoreTest, chooser_leaves_out_codes_in_the_work_table_even_with_a_null_among_them)
{
    for (const char *c : {"A1", "A2", "B1"})
        save(material(QString::fromLatin1(c)));
    GoodsRecord stopped = material("A3");
    stopped.stopped = true;
    save(stopped);
    ASSERT_TRUE(db().exec("INSERT INTO tempCode (F_code) VALUES ('A2')").ok());
    ASSERT_TRUE(db().exec("INSERT INTO tempCode (F_code) VALUES (NULL)").ok());
    GoodsStore store(db());
    EXPECT_EQ(codesOf(store.chooserStatement({})), (QStringList{"A1", "A3", "B1"})) << "stopped ones are offered";
    EXPECT_EQ(codesOf(store.chooserStatement({"a", "", "", ""})), (QStringList{"A1", "A3"}));
    EXPECT_EQ(codesOf(GoodsStore::chooserPickStatement()), (QStringList{"A1", "A2", "B1"}));
}

TEST_P(GoodsStoreTest, code_change_rewrites_bom_and_raw_bill_lines_but_never_product_lines)
{
    GoodsRecord g = material("M1");
    g.id = save(g);
    ASSERT_TRUE(db().exec("INSERT INTO ProductDetail (F_mainCode, F_goodcode, F_goodName, F_amount, F_price, F_totalprice)"
                          " VALUES ('P1', 'M1', '旧名', 2, 1, 2)").ok());
    addBill("CJD1", 1, "M1");
    addBill("CCD1", -1, "M1");
    addBill("LCD1", -2, "M1");
    addBill("LCD2", -2, "M1", 1); // the product line of a requisition naming the same code
    addBill("CPR1", 3, "M1");     // finished goods
    addBill("XS1", -5, "M1");     // sale

    g.code = "M1-new";
    g.name = "新名";
    g.price = 3;
    ASSERT_TRUE(GoodsStore(db()).saveChange(g, "M1 ").ok());

    EXPECT_EQ(scalarOf(db(), "SELECT F_goodcode || '|' || F_goodName FROM ProductDetail").toString(), "M1-new|新名");
    EXPECT_DOUBLE_EQ(scalarOf(db(), "SELECT F_totalprice FROM ProductDetail").toDouble(), 6.0) << "value follows the price";
    auto q = db().exec("SELECT F_Code, F_GoodCode, F_GoodName FROM DepotD ORDER BY F_Code");
    ASSERT_TRUE(q.ok());
    QStringList lines;
    while (q->next())
        lines << q->value(0).toString() + ":" + q->value(1).toString() + ":" + q->value(2).toString();
    EXPECT_EQ(lines, (QStringList{"CCD1:M1-new:新名", "CJD1:M1-new:新名", "CPR1:M1:旧名", "LCD1:M1-new:新名",
                                  "LCD2:M1:旧名", "XS1:M1:旧名"}));
}

TEST_P(GoodsStoreTest, failed_refresh_rolls_back_the_material_change)
{
    GoodsRecord g = material("M1");
    g.id = save(g);
    addBill("CJD1", 1, "M1");
    // A second workstation holds a lock on the bill lines (SQLite), or the lines table refuses the write (PostgreSQL).
    if (isPg()) {
        ASSERT_TRUE(db().exec("CREATE FUNCTION refuse_update() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'refused'; END $$"
                              " LANGUAGE plpgsql").ok());
        ASSERT_TRUE(db().exec("CREATE TRIGGER refuse BEFORE UPDATE ON DepotD FOR EACH ROW EXECUTE FUNCTION refuse_update()").ok());
    } else {
        ASSERT_TRUE(db().exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON DepotD BEGIN SELECT RAISE(ABORT, 'refused'); END").ok());
    }
    g.code = "M2";
    g.name = "新名";
    auto r = GoodsStore(db()).saveChange(g, "M1");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.message(), "保存失败，请检测数据库连接！");
    EXPECT_EQ(scalarOf(db(), "SELECT F_code || F_name FROM t_goods").toString(), "M1圆钢") << "all or nothing";
}

TEST_P(GoodsStoreTest, batch_category_change_touches_only_the_chosen_materials)
{
    const qint64 a = save(material("A"));
    save(material("B"));
    const qint64 c = save(material("C"));
    EXPECT_EQ(GoodsStore(db()).changeCategory({a, c, 99999}, "\\\\五金"), 2);
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods WHERE F_type = '\\\\五金'").toInt(), 2);
    EXPECT_EQ(scalarOf(db(), "SELECT F_type FROM t_goods WHERE F_code = 'B'").toString(), "\\\\钢材");
}

TARVIK_ENGINE_TESTS(GoodsStoreTest);
