#include "data/schema.h"

namespace tarvik {

namespace {

using C = ColumnDef;

ColumnDef id() { return {QStringLiteral("F_ID"), ColType::Auto}; }
ColumnDef text(const char *n, int len = 255) { return {QString::fromLatin1(n), ColType::Text, len}; }
ColumnDef memo(const char *n) { return {QString::fromLatin1(n), ColType::Memo}; }
ColumnDef lng(const char *n) { return {QString::fromLatin1(n), ColType::Long}; }
ColumnDef dbl(const char *n) { return {QString::fromLatin1(n), ColType::Double}; }
ColumnDef money(const char *n) { return {QString::fromLatin1(n), ColType::Currency}; }
ColumnDef date(const char *n) { return {QString::fromLatin1(n), ColType::Date}; }
ColumnDef yesno(const char *n, bool notNull = false) { return {QString::fromLatin1(n), ColType::Bool, 0, notNull}; }

void addCustom(std::vector<ColumnDef> &cols)
{
    for (int i = 1; i <= 5; ++i)
        cols.push_back({QStringLiteral("F_ZF%1").arg(i), ColType::Text, 255});
    for (int i = 1; i <= 3; ++i)
        cols.push_back({QStringLiteral("F_SZ%1").arg(i), ColType::Double});
    for (int i = 1; i <= 3; ++i)
        cols.push_back({QStringLiteral("F_RQ%1").arg(i), ColType::Date});
}

IndexDef idx(const char *name, QStringList cols, bool unique = false)
{
    return {QString::fromLatin1(name), std::move(cols), unique};
}

std::vector<TableDef> buildSchema()
{
    std::vector<TableDef> t;

    t.push_back({"DepotM",
                 {id(), text("F_Code"), lng("F_Flag"), lng("F_OperFlag"), date("F_MakeDate"), date("F_date"),
                  text("F_Maker", 50), text("F_Auditer", 50), yesno("F_CheckFlag", true), text("F_EmpName", 50),
                  text("F_OldCode", 50), text("F_SCcode", 50), text("F_CLtype"), text("F_client", 50),
                  text("F_depot"), dbl("F_amount"), money("F_TotalPrice"), memo("F_Mem")},
                 {idx("ux_depotm_code", {"F_Code"}, true), idx("ix_depotm_flag_date", {"F_Flag", "F_date"}),
                  idx("ix_depotm_makedate", {"F_MakeDate"}), idx("ix_depotm_sccode", {"F_SCcode"}),
                  idx("ix_depotm_oldcode", {"F_OldCode"}),
                  // The stock formula reads kind and direction of each line's bill from this index alone.
                  idx("ix_depotm_code_kind", {"F_Code", "F_Flag", "F_OperFlag"}),
                  // Bill numbering: the largest number of one kind and prefix without a scan of the kind.
                  idx("ix_depotm_flag_code", {"F_Flag", "F_Code"})}});

    {
        TableDef d{"DepotD",
                   {id(), text("F_Code", 50), text("F_GoodCode", 50), text("F_GoodName"), text("F_type"),
                    text("F_spec"), text("F_unit", 50), text("F_address"), text("F_TMcode", 50), dbl("F_amount"),
                    money("F_price"), dbl("F_totalPrice"), dbl("F_CBprice"), lng("F_flag"), memo("F_Mem")},
                   // F_amount in the item index lets the stock formula sum an item's lines from the index alone.
                   {idx("ix_depotd_code", {"F_Code"}), idx("ix_depotd_goodcode", {"F_GoodCode", "F_Code", "F_amount"})}};
        addCustom(d.columns);
        t.push_back(d);
    }

    t.push_back({"jhDepotM",
                 {id(), text("F_code", 50), lng("F_Flag"), date("F_makeDate"), date("F_date"), text("F_empName", 50),
                  text("F_oldcode", 50), text("F_depot", 50), text("F_client"), text("F_maker", 50),
                  text("F_Auditer", 50), yesno("F_CheckFlag", true), text("F_ZXflag", 50), memo("F_Memo1")},
                 {idx("ux_jhdepotm_code", {"F_code"}, true), idx("ix_jhdepotm_date", {"F_date"})}});

    t.push_back({"jhDepotD",
                 {id(), text("F_Code", 50), text("F_GoodCode", 50), text("F_GoodName"), text("F_Type"),
                  text("F_Spec"), text("F_Unit", 50), dbl("F_Amount"), dbl("F_Price"), dbl("F_TotalPrice"),
                  memo("F_Memo1")},
                 {idx("ix_jhdepotd_code", {"F_Code"}), idx("ix_jhdepotd_goodcode", {"F_GoodCode"})}});

    {
        TableDef g{"t_goods",
                   {id(), text("F_code", 50), text("F_name"), text("F_PYcode", 50), text("F_TMcode", 50),
                    text("F_type"), text("F_spec"), text("F_unit", 50), text("F_address"), dbl("F_amount"),
                    dbl("F_price"), dbl("F_totalPrice"), dbl("F_price1"), dbl("F_price2"), dbl("F_Hdepot"),
                    dbl("F_Ddepot"), dbl("F_curAmount"), dbl("F_curPrice"), dbl("F_curTotalPrice"), yesno("F_flag"),
                    memo("F_Memo1")},
                   {idx("ux_goods_code", {"F_code"}, true), idx("ix_goods_type", {"F_type"}),
                    idx("ix_goods_pycode", {"F_PYcode"})}};
        addCustom(g.columns);
        t.push_back(g);
    }

    t.push_back({"Product",
                 {id(), text("F_code", 50), text("F_name", 50), text("F_PYcode", 50), text("F_type"), text("F_spec"),
                  text("F_unit", 50), dbl("F_amount"), dbl("F_price"), dbl("F_totalprice"), dbl("F_price1"),
                  dbl("F_price2"), dbl("F_deptUp"), dbl("F_deptDown"), dbl("F_curAount"), dbl("F_curPrice"),
                  dbl("F_curHZprice"), text("F_other1", 50), text("F_other2", 50), dbl("F_other3"), dbl("F_other4"),
                  yesno("F_flag"), memo("F_Memo1")},
                 {idx("ux_product_code", {"F_code"}, true), idx("ix_product_type", {"F_type"})}});

    {
        TableDef p{"ProductDetail",
                   {id(), text("F_mainCode", 50), text("F_goodcode", 50), text("F_goodName"), text("F_type"),
                    text("F_spec"), text("F_unit", 50), text("F_address"), dbl("F_amount"), dbl("F_price"),
                    dbl("F_totalprice"), text("F_Depot", 100), yesno("F_Flag"), text("F_Memo1")},
                   {idx("ix_productdetail_main", {"F_mainCode"}), idx("ix_productdetail_good", {"F_goodcode"})}};
        addCustom(p.columns);
        t.push_back(p);
    }

    t.push_back({"ProductTC",
                 {id(), text("F_JHcode", 50), text("F_code", 50), text("F_name", 50), text("F_type"), text("F_spec"),
                  text("F_unit", 50), dbl("F_TCamount"), dbl("F_WGamount"), date("F_TCdate"), lng("F_TCflag"),
                  memo("F_memo1")},
                 {idx("ix_producttc_jh", {"F_JHcode", "F_code"}), idx("ix_producttc_code", {"F_code"})}});

    t.push_back({"t_client",
                 {id(), lng("F_operFlag"), text("F_Code", 50), text("F_Name"), text("F_type", 50),
                  text("F_LinkMan", 50), text("F_Phone", 50), text("F_handPhone", 50), text("F_fax", 50),
                  text("F_Address"), text("F_Postcode", 50), text("F_bank"), text("F_account", 50),
                  text("F_ratecode", 50), text("F_homepage"), text("F_Email"), text("F_Enrol", 50),
                  text("F_empName", 50), yesno("F_useFlag"), memo("F_Mem")},
                 {idx("ux_client_code", {"F_operFlag", "F_Code"}, true), idx("ix_client_name", {"F_Name"})}});

    t.push_back({"t_code", {id(), text("F_type", 50), text("F_name")}, {idx("ix_code_type", {"F_type"})}});

    t.push_back({"t_treecode",
                 {id(), text("F_code", 50), text("F_name"), text("F_likecode"), text("F_flag", 50)},
                 {idx("ux_treecode_code", {"F_flag", "F_code"}, true)}});

    t.push_back({"OperList",
                 {id(), text("F_Code", 50), text("F_Name", 50), text("F_PassWord"), text("F_PartCode", 50),
                  yesno("F_Flag"), yesno("F_new"), yesno("F_edit"), yesno("F_del"), yesno("F_check"), yesno("F_set"),
                  yesno("F_KHedit"), yesno("F_price"), memo("F_Mem")},
                 {idx("ux_operlist_code", {"F_Code"}, true)}});

    t.push_back({"PartList",
                 {id(), text("F_Code", 50), text("F_Name", 50), yesno("F_Flag"), memo("F_Mem")},
                 {idx("ux_partlist_code", {"F_Code"}, true)}});

    t.push_back({"PartLimit",
                 {id(), text("F_PartCode", 50), text("F_LmtCode", 50)},
                 {idx("ix_partlimit_part", {"F_PartCode", "F_LmtCode"})}});

    t.push_back({"Limits",
                 {id(), text("F_Code", 50), text("F_Name", 50), yesno("F_Flag")},
                 {idx("ux_limits_code", {"F_Code"}, true)}});

    t.push_back({"SysInfo",
                 {id(), text("F_Code", 50), text("F_Name", 255), text("F_Manager", 50), text("F_Phone", 50),
                  text("F_HandPhone", 50), text("F_Email"), text("F_Homepage"), text("F_Enroler", 50),
                  text("F_Mem"), text("F_BakPath"), lng("F_iAmount"), lng("F_iPrice"), lng("F_iTotal"),
                  yesno("F_b2"), yesno("F_b3"), yesno("F_b4")},
                 {}});

    t.push_back({"KeyValue", {id(), text("F_Value", 50), yesno("F_Flag")}, {}});

    t.push_back({"cfg_Grid",
                 {id(), text("F_name", 50), text("F_fieldname", 50), text("F_caption", 100), lng("F_width"),
                  yesno("F_visible"), yesno("F_readonly"), lng("F_order"), lng("F_alignMent"),
                  text("F_displayFormat", 100), text("F_footerValue", 100), lng("F_footerType")},
                 {idx("ix_cfggrid_name", {"F_name"})}});

    t.push_back({"cfg_import",
                 {id(), text("F_tablename", 50), text("S_Field", 50), text("F_FieldName", 50), text("F_Field", 100),
                  lng("F_iFlag")},
                 {idx("ix_cfgimport_table", {"F_tablename"})}});

    // Work tables: each connection shadows them with temporary tables of the same shape.
    {
        TableDef w{"tempDepot",
                   {text("F_goodCode", 50), text("F_code", 50), date("F_makeDate"), lng("F_type"), dbl("F_amount"),
                    money("F_price"), money("F_totalPrice"), lng("F_flag"), date("F_date")},
                   {}, true};
        addCustom(w.columns);
        t.push_back(w);
    }
    t.push_back({"tempHZgood",
                 {text("F_code", 50), text("F_name"), text("F_type"), text("F_spec"), text("F_unit", 50),
                  text("F_address"), text("F_OLDcode", 50), text("F_SCcode", 50), text("F_empName", 50),
                  text("F_client"), text("F_depot"), dbl("F_beginAmount"), dbl("F_beginPrice"), dbl("F_enterAmount"),
                  dbl("F_enterPrice"), dbl("F_outAmount"), dbl("F_outPrice"), dbl("F_endAmount"), dbl("F_endPrice"),
                  dbl("F_amount"), dbl("F_price"), dbl("F_totalPrice"), dbl("F_WGrate"), lng("F_flag")},
                 {}, true});
    {
        TableDef w{"tempXQgood",
                   {text("F_code", 50), text("F_name"), text("F_type"), text("F_spec"), text("F_unit", 50),
                    text("F_address"), dbl("F_XQamount"), dbl("F_KCamount"), dbl("F_LYamount"), dbl("F_amount"),
                    dbl("F_price"), dbl("F_totalPrice"), lng("F_flag")},
                   {}, true};
        addCustom(w.columns);
        t.push_back(w);
    }
    t.push_back({"tempJDgood",
                 {text("F_SCcode", 50), text("F_code", 50), text("F_name"), text("F_type"), text("F_spec"),
                  text("F_unit", 50), dbl("F_TCamount"), dbl("F_RKamount"), dbl("F_THamount"), dbl("F_amount"),
                  dbl("F_price"), dbl("F_totalPrice"), dbl("F_WGrate"), lng("F_flag")},
                 {}, true});
    t.push_back({"tempNLfx",
                 {text("F_MakeDate", 50), date("F_tempDate"), text("F_GoodCode", 50), dbl("F_amount"),
                  dbl("F_totalprice"), lng("F_flag")},
                 {}, true});
    t.push_back({"tempJHproduct",
                 {text("F_JHcode", 50), text("F_code", 50), text("F_name"), text("F_type"), text("F_spec"),
                  text("F_unit", 50), dbl("F_JHamount"), dbl("F_TCamount"), dbl("F_amount"), lng("F_flag")},
                 {}, true});
    t.push_back({"tempCode", {text("F_code", 50)}, {}, true});

    return t;
}

QString defaultSql(const ColumnDef &c, Engine engine)
{
    switch (c.type) {
    case ColType::Bool:
        return engine == Engine::SQLite ? QStringLiteral(" DEFAULT 0") : QStringLiteral(" DEFAULT false");
    case ColType::Long:
    case ColType::Double:
    case ColType::Currency:
        return QStringLiteral(" DEFAULT 0");
    default:
        return {};
    }
}

} // namespace

const ColumnDef *TableDef::column(const QString &columnName) const
{
    for (const auto &c : columns)
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const std::vector<TableDef> &schemaTables()
{
    static const std::vector<TableDef> tables = buildSchema();
    return tables;
}

const TableDef *findTable(const QString &name)
{
    for (const auto &t : schemaTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const QStringList &customColumns()
{
    static const QStringList cols = {
        QStringLiteral("F_ZF1"), QStringLiteral("F_ZF2"), QStringLiteral("F_ZF3"), QStringLiteral("F_ZF4"),
        QStringLiteral("F_ZF5"), QStringLiteral("F_SZ1"), QStringLiteral("F_SZ2"), QStringLiteral("F_SZ3"),
        QStringLiteral("F_RQ1"), QStringLiteral("F_RQ2"), QStringLiteral("F_RQ3")};
    return cols;
}

QString columnSql(const ColumnDef &c, Engine engine)
{
    const bool lite = engine == Engine::SQLite;
    QString type;
    switch (c.type) {
    case ColType::Auto:
        return c.name + (lite ? QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT") : QStringLiteral(" SERIAL PRIMARY KEY"));
    // Text lengths are what the screens allow; the columns themselves never cut a value.
    case ColType::Text:
    case ColType::Memo: type = QStringLiteral("TEXT"); break;
    case ColType::Long: type = QStringLiteral("INTEGER"); break;
    case ColType::Double: type = lite ? QStringLiteral("REAL") : QStringLiteral("DOUBLE PRECISION"); break;
    case ColType::Currency: type = lite ? QStringLiteral("REAL") : QStringLiteral("NUMERIC(19,4)"); break;
    case ColType::Date: type = QStringLiteral("DATE"); break;
    case ColType::Bool: type = QStringLiteral("BOOLEAN"); break;
    }
    QString sql = c.name + QLatin1Char(' ') + type;
    if (c.notNull)
        sql += QStringLiteral(" NOT NULL");
    return sql + defaultSql(c, engine);
}

QString createTableSql(const TableDef &table, Engine engine, bool temporary)
{
    QStringList cols;
    for (const auto &c : table.columns)
        cols << columnSql(c, engine);
    return QStringLiteral("CREATE %1TABLE %2 (%3)")
        .arg(temporary ? QStringLiteral("TEMPORARY ") : QString(), table.name, cols.join(QStringLiteral(", ")));
}

QStringList createIndexSql(const TableDef &table, Engine)
{
    QStringList out;
    for (const auto &i : table.indexes)
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(i.unique ? QStringLiteral("UNIQUE ") : QString(), i.name, table.name,
                        i.columns.join(QStringLiteral(", ")));
    return out;
}

QStringList schemaDdl(Engine engine)
{
    QStringList out;
    for (const auto &t : schemaTables()) {
        out << createTableSql(t, engine);
        out << createIndexSql(t, engine);
    }
    return out;
}

} // namespace tarvik
