#include "bench/generator.h"

#include "data/schema.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace tarvik::bench {

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

// Deterministic for a seed on every platform: mt19937_64's sequence is fixed by the
// standard, and the helpers below use no library distribution.
class Rng {
public:
    explicit Rng(quint64 seed) : m_gen(seed) {}
    quint64 next() { return m_gen(); }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); } // inclusive
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double real(double lo, double hi) { return lo + (hi - lo) * real(); }
    bool chance(double p) { return real() < p; }
    template <typename T> const T &pick(const std::vector<T> &v) { return v[size_t(below(int(v.size())))]; }
    // Skewed towards the start: a few items are used far more often than the rest.
    int skewed(int n) { return std::min(n - 1, int(n * std::pow(real(), 1.7))); }

private:
    std::mt19937_64 m_gen;
};

double round2(double v) { return std::round(v * 100.0) / 100.0; }

// ---------------------------------------------------------------- fixed vocabulary

struct SubCategory {
    const char *name;
    const char *unit;
    double priceLo, priceHi;
    const char *specFormat; // %1 and %2 take numbers from a and b
    std::vector<int> a, b;
};

struct TopCategory {
    const char *name;
    const char *codePrefix;
    std::vector<const char *> grades;
    std::vector<SubCategory> subs;
};

const std::vector<TopCategory> &materialCategories()
{
    static const std::vector<TopCategory> cats = {
        {"钢材", "GC", {"Q235", "Q345", "45#", "304不锈钢", "201不锈钢"},
         {{"圆钢", "公斤", 4.2, 18, "Φ%1mm", {6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 40, 50}, {}},
          {"角钢", "米", 12, 60, "∠%1×%1×%2mm", {25, 30, 40, 50, 63, 75}, {3, 4, 5, 6}},
          {"槽钢", "米", 30, 120, "%1#", {5, 6, 8, 10, 12, 14, 16}, {}},
          {"钢板", "张", 180, 900, "%2mm×1250×2500", {}, {1, 2, 3, 4, 5, 6, 8, 10}},
          {"无缝钢管", "米", 15, 95, "Φ%1×%2mm", {20, 25, 32, 38, 45, 57, 76}, {2, 3, 4, 5}},
          {"扁钢", "米", 6, 40, "%1×%2mm", {20, 25, 30, 40, 50, 60}, {3, 4, 5, 6, 8}}}},
        {"有色金属", "YS", {"6061", "6063", "H62", "T2", "5052"},
         {{"铝板", "张", 220, 1300, "%2mm×1220×2440", {}, {1, 2, 3, 4, 5}},
          {"铝型材", "米", 18, 85, "%1×%2mm", {20, 30, 40, 50, 60, 80}, {20, 30, 40, 60}},
          {"铜棒", "公斤", 58, 75, "Φ%1mm", {5, 6, 8, 10, 12, 16, 20, 25}, {}},
          {"铜排", "米", 90, 480, "%1×%2mm", {15, 20, 25, 30, 40, 50}, {3, 4, 5, 6, 8, 10}}}},
        {"五金件", "WJ", {"镀锌", "不锈钢", "铝合金", "黑色", "镀铬"},
         {{"合页", "只", 1.5, 18, "%1寸", {2, 3, 4, 5, 6}, {}},
          {"拉手", "只", 2.5, 35, "孔距%1mm", {64, 96, 128, 160, 192, 224, 256}, {}},
          {"三节滑轨", "副", 8, 65, "%1mm", {250, 300, 350, 400, 450, 500, 550}, {}},
          {"柜锁", "把", 6, 48, "%1mm", {16, 20, 22, 25, 30}, {}},
          {"压缩弹簧", "只", 0.3, 6, "线径%2×外径%1mm", {6, 8, 10, 12, 16, 20}, {1, 2, 3}}}},
        {"紧固件", "JG", {"4.8级", "8.8级", "10.9级", "不锈钢", "镀锌"},
         {{"六角螺栓", "个", 0.08, 2.5, "M%1×%2", {6, 8, 10, 12, 16, 20}, {20, 25, 30, 40, 50, 60, 80}},
          {"六角螺母", "个", 0.03, 0.9, "M%1", {4, 5, 6, 8, 10, 12, 16, 20}, {}},
          {"平垫圈", "个", 0.01, 0.4, "Φ%1", {4, 5, 6, 8, 10, 12, 16, 20}, {}},
          {"弹簧垫圈", "个", 0.01, 0.35, "Φ%1", {4, 5, 6, 8, 10, 12, 16}, {}},
          {"自攻螺钉", "个", 0.02, 0.3, "ST%1×%2", {3, 4, 5, 6}, {10, 13, 16, 19, 25, 32}},
          {"抽芯铆钉", "个", 0.02, 0.25, "Φ%1×%2", {3, 4, 5}, {8, 10, 12, 16, 20}}}},
        {"电子元件", "DZ", {"贴片", "插件", "高精度", "工业级"},
         {{"电阻", "个", 0.01, 0.5, "%1Ω 1/%2W", {10, 47, 100, 220, 470, 1000, 4700, 10000}, {4, 2, 8}},
          {"电解电容", "个", 0.05, 3.5, "%1μF/%2V", {10, 47, 100, 220, 470, 1000}, {16, 25, 35, 50, 63}},
          {"二极管", "个", 0.03, 1.2, "%1A/%2V", {1, 2, 3, 5}, {400, 600, 1000}},
          {"继电器", "只", 3.5, 45, "DC%1V %2A", {5, 12, 24}, {5, 10, 16, 30}},
          {"船型开关", "只", 0.8, 6, "%2脚 %1A", {6, 10, 16}, {2, 3, 4, 6}},
          {"接线端子", "只", 0.2, 5, "%1P 间距%2mm", {2, 3, 4, 6, 8, 10, 12}, {5, 7, 10}}}},
        {"电线电缆", "DX", {"国标", "阻燃", "耐高温", "铜芯"},
         {{"电源线", "米", 1.2, 28, "%1×%2mm²", {2, 3, 4, 5}, {1, 2, 4, 6, 10}},
          {"屏蔽线", "米", 1.8, 16, "%1芯×%2mm²", {2, 4, 6, 8}, {1}},
          {"硅胶线", "米", 0.6, 9, "%1AWG", {10, 12, 14, 16, 18, 20, 22, 24}, {}},
          {"护套线", "卷", 120, 950, "BVVB %1×%2mm² 100米", {2, 3}, {1, 2, 4, 6}}}},
        {"塑料原料", "SL", {"本色", "黑色", "透明", "阻燃", "增强"},
         {{"ABS颗粒", "公斤", 11, 26, "%1牌号", {750, 757, 8391, 121}, {}},
          {"PP颗粒", "公斤", 8, 16, "熔指%1", {3, 12, 20, 35}, {}},
          {"PVC管", "米", 2.5, 35, "Φ%1mm", {16, 20, 25, 32, 40, 50, 75, 110}, {}},
          {"尼龙棒", "公斤", 28, 55, "Φ%1mm", {20, 30, 40, 50, 60, 80, 100}, {}},
          {"塑料外壳", "个", 2, 45, "%1×%2mm", {80, 100, 120, 150, 200, 250}, {50, 60, 80, 100}}}},
        {"化工原料", "HG", {"灰色", "黑色", "快干", "工业级", "环保型"},
         {{"环氧底漆", "公斤", 18, 45, "%1公斤/桶", {5, 10, 20, 25}, {}},
          {"稀释剂", "升", 9, 22, "%1升/桶", {4, 16, 18, 20}, {}},
          {"结构胶", "支", 12, 68, "%1ml", {50, 200, 300, 400}, {}},
          {"润滑油", "升", 15, 60, "%1#", {32, 46, 68, 100, 150}, {}},
          {"防锈剂", "瓶", 8, 30, "%1ml", {350, 450, 500}, {}}}},
        {"包装材料", "BZ", {"三层", "五层", "加厚", "印刷", "白色"},
         {{"纸箱", "个", 1.2, 12, "%1×%2×%2mm", {300, 400, 500, 600, 800, 1000, 1200}, {200, 300, 400, 500}},
          {"珍珠棉", "张", 0.8, 6, "%1mm×1000×2000", {5, 10, 15, 20, 30}, {}},
          {"缠绕膜", "卷", 22, 48, "宽%1mm", {300, 450, 500}, {}},
          {"不干胶标签", "张", 0.02, 0.3, "%1×%2mm", {30, 40, 50, 60, 80, 100}, {20, 30, 40, 60}},
          {"木托盘", "个", 35, 120, "%1×%2mm", {1000, 1100, 1200, 1300}, {800, 1000, 1200}}}},
        {"橡胶制品", "XJ", {"丁腈", "硅胶", "氟胶", "三元乙丙"},
         {{"O型圈", "个", 0.05, 3, "%1×%2mm", {6, 8, 10, 12, 16, 20, 25, 30, 40, 50}, {1, 2, 3}},
          {"密封条", "米", 1.5, 18, "%1×%2mm", {8, 10, 12, 15, 20}, {5, 6, 8, 10}},
          {"橡胶垫", "片", 0.3, 12, "%1×%1×%2mm", {20, 30, 40, 50, 80, 100}, {2, 3, 5, 10}},
          {"胶管", "米", 4, 38, "内径%1mm", {6, 8, 10, 13, 16, 19, 25, 32}, {}}}},
    };
    return cats;
}

struct ProductKind {
    const char *name;
    const char *initials;
    const char *unit;
    double priceLo, priceHi;
    std::vector<const char *> specs;
    std::vector<int> materialCats; // indexes into materialCategories(): where its materials come from
};

struct ProductTop {
    const char *name;
    const char *codePrefix;
    std::vector<ProductKind> kinds;
};

const std::vector<ProductTop> &productCategories()
{
    static const std::vector<ProductTop> cats = {
        {"办公家具", "BG",
         {{"办公桌", "BGZ", "张", 380, 2600, {"1200×600×750", "1400×700×750", "1600×800×760", "1800×900×760"}, {0, 2, 3, 8}},
          {"文件柜", "WJG", "台", 450, 1800, {"900×400×1800", "850×390×1850", "1000×450×2000"}, {0, 2, 3, 7, 8}},
          {"办公椅", "BGY", "把", 160, 1200, {"标准", "带扶手", "高背", "网布"}, {0, 2, 3, 6, 8}},
          {"会议桌", "HYZ", "张", 1200, 6800, {"2400×1200", "3000×1400", "3600×1500", "4000×1600"}, {0, 2, 3, 8}},
          {"钢制书架", "GZSJ", "组", 260, 980, {"五层", "六层", "双面"}, {0, 3, 7, 8}}}},
        {"五金工具", "WJ",
         {{"工具箱", "GJX", "只", 45, 680, {"三层", "五抽", "七抽", "手提式"}, {0, 2, 3, 7, 8}},
          {"平板手推车", "PBSTC", "台", 180, 950, {"载重150kg", "载重300kg", "载重500kg"}, {0, 3, 6, 9, 8}},
          {"仓储货架", "CCHJ", "组", 320, 2400, {"轻型", "中型", "重型"}, {0, 3, 7, 8}},
          {"铝合金梯", "LHJT", "架", 160, 880, {"四步", "五步", "六步", "伸缩"}, {1, 2, 3, 9, 8}}}},
        {"电器产品", "DQ",
         {{"配电箱", "PDX", "台", 280, 3500, {"12回路", "18回路", "24回路", "明装", "暗装"}, {0, 4, 5, 3, 8}},
          {"控制柜", "KZG", "台", 2800, 18000, {"600×400×1600", "800×600×2000", "800×800×2200"}, {0, 4, 5, 3, 7, 8}},
          {"电源适配器", "DYSPQ", "只", 18, 160, {"12V2A", "24V3A", "48V5A"}, {4, 5, 6, 8}},
          {"LED工矿灯", "LEDGKD", "套", 120, 650, {"100W", "150W", "200W"}, {1, 4, 5, 3, 8}},
          {"排风扇", "PFS", "台", 85, 560, {"250mm", "300mm", "400mm", "500mm"}, {0, 4, 5, 6, 3, 8}}}},
        {"机械配件", "JX",
         {{"蜗轮减速机", "WLJSJ", "台", 650, 5200, {"速比10", "速比20", "速比30", "速比50"}, {0, 1, 3, 7, 9, 8}},
          {"弹性联轴器", "TXLZQ", "套", 35, 420, {"Φ20", "Φ30", "Φ40", "Φ50"}, {0, 3, 9, 8}},
          {"轴承座", "ZCZ", "只", 28, 260, {"UCP204", "UCP206", "UCP208", "UCF210"}, {0, 3, 7, 8}},
          {"链轮", "LL", "只", 22, 340, {"08B 18齿", "10A 21齿", "12A 25齿"}, {0, 3, 8}}}},
    };
    return cats;
}

const std::vector<std::pair<const char *, const char *>> kSeries = {
    {"标准型", "BZX"}, {"豪华型", "HHX"}, {"经济型", "JJX"}, {"加厚型", "JHX"},
    {"重载型", "ZZX"}, {"迷你型", "MNX"}, {"出口型", "CKX"}, {"工程型", "GCX"}};

const std::vector<const char *> kPlaces = {"上海", "江苏苏州", "江苏无锡", "浙江宁波", "浙江温州", "广东东莞",
                                           "广东佛山", "天津", "河北唐山", "山东青岛", "辽宁鞍山", "福建厦门",
                                           "湖北武汉", "四川成都", "安徽合肥"};

const std::vector<const char *> kCities = {"宁波", "苏州", "无锡", "东莞", "佛山", "温州", "台州", "杭州",
                                           "青岛", "天津", "合肥", "武汉", "成都", "厦门", "常州", "嘉兴"};
const std::vector<const char *> kTrades = {"恒达", "永兴", "鑫源", "华盛", "宏远", "金泰", "振华", "通达",
                                           "富康", "瑞丰", "汇通", "德隆", "新时代", "天成", "佳美", "盛世",
                                           "长江", "东方", "正大", "明远", "博新", "精诚", "万邦", "海川"};
const std::vector<const char *> kSupplierTrades = {"钢材贸易", "五金制品", "金属材料", "电子科技", "线缆",
                                                   "塑胶", "化工", "包装材料", "橡胶制品", "紧固件"};
const std::vector<const char *> kCustomerTrades = {"办公设备", "商贸", "建设工程", "机电设备", "家具",
                                                   "实业", "物流设备", "电气", "进出口", "装饰工程"};
const std::vector<const char *> kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "周", "吴",
                                             "徐", "孙", "马", "朱", "胡", "郭", "何", "林", "罗", "高"};
const std::vector<const char *> kGiven = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军",
                                          "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀兰", "霞",
                                          "建华", "志强", "海燕", "国庆", "晓东"};
const std::vector<const char *> kRoads = {"人民路", "解放路", "建设路", "中山路", "工业大道", "科技路",
                                          "长江路", "环城北路", "创业路", "滨海大道"};
const std::vector<const char *> kBanks = {"中国工商银行", "中国建设银行", "中国农业银行", "中国银行",
                                          "交通银行", "招商银行", "浙商银行"};

const std::vector<const char *> kEmpNames = {"王建国", "李秀英", "张伟", "刘芳", "陈明", "杨洋",
                                             "赵磊", "周静", "吴涛", "徐丽", "孙强", "马超"};
const std::vector<const char *> kWorkshops = {"生产一车间", "生产二车间", "装配车间", "喷涂车间"};
const std::vector<const char *> kDepots = {"生产一车间", "生产二车间", "装配车间", "喷涂车间",
                                           "原材料仓库", "成品仓库", "采购部", "销售部"};

struct CodeList {
    const char *type;
    std::vector<const char *> names;
};

const std::vector<CodeList> &codeLists()
{
    static const std::vector<CodeList> lists = {
        {"unit", {"个", "只", "件", "套", "台", "张", "把", "副", "组", "架", "米", "公斤", "吨", "升", "卷",
                  "箱", "包", "瓶", "支", "片"}},
        {"depot", {}},
        {"empname", {}},
        {"clttype", {"经销商", "零售客户", "工程客户", "外贸客户", "集团客户"}},
        {"suptype", {"原材料供应商", "五金供应商", "电子元件供应商", "包装供应商", "外协加工"}},
        {"clrk", {"采购入库", "外协入库", "盘盈入库", "其他入库"}},
        {"clck", {"外协出库", "盘亏出库", "报废出库", "其他出库"}},
        {"cprk", {"生产入库", "外购入库", "盘盈入库"}},
        {"cpck", {"调拨出库", "样品出库", "报废出库", "盘亏出库"}},
        {"abSheet1", {"Φ", "×", "²", "³", "℃", "±", "≤", "≥", "∠", "μ", "Ω", "№"}},
    };
    return lists;
}

// Operators who make and approve bills; their rights come from roles.
struct Operator {
    const char *code, *name, *role;
};
const std::vector<Operator> kOperators = {
    {"001", "王建国", "01"}, {"002", "刘芳", "01"}, {"003", "李秀英", "02"}, {"004", "张伟", "03"}};
const std::vector<std::pair<const char *, const char *>> kRoles = {{"01", "仓库管理员"}, {"02", "销售员"}, {"03", "生产计划员"}};

// ---------------------------------------------------------------- bill kinds

struct KindInfo {
    int flag;
    const char *prefix;
    double share; // of all bills
};
const std::vector<KindInfo> kKinds = {
    {1, "CJD", 0.18}, {-1, "CCD", 0.06}, {2, "LTD", 0.04}, {-2, "LCD", 0.20},
    {3, "PJD", 0.16}, {-3, "PCD", 0.06}, {5, "XTD", 0.04}, {-5, "XSD", 0.26}};

int kindIndex(int flag)
{
    for (size_t i = 0; i < kKinds.size(); ++i)
        if (kKinds[i].flag == flag)
            return int(i);
    return 0;
}

bool rawKind(int flag) { return flag == 1 || flag == -1 || flag == 2 || flag == -2; }

// ---------------------------------------------------------------- multi-row inserts

// Collects rows and writes them as multi-row INSERT statements; the statement for a
// full batch is prepared once and reused.
class BatchInsert {
public:
    BatchInsert(Database &db, const QString &table, const QStringList &columns, int maxRows = 250)
        : m_db(db), m_table(table), m_columns(columns),
          m_rowsPerStatement(std::max(1, std::min(maxRows, 30000 / int(columns.size())))), m_full(db.handle())
    {
        m_values.reserve(size_t(m_rowsPerStatement * columns.size()));
    }

    Result<void> add(std::initializer_list<QVariant> row)
    {
        Q_ASSERT(int(row.size()) == m_columns.size());
        for (const QVariant &v : row)
            m_values.push_back(Database::bindValue(v, m_db.engine()));
        ++m_rows;
        ++m_total;
        if (m_rows == m_rowsPerStatement)
            return flush();
        return {};
    }

    Result<void> flush()
    {
        if (m_rows == 0)
            return {};
        QSqlQuery partial(m_db.handle());
        QSqlQuery *q = &m_full;
        if (m_rows == m_rowsPerStatement) {
            if (!m_fullPrepared) {
                if (!m_full.prepare(sql(m_rows)))
                    return makeError(QStringLiteral("生成数据失败"), m_full.lastError().text());
                m_fullPrepared = true;
            }
        } else {
            q = &partial;
            if (!partial.prepare(sql(m_rows)))
                return makeError(QStringLiteral("生成数据失败"), partial.lastError().text());
        }
        for (int i = 0; i < int(m_values.size()); ++i)
            q->bindValue(i, m_values[size_t(i)]);
        if (!q->exec())
            return makeError(QStringLiteral("生成数据失败"), q->lastError().text() + QStringLiteral("\n") + m_table);
        m_values.clear();
        m_rows = 0;
        return {};
    }

    qint64 total() const { return m_total; }

private:
    QString sql(int rows) const
    {
        QString one = QStringLiteral("(") + QStringList(QList<QString>(m_columns.size(), QStringLiteral("?"))).join(QLatin1Char(','))
            + QStringLiteral(")");
        QStringList all(QList<QString>(rows, one));
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(m_table, m_columns.join(QLatin1Char(',')), all.join(QLatin1Char(',')));
    }

    Database &m_db;
    QString m_table;
    QStringList m_columns;
    int m_rowsPerStatement;
    QSqlQuery m_full;
    bool m_fullPrepared = false;
    std::vector<QVariant> m_values;
    int m_rows = 0;
    qint64 m_total = 0;
};

// ---------------------------------------------------------------- the generator

struct Item {
    QString code, name, pycode, type, spec, unit, address;
    double price = 0;
    double opening = 0; // as the stock formula sees it: 0 for a stopped item
    bool stopped = false;
};

struct BomLine {
    int material;
    double amount;
};

struct Partner {
    QString code, name;
};

struct Launch {
    int plan = -1;
    int product = -1;
    double planned = 0;
    int day = 0; // working-day index of the launch
    double received = 0;
    bool started = false;
};

struct Plan {
    QString code;
    int day = 0;
    int customer = 0;
    std::vector<int> launches;
};

struct BillPlan {
    int day = 0;
    int kind = 0;      // F_Flag
    int launch = -1;   // production bills: the launch they serve
    int plan = -1;     // finished-goods receipts and some sales: the order
    int lines = 0;
    bool adjustable = false;
};

class Generator {
public:
    Generator(Database &db, const GenOptions &o, const std::function<void(const QString &)> &progress)
        : m_db(db), m_o(o), m_rng(o.seed), m_progress(progress)
    {
    }

    Result<GenStats> run()
    {
        if (auto r = checkEmpty(); !r)
            return r.error();
        if (m_db.isSqlite()) {
            // A generated database is rebuilt rather than recovered: no fsync per commit.
            for (const char *p : {"PRAGMA synchronous=OFF", "PRAGMA cache_size=-32768"})
                if (auto r = m_db.exec(QString::fromLatin1(p)); !r)
                    return r.error();
        }
        makeDays();
        if (auto r = writeCodesAndOperators(); !r)
            return r.error();
        say(QStringLiteral("类别、原材料、产成品与物料清单"));
        if (auto r = writeMaterials(); !r)
            return r.error();
        if (auto r = writeProducts(); !r)
            return r.error();
        if (auto r = writePartners(); !r)
            return r.error();
        say(QStringLiteral("生产计划"));
        if (auto r = writePlans(); !r)
            return r.error();
        planBills();
        if (auto r = writeBills(); !r)
            return r.error();
        if (auto r = writeLaunches(); !r)
            return r.error();
        if (!m_db.isSqlite()) {
            // Autovacuum would soon vacuum and analyse the new rows on its own (it sets the
            // visibility map that index-only scans need); do it now so that every run measures
            // the same plans.
            if (auto r = m_db.exec(QStringLiteral("VACUUM (ANALYZE)")); !r)
                return r.error();
        }
        return m_stats;
    }

private:
    void say(const QString &text)
    {
        if (m_progress)
            m_progress(text);
    }

    Result<void> checkEmpty()
    {
        for (const char *table : {"t_goods", "Product", "DepotM", "DepotD", "jhDepotM", "t_client"}) {
            auto n = m_db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromLatin1(table)));
            if (!n)
                return n.error();
            if (n->toLongLong() > 0)
                return makeError(QStringLiteral("数据库中已有数据，只能在新建的数据库上生成"),
                                 QStringLiteral("table %1 is not empty").arg(QString::fromLatin1(table)));
        }
        return {};
    }

    void makeDays()
    {
        const QDate first = m_o.lastDay.addYears(-std::max(1, m_o.years)).addDays(1);
        for (QDate d = first; d <= m_o.lastDay; d = d.addDays(1))
            if (d.dayOfWeek() <= 5)
                m_days.push_back(d);
    }

    QString personName() { return u8(m_rng.pick(kSurnames)) + u8(m_rng.pick(kGiven)); }
    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + m_rng.below(10));
        return s;
    }

    Result<void> writeCodesAndOperators()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert codes(m_db, QStringLiteral("t_code"), {QStringLiteral("F_type"), QStringLiteral("F_name")});
        for (const auto &list : codeLists()) {
            std::vector<const char *> names = list.names;
            if (QByteArray(list.type) == "depot")
                names = kDepots;
            else if (QByteArray(list.type) == "empname")
                names = kEmpNames;
            for (const char *n : names)
                if (auto r = codes.add({u8(list.type), u8(n)}); !r)
                    return r;
        }
        if (auto r = codes.flush(); !r)
            return r;

        // Roles with their permissions, and the operators who make and approve the bills.
        auto limits = m_db.exec(QStringLiteral("SELECT F_Code FROM Limits ORDER BY F_Code"));
        if (!limits)
            return limits.error();
        QStringList codesAll;
        while (limits->next())
            codesAll << limits->value(0).toString();
        for (const auto &[code, name] : kRoles)
            if (auto r = m_db.exec(QStringLiteral("INSERT INTO PartList (F_Code, F_Name, F_Flag, F_Mem) VALUES (?, ?, ?, ?)"),
                                   {u8(code), u8(name), false, QString()});
                !r)
                return r.error();
        BatchInsert partLimit(m_db, QStringLiteral("PartLimit"), {QStringLiteral("F_PartCode"), QStringLiteral("F_LmtCode")});
        for (const QString &lmt : codesAll) {
            const QChar group = lmt.at(0);
            // Store keepers: bills and master data; sales: sales bills and queries; planners: plans.
            const bool store = group != QLatin1Char('5');
            const bool sales = lmt == QLatin1String("101") || group == QLatin1Char('4') || lmt.startsWith(QLatin1String("30"));
            const bool planner = lmt == QLatin1String("101") || group == QLatin1Char('2') || group == QLatin1Char('4');
            if (store)
                if (auto r = partLimit.add({QStringLiteral("01"), lmt}); !r)
                    return r;
            if (sales)
                if (auto r = partLimit.add({QStringLiteral("02"), lmt}); !r)
                    return r;
            if (planner)
                if (auto r = partLimit.add({QStringLiteral("03"), lmt}); !r)
                    return r;
        }
        if (auto r = partLimit.flush(); !r)
            return r;
        for (const auto &op : kOperators)
            if (auto r = m_db.exec(QStringLiteral("INSERT INTO OperList (F_Code, F_Name, F_PassWord, F_PartCode, F_Flag, F_new, "
                                                  "F_edit, F_del, F_check, F_set, F_KHedit, F_price, F_Mem) "
                                                  "VALUES (?, ?, '', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                                   {u8(op.code), u8(op.name), u8(op.role), false, true, true, QByteArray(op.role) == "01",
                                    QByteArray(op.role) != "02", false, true, true, QString()});
                !r)
                return r.error();
        if (auto r = m_db.exec(QStringLiteral("UPDATE SysInfo SET F_Code = ?, F_Name = ?, F_Manager = ?, F_Phone = ?"),
                               {u8("宁波恒达机电制造有限公司"), u8("宁波市北仑区新矸街道"), u8("周国庆"),
                                QStringLiteral("0574-86881234")});
            !r)
            return r.error();
        return tx.commit();
    }

    Result<void> writeTree(const QString &flag, const QString &top, const std::vector<QString> &subs, int topIndex,
                           BatchInsert &tree, QString &topPath, std::vector<QString> &subPaths)
    {
        const QString topCode = QStringLiteral("%1").arg(topIndex + 1, 3, 10, QLatin1Char('0'));
        topPath = QStringLiteral("\\\\") + top;
        if (auto r = tree.add({topCode, top, topPath, flag}); !r)
            return r;
        subPaths.clear();
        for (size_t i = 0; i < subs.size(); ++i) {
            const QString path = topPath + QLatin1Char('\\') + subs[i];
            subPaths.push_back(path);
            if (auto r = tree.add({topCode + QStringLiteral("%1").arg(int(i) + 1, 3, 10, QLatin1Char('0')), subs[i], path, flag}); !r)
                return r;
        }
        return {};
    }

    static QString ean13(const QString &twelve)
    {
        int sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += (twelve.at(i).unicode() - '0') * (i % 2 ? 3 : 1);
        return twelve + QChar(u'0' + (10 - sum % 10) % 10);
    }

    QString specFor(const SubCategory &s)
    {
        QString spec = u8(s.specFormat);
        const bool first = spec.contains(QStringLiteral("%1"));
        const bool second = spec.contains(QStringLiteral("%2"));
        if (first && second)
            return spec.arg(m_rng.pick(s.a)).arg(m_rng.pick(s.b));
        if (second)
            return spec.arg(m_rng.pick(s.b));
        return first ? spec.arg(m_rng.pick(s.a)) : spec;
    }

    Result<void> writeMaterials()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert tree(m_db, QStringLiteral("t_treecode"),
                         {QStringLiteral("F_code"), QStringLiteral("F_name"), QStringLiteral("F_likecode"), QStringLiteral("F_flag")});
        const auto &cats = materialCategories();
        struct Slot {
            int top, sub;
            QString path;
        };
        std::vector<Slot> places;
        for (size_t t = 0; t < cats.size(); ++t) {
            std::vector<QString> subs;
            for (const auto &s : cats[t].subs)
                subs.push_back(u8(s.name));
            QString topPath;
            std::vector<QString> subPaths;
            if (auto r = writeTree(QStringLiteral("goodtype"), u8(cats[t].name), subs, int(t), tree, topPath, subPaths); !r)
                return r;
            for (size_t s = 0; s < subs.size(); ++s)
                places.push_back({int(t), int(s), subPaths[s]});
        }
        if (auto r = tree.flush(); !r)
            return r;

        BatchInsert goods(m_db, QStringLiteral("t_goods"),
                          {QStringLiteral("F_code"), QStringLiteral("F_name"), QStringLiteral("F_PYcode"), QStringLiteral("F_type"),
                           QStringLiteral("F_spec"), QStringLiteral("F_unit"), QStringLiteral("F_address"), QStringLiteral("F_amount"),
                           QStringLiteral("F_price"), QStringLiteral("F_totalPrice"), QStringLiteral("F_price1"),
                           QStringLiteral("F_price2"), QStringLiteral("F_Hdepot"), QStringLiteral("F_Ddepot"),
                           QStringLiteral("F_flag"), QStringLiteral("F_Memo1"), QStringLiteral("F_ZF1")},
                          150);
        std::vector<int> serial(cats.size(), 0);
        for (int i = 0; i < m_o.materials; ++i) {
            const Slot &slot = places[size_t(i % int(places.size()))];
            const TopCategory &top = cats[size_t(slot.top)];
            const SubCategory &sub = top.subs[size_t(slot.sub)];
            Item it;
            it.code = u8(top.codePrefix) + QStringLiteral("%1").arg(++serial[size_t(slot.top)], 4, 10, QLatin1Char('0'));
            it.name = u8(m_rng.pick(top.grades)) + u8(sub.name);
            it.pycode = ean13(QStringLiteral("69") + QStringLiteral("%1").arg(i + 1, 10, 10, QLatin1Char('0')));
            it.type = slot.path;
            it.spec = specFor(sub);
            it.unit = u8(sub.unit);
            it.address = u8(m_rng.pick(kPlaces));
            it.price = round2(m_rng.real(sub.priceLo, sub.priceHi));
            it.stopped = m_rng.chance(0.02);
            const double opening = m_rng.chance(0.15) ? 0.0 : double(m_rng.range(1, 200) * 10);
            if (it.stopped)
                ++m_stats.stoppedItems;
            it.opening = it.stopped ? 0 : opening;
            if (auto r = goods.add({it.code, it.name, it.pycode, it.type, it.spec, it.unit, it.address, opening, it.price,
                                    round2(opening * it.price), round2(it.price * 1.08), round2(it.price * 0.95),
                                    opening * 5 + 1000, std::floor(opening / 10), it.stopped,
                                    it.stopped ? u8("已停用，由替代料代替") : QString(),
                                    m_rng.chance(0.3) ? u8("库位") + QStringLiteral("A-%1").arg(m_rng.range(1, 40)) : QString()});
                !r)
                return r;
            m_materialTop.push_back(slot.top);
            m_materials.push_back(std::move(it));
        }
        if (auto r = goods.flush(); !r)
            return r;
        m_stats.materials = goods.total();
        m_materialsByTop.resize(cats.size());
        for (size_t i = 0; i < m_materials.size(); ++i)
            m_materialsByTop[size_t(m_materialTop[i])].push_back(int(i));
        return tx.commit();
    }

    Result<void> writeProducts()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert tree(m_db, QStringLiteral("t_treecode"),
                         {QStringLiteral("F_code"), QStringLiteral("F_name"), QStringLiteral("F_likecode"), QStringLiteral("F_flag")});
        const auto &cats = productCategories();
        struct Slot {
            int top, kind;
            QString path;
        };
        std::vector<Slot> places;
        for (size_t t = 0; t < cats.size(); ++t) {
            std::vector<QString> subs;
            for (const auto &k : cats[t].kinds)
                subs.push_back(u8(k.name));
            QString topPath;
            std::vector<QString> subPaths;
            if (auto r = writeTree(QStringLiteral("producttype"), u8(cats[t].name), subs, int(t), tree, topPath, subPaths); !r)
                return r;
            for (size_t s = 0; s < subs.size(); ++s)
                places.push_back({int(t), int(s), subPaths[s]});
        }
        if (auto r = tree.flush(); !r)
            return r;

        BatchInsert products(m_db, QStringLiteral("Product"),
                             {QStringLiteral("F_code"), QStringLiteral("F_name"), QStringLiteral("F_PYcode"), QStringLiteral("F_type"),
                              QStringLiteral("F_spec"), QStringLiteral("F_unit"), QStringLiteral("F_amount"), QStringLiteral("F_price"),
                              QStringLiteral("F_totalprice"), QStringLiteral("F_price1"), QStringLiteral("F_price2"),
                              QStringLiteral("F_deptUp"), QStringLiteral("F_deptDown"), QStringLiteral("F_flag"),
                              QStringLiteral("F_Memo1")},
                             150);
        BatchInsert bom(m_db, QStringLiteral("ProductDetail"),
                        {QStringLiteral("F_mainCode"), QStringLiteral("F_goodcode"), QStringLiteral("F_goodName"),
                         QStringLiteral("F_type"), QStringLiteral("F_spec"), QStringLiteral("F_unit"), QStringLiteral("F_address"),
                         QStringLiteral("F_amount"), QStringLiteral("F_price"), QStringLiteral("F_totalprice"),
                         QStringLiteral("F_Depot"), QStringLiteral("F_Flag")},
                        200);
        std::vector<int> serial(cats.size(), 0);
        std::vector<int> mark(m_materials.size(), -1);
        for (int i = 0; i < m_o.products; ++i) {
            const Slot &slot = places[size_t(i % int(places.size()))];
            const ProductTop &top = cats[size_t(slot.top)];
            const ProductKind &kind = top.kinds[size_t(slot.kind)];
            const auto &series = m_rng.pick(kSeries);
            Item it;
            it.code = u8(top.codePrefix) + QStringLiteral("%1").arg(10000 + ++serial[size_t(slot.top)]);
            it.name = u8(series.first) + u8(kind.name);
            it.pycode = QString::fromLatin1(series.second) + QString::fromLatin1(kind.initials);
            it.type = slot.path;
            it.spec = u8(m_rng.pick(kind.specs));
            it.unit = u8(kind.unit);
            it.price = round2(m_rng.real(kind.priceLo, kind.priceHi));
            it.stopped = m_rng.chance(0.02);
            if (it.stopped)
                ++m_stats.stoppedItems;
            const double opening = m_rng.chance(0.2) ? 0.0 : double(m_rng.range(1, 60) * 10);
            it.opening = it.stopped ? 0 : opening;
            if (auto r = products.add({it.code, it.name, it.pycode, it.type, it.spec, it.unit, opening, it.price,
                                       round2(opening * it.price), round2(it.price * 1.15), round2(it.price * 0.9), 2000.0,
                                       20.0, it.stopped, it.stopped ? u8("停产") : QString()});
                !r)
                return r;

            // Bill of materials: 5 to 20 materials, mostly from the categories this kind is made of.
            std::vector<BomLine> lines;
            const int count = std::min(m_rng.range(5, 20), int(m_materials.size()));
            int guard = 0;
            while (int(lines.size()) < count && guard++ < 10000) {
                int m;
                if (m_rng.chance(0.85)) {
                    const auto &pool = m_materialsByTop[size_t(m_rng.pick(kind.materialCats))];
                    if (pool.empty())
                        continue;
                    m = pool[size_t(m_rng.skewed(int(pool.size())))];
                } else {
                    m = m_rng.below(int(m_materials.size()));
                }
                if (mark[size_t(m)] == i)
                    continue;
                mark[size_t(m)] = i;
                const Item &mat = m_materials[size_t(m)];
                const bool countable = mat.unit == u8("个") || mat.unit == u8("只") || mat.unit == u8("片");
                const double amount = countable ? double(m_rng.range(1, 24)) : round2(m_rng.real(0.2, 6.0));
                lines.push_back({m, amount});
                if (auto r = bom.add({it.code, mat.code, mat.name, mat.type, mat.spec, mat.unit, mat.address, amount, mat.price,
                                      round2(amount * mat.price), u8("原材料仓库"), false});
                    !r)
                    return r;
            }
            m_boms.push_back(std::move(lines));
            m_products.push_back(std::move(it));
        }
        if (auto r = products.flush(); !r)
            return r;
        if (auto r = bom.flush(); !r)
            return r;
        m_stats.products = products.total();
        m_stats.bomLines = bom.total();
        return tx.commit();
    }

    Result<void> writePartners()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert clients(m_db, QStringLiteral("t_client"),
                            {QStringLiteral("F_operFlag"), QStringLiteral("F_Code"), QStringLiteral("F_Name"), QStringLiteral("F_type"),
                             QStringLiteral("F_LinkMan"), QStringLiteral("F_Phone"), QStringLiteral("F_handPhone"),
                             QStringLiteral("F_fax"), QStringLiteral("F_Address"), QStringLiteral("F_Postcode"),
                             QStringLiteral("F_bank"), QStringLiteral("F_account"), QStringLiteral("F_ratecode"),
                             QStringLiteral("F_homepage"), QStringLiteral("F_Email"), QStringLiteral("F_Enrol"),
                             QStringLiteral("F_empName"), QStringLiteral("F_useFlag"), QStringLiteral("F_Mem")},
                            100);
        const auto &lists = codeLists();
        auto listOf = [&](const char *type) -> const std::vector<const char *> & {
            for (const auto &l : lists)
                if (QByteArray(l.type) == type)
                    return l.names;
            return lists.front().names;
        };
        for (int kind = 0; kind < 2; ++kind) {
            const int count = kind == 0 ? m_o.suppliers : m_o.customers;
            auto &out = kind == 0 ? m_suppliers : m_customers;
            for (int i = 0; i < count; ++i) {
                const QString city = u8(m_rng.pick(kCities));
                // City, trade name, line of business: unique by the serial when the words repeat.
                QString name = city + u8(m_rng.pick(kTrades)) + u8(m_rng.pick(kind == 0 ? kSupplierTrades : kCustomerTrades))
                    + u8("有限公司");
                if (i >= int(kTrades.size() * 4))
                    name = city + u8(m_rng.pick(kTrades)) + QString::number(i) + u8(m_rng.pick(kind == 0 ? kSupplierTrades : kCustomerTrades))
                        + u8("有限公司");
                Partner p{(kind == 0 ? QStringLiteral("GYS") : QStringLiteral("KH")) + QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0')),
                          name};
                const QString area = QStringLiteral("0%1").arg(m_rng.range(510, 599));
                if (auto r = clients.add({kind == 0 ? 0 : 1, p.code, p.name,
                                          u8(m_rng.pick(listOf(kind == 0 ? "suptype" : "clttype"))), personName(),
                                          area + QLatin1Char('-') + QChar(u'8') + digits(7), QStringLiteral("13") + digits(9),
                                          area + QLatin1Char('-') + QChar(u'8') + digits(7),
                                          city + u8("市") + u8(m_rng.pick(kRoads)) + QString::number(m_rng.range(1, 999)) + u8("号"),
                                          QString::number(m_rng.range(100000, 899999)),
                                          u8(m_rng.pick(kBanks)) + city + u8("分行"), QStringLiteral("62") + digits(17),
                                          QStringLiteral("91") + digits(6) + QStringLiteral("MA") + digits(8),
                                          QStringLiteral("www.%1.com.cn").arg(p.code.toLower()),
                                          QStringLiteral("sales@%1.com.cn").arg(p.code.toLower()), personName(),
                                          u8(m_rng.pick(kEmpNames)), m_rng.chance(0.03), QString()});
                    !r)
                    return r;
                out.push_back(std::move(p));
            }
        }
        if (auto r = clients.flush(); !r)
            return r;
        m_stats.partners = clients.total();
        return tx.commit();
    }

    // Plans spread over the working days; most plan lines are launched a few days later.
    Result<void> writePlans()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert heads(m_db, QStringLiteral("jhDepotM"),
                          {QStringLiteral("F_code"), QStringLiteral("F_Flag"), QStringLiteral("F_makeDate"), QStringLiteral("F_date"),
                           QStringLiteral("F_empName"), QStringLiteral("F_oldcode"), QStringLiteral("F_depot"),
                           QStringLiteral("F_client"), QStringLiteral("F_maker"), QStringLiteral("F_Auditer"),
                           QStringLiteral("F_CheckFlag"), QStringLiteral("F_Memo1")});
        BatchInsert lines(m_db, QStringLiteral("jhDepotD"),
                          {QStringLiteral("F_Code"), QStringLiteral("F_GoodCode"), QStringLiteral("F_GoodName"),
                           QStringLiteral("F_Type"), QStringLiteral("F_Spec"), QStringLiteral("F_Unit"), QStringLiteral("F_Amount"),
                           QStringLiteral("F_Price"), QStringLiteral("F_TotalPrice"), QStringLiteral("F_Memo1")});
        std::vector<int> planDays;
        for (int i = 0; i < m_o.plans; ++i)
            planDays.push_back(m_rng.below(int(m_days.size())));
        std::sort(planDays.begin(), planDays.end());
        int seq = 0;
        int lastDay = -1;
        const int cutoff = int(m_days.size()) - 20;
        for (int day : planDays) {
            seq = day == lastDay ? seq + 1 : 1;
            lastDay = day;
            if (seq > 999)
                continue;
            Plan plan;
            plan.code = QStringLiteral("JH") + m_days[size_t(day)].toString(QStringLiteral("yyyyMMdd"))
                + QStringLiteral("%1").arg(seq, 3, 10, QLatin1Char('0'));
            plan.day = day;
            plan.customer = m_customers.empty() ? -1 : m_rng.skewed(int(m_customers.size()));
            const bool approved = day < cutoff || m_rng.chance(0.5);
            if (auto r = heads.add({plan.code, 1, m_days[size_t(day)], m_days[size_t(day)], u8(m_rng.pick(kEmpNames)),
                                    QStringLiteral("HT") + m_days[size_t(day)].toString(QStringLiteral("yyMM")) + digits(4),
                                    u8(m_rng.pick(kDepots)), plan.customer < 0 ? QString() : m_customers[size_t(plan.customer)].name,
                                    u8("张伟"), approved ? u8("系统管理员") : QString(), approved, QString()});
                !r)
                return r;
            const int count = std::min(m_rng.range(1, 6), int(m_products.size()));
            std::vector<int> chosen;
            while (int(chosen.size()) < count) {
                const int p = m_rng.skewed(int(m_products.size()));
                if (std::find(chosen.begin(), chosen.end(), p) == chosen.end())
                    chosen.push_back(p);
            }
            for (int p : chosen) {
                const Item &prod = m_products[size_t(p)];
                const double qty = double(m_rng.range(2, 50) * 10);
                if (auto r = lines.add({plan.code, prod.code, prod.name, prod.type, prod.spec, prod.unit, qty, prod.price,
                                        round2(qty * prod.price), QString()});
                    !r)
                    return r;
                if (approved && m_rng.chance(0.9)) {
                    Launch l;
                    l.plan = int(m_plans.size());
                    l.product = p;
                    l.planned = qty;
                    l.day = std::min(int(m_days.size()) - 1, day + m_rng.range(0, 5));
                    plan.launches.push_back(int(m_launches.size()));
                    m_launches.push_back(l);
                }
            }
            m_plans.push_back(std::move(plan));
        }
        if (auto r = heads.flush(); !r)
            return r;
        if (auto r = lines.flush(); !r)
            return r;
        m_stats.plans = heads.total();
        m_stats.planLines = lines.total();
        m_launchOrder.resize(m_launches.size());
        for (size_t i = 0; i < m_launches.size(); ++i)
            m_launchOrder[i] = int(i);
        std::stable_sort(m_launchOrder.begin(), m_launchOrder.end(),
                         [&](int a, int b) { return m_launches[size_t(a)].day < m_launches[size_t(b)].day; });
        return tx.commit();
    }

    // A launch running on `day` (launched within the last 40 working days), or -1.
    int runningLaunch(int day)
    {
        auto dayOf = [&](int i) { return m_launches[size_t(i)].day; };
        auto hi = std::upper_bound(m_launchOrder.begin(), m_launchOrder.end(), day,
                                   [&](int d, int i) { return d < dayOf(i); });
        auto lo = std::lower_bound(m_launchOrder.begin(), hi, day - 40, [&](int i, int d) { return dayOf(i) < d; });
        if (lo == hi)
            return -1;
        return *(lo + m_rng.below(int(hi - lo)));
    }

    // Decides every bill's day, kind, order and number of lines before anything is written,
    // so that the lines add up to exactly the requested total.
    void planBills()
    {
        std::vector<double> cumulative;
        double sum = 0;
        for (const auto &k : kKinds)
            cumulative.push_back(sum += k.share);
        const int nDays = int(m_days.size());
        std::vector<std::array<int, 8>> perDay(static_cast<size_t>(nDays));
        for (auto &a : perDay)
            a.fill(0);
        m_bills.reserve(size_t(m_o.bills));
        for (int i = 0; i < m_o.bills; ++i) {
            BillPlan b;
            const double u = m_rng.real() * sum;
            const int k = int(std::lower_bound(cumulative.begin(), cumulative.end(), u) - cumulative.begin());
            b.kind = kKinds[size_t(std::min(k, 7))].flag;
            b.day = m_rng.below(nDays);
            int guard = 0;
            while (perDay[size_t(b.day)][size_t(kindIndex(b.kind))] >= 999 && guard++ < nDays)
                b.day = (b.day + 1) % nDays;
            ++perDay[size_t(b.day)][size_t(kindIndex(b.kind))];
            m_bills.push_back(b);
        }
        std::stable_sort(m_bills.begin(), m_bills.end(), [](const BillPlan &a, const BillPlan &b) { return a.day < b.day; });

        qint64 fixed = 0, adjustable = 0;
        for (BillPlan &b : m_bills) {
            switch (b.kind) {
            case -2:
            case 2: {
                b.launch = runningLaunch(b.day);
                const int product = b.launch >= 0 ? m_launches[size_t(b.launch)].product : m_rng.below(int(m_products.size()));
                const int bom = int(m_boms[size_t(product)].size());
                b.lines = 1 + (b.kind == -2 ? bom : std::min(bom, m_rng.range(1, 5)));
                if (b.launch < 0)
                    b.plan = -1 - product; // no order: the product itself, kept negative
                break;
            }
            case 3:
                if (m_rng.chance(0.85) && (b.launch = runningLaunch(b.day)) >= 0) {
                    b.plan = m_launches[size_t(b.launch)].plan;
                    b.lines = int(m_plans[size_t(b.plan)].launches.size());
                } else {
                    b.launch = -1;
                    b.adjustable = true;
                    b.lines = m_rng.range(3, 20);
                }
                break;
            case -5:
                if (m_rng.chance(0.3) && (b.launch = runningLaunch(b.day)) >= 0)
                    b.plan = m_launches[size_t(b.launch)].plan;
                b.launch = -1;
                b.adjustable = true;
                b.lines = m_rng.range(5, 45);
                break;
            case 5: b.adjustable = true; b.lines = m_rng.range(1, 8); break;
            case 1: b.adjustable = true; b.lines = m_rng.range(15, 45); break;
            case -1: b.adjustable = true; b.lines = m_rng.range(8, 40); break;
            case -3: b.adjustable = true; b.lines = m_rng.range(5, 30); break;
            }
            (b.adjustable ? adjustable : fixed) += b.lines;
        }

        // Scale the free bills to the requested total, then settle the remainder one line at a time.
        auto cap = [&](const BillPlan &b) {
            const int pool = rawKind(b.kind) ? int(m_materials.size()) : int(m_products.size());
            return std::max(1, std::min(200, pool));
        };
        if (adjustable > 0) {
            const double factor = double(m_o.lines - fixed) / double(adjustable);
            for (BillPlan &b : m_bills)
                if (b.adjustable)
                    b.lines = std::clamp(int(std::lround(b.lines * factor)), 1, cap(b));
        }
        qint64 total = 0;
        for (const BillPlan &b : m_bills)
            total += b.lines;
        qint64 diff = m_o.lines - total;
        while (diff != 0) {
            bool moved = false;
            for (BillPlan &b : m_bills) {
                if (!b.adjustable || diff == 0)
                    continue;
                if (diff > 0 && b.lines < cap(b)) {
                    ++b.lines;
                    --diff;
                    moved = true;
                } else if (diff < 0 && b.lines > 1) {
                    --b.lines;
                    ++diff;
                    moved = true;
                }
            }
            if (!moved)
                break; // the counts asked for cannot be met exactly; take what fits
        }
    }

    // Distinct items for one bill, the popular ones more often.
    // Items whose running stock went below zero wait here for a receipt.
    struct Shortage {
        std::vector<double> stock;
        std::vector<char> queued;
        std::vector<int> queue;
        size_t head = 0;

        explicit Shortage(const std::vector<Item> &items)
        {
            for (const Item &it : items)
                stock.push_back(it.opening);
            queued.assign(items.size(), 0);
        }
        void move(int item, double signedQty)
        {
            stock[size_t(item)] += signedQty;
            if (stock[size_t(item)] < 0 && !queued[size_t(item)]) {
                queued[size_t(item)] = 1;
                queue.push_back(item);
            }
        }
        // The next short item, or -1.
        int next()
        {
            while (head < queue.size()) {
                const int i = queue[head++];
                queued[size_t(i)] = 0;
                if (stock[size_t(i)] < 0)
                    return i;
            }
            queue.clear();
            head = 0;
            return -1;
        }
    };

    // Distinct items for one bill, the popular ones more often; a receipt first restocks
    // items that ran short (up to half of its lines).
    void pickItems(int count, int poolSize, std::vector<int> &out, std::vector<qint64> &mark, qint64 stamp,
                   const std::vector<int> &popularity, Shortage *restock = nullptr)
    {
        out.clear();
        while (restock && int(out.size()) < count / 2) {
            const int i = restock->next();
            if (i < 0)
                break;
            if (mark[size_t(i)] == stamp)
                continue;
            mark[size_t(i)] = stamp;
            out.push_back(i);
        }
        while (int(out.size()) < count) {
            const int i = popularity[size_t(m_rng.skewed(poolSize))];
            if (mark[size_t(i)] == stamp)
                continue;
            mark[size_t(i)] = stamp;
            out.push_back(i);
        }
    }

    Result<void> writeBills()
    {
        const QStringList headCols = {QStringLiteral("F_Code"), QStringLiteral("F_Flag"), QStringLiteral("F_OperFlag"),
                                      QStringLiteral("F_MakeDate"), QStringLiteral("F_date"), QStringLiteral("F_Maker"),
                                      QStringLiteral("F_Auditer"), QStringLiteral("F_CheckFlag"), QStringLiteral("F_EmpName"),
                                      QStringLiteral("F_OldCode"), QStringLiteral("F_SCcode"), QStringLiteral("F_CLtype"),
                                      QStringLiteral("F_client"), QStringLiteral("F_depot"), QStringLiteral("F_amount"),
                                      QStringLiteral("F_TotalPrice"), QStringLiteral("F_Mem")};
        const QStringList lineCols = {QStringLiteral("F_Code"), QStringLiteral("F_GoodCode"), QStringLiteral("F_GoodName"),
                                      QStringLiteral("F_type"), QStringLiteral("F_spec"), QStringLiteral("F_unit"),
                                      QStringLiteral("F_address"), QStringLiteral("F_TMcode"), QStringLiteral("F_amount"),
                                      QStringLiteral("F_price"), QStringLiteral("F_totalPrice"), QStringLiteral("F_CBprice"),
                                      QStringLiteral("F_flag")};
        BatchInsert heads(m_db, QStringLiteral("DepotM"), headCols, 100);
        BatchInsert lines(m_db, QStringLiteral("DepotD"), lineCols, 200);

        const auto &lists = codeLists();
        auto listOf = [&](const char *type) -> const std::vector<const char *> & {
            for (const auto &l : lists)
                if (QByteArray(l.type) == type)
                    return l.names;
            return lists.front().names;
        };
        // Which items are popular has nothing to do with their codes.
        std::vector<int> matPopularity(m_materials.size()), prodPopularity(m_products.size());
        for (size_t i = 0; i < matPopularity.size(); ++i)
            matPopularity[i] = int(i);
        for (size_t i = 0; i < prodPopularity.size(); ++i)
            prodPopularity[i] = int(i);
        for (size_t i = matPopularity.size(); i > 1; --i)
            std::swap(matPopularity[i - 1], matPopularity[size_t(m_rng.below(int(i)))]);
        for (size_t i = prodPopularity.size(); i > 1; --i)
            std::swap(prodPopularity[i - 1], prodPopularity[size_t(m_rng.below(int(i)))]);
        std::vector<qint64> matMark(m_materials.size(), -1), prodMark(m_products.size(), -1);
        Shortage matShort(m_materials), prodShort(m_products);
        // A restocking line brings the item back above zero with some to spare.
        auto restockQty = [&](Shortage &s, int item, double usual) {
            const double short_ = -s.stock[size_t(item)];
            return short_ > 0 ? std::ceil(short_ / 10.0) * 10.0 + usual : usual;
        };

        std::vector<std::array<int, 8>> seq(m_days.size());
        for (auto &a : seq)
            a.fill(0);
        const int recent = int(m_days.size()) - 22; // about the last month is partly unapproved
        std::vector<int> items;

        struct Line {
            int item;
            bool product;
            double qty, price;
            bool productLine;
        };
        std::vector<Line> billLines;

        int inTx = 0;
        std::unique_ptr<Transaction> tx;
        qint64 done = 0;
        for (size_t bi = 0; bi < m_bills.size(); ++bi) {
            const BillPlan &b = m_bills[bi];
            if (!tx) {
                tx = std::make_unique<Transaction>(m_db);
                if (!tx->ok())
                    return tx->error();
            }
            const KindInfo &kind = kKinds[size_t(kindIndex(b.kind))];
            const QDate day = m_days[size_t(b.day)];
            const int n = ++seq[size_t(b.day)][size_t(kindIndex(b.kind))];
            const QString code = QString::fromLatin1(kind.prefix) + day.toString(QStringLiteral("yyyyMMdd"))
                + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
            const int makeIndex = m_rng.chance(0.8) ? b.day : std::max(0, b.day - m_rng.range(1, 3));
            const bool approved = b.day < recent ? m_rng.chance(0.96) : m_rng.chance(0.4);
            if (approved)
                ++m_stats.approvedBills;

            billLines.clear();
            QString oldCode, scCode, clType, client;
            const Launch *launch = b.launch >= 0 ? &m_launches[size_t(b.launch)] : nullptr;
            switch (b.kind) {
            case -2:
            case 2: {
                const int product = launch ? launch->product : -1 - b.plan;
                const Item &prod = m_products[size_t(product)];
                const double made = launch ? std::max(1.0, std::round(launch->planned * m_rng.real(0.2, 0.6)))
                                           : double(m_rng.range(1, 20) * 5);
                const double qty = b.kind == -2 ? made : std::max(1.0, std::round(made * 0.1));
                billLines.push_back({product, true, qty, prod.price, true});
                const auto &bom = m_boms[size_t(product)];
                std::vector<size_t> order(bom.size());
                for (size_t i = 0; i < order.size(); ++i)
                    order[i] = i;
                if (b.kind == 2)
                    for (size_t i = order.size(); i > 1; --i)
                        std::swap(order[i - 1], order[size_t(m_rng.below(int(i)))]);
                for (int i = 0; i < b.lines - 1; ++i) {
                    const BomLine &bl = bom[order[size_t(i)]];
                    const Item &mat = m_materials[size_t(bl.material)];
                    const double q = b.kind == -2 ? std::ceil(bl.amount * made * 100.0) / 100.0
                                                  : std::max(1.0, std::round(bl.amount * made * m_rng.real(0.02, 0.1)));
                    billLines.push_back({bl.material, false, q, mat.price, false});
                }
                if (launch) {
                    oldCode = m_plans[size_t(launch->plan)].code;
                    m_launches[size_t(b.launch)].started = true;
                }
                break;
            }
            case 3:
                clType = u8(m_rng.pick(listOf("cprk")));
                if (b.plan >= 0) {
                    const Plan &plan = m_plans[size_t(b.plan)];
                    scCode = plan.code;
                    clType = u8("生产入库");
                    for (int li : plan.launches) {
                        Launch &l = m_launches[size_t(li)];
                        const double left = l.planned - l.received;
                        const double qty = left > 0 ? std::min(left, std::max(1.0, std::round(l.planned * m_rng.real(0.3, 0.7))))
                                                    : double(m_rng.range(1, 5));
                        billLines.push_back({l.product, true, qty, round2(m_products[size_t(l.product)].price * 0.7), false});
                        if (approved)
                            l.received += qty;
                        l.started = true;
                    }
                } else {
                    pickItems(b.lines, int(m_products.size()), items, prodMark, qint64(bi), prodPopularity, &prodShort);
                    for (int p : items)
                        billLines.push_back({p, true, restockQty(prodShort, p, double(m_rng.range(1, 40))),
                                             round2(m_products[size_t(p)].price * 0.7), false});
                }
                break;
            case -3:
                clType = u8(m_rng.pick(listOf("cpck")));
                pickItems(b.lines, int(m_products.size()), items, prodMark, qint64(bi), prodPopularity);
                for (int p : items)
                    billLines.push_back({p, true, double(m_rng.range(1, 10)), m_products[size_t(p)].price, false});
                break;
            case -5:
            case 5: {
                const int cust = b.plan >= 0 ? m_plans[size_t(b.plan)].customer : m_rng.skewed(int(m_customers.size()));
                client = cust >= 0 && !m_customers.empty() ? m_customers[size_t(cust)].name : QString();
                if (b.plan >= 0)
                    scCode = m_plans[size_t(b.plan)].code;
                else if (m_rng.chance(0.4))
                    oldCode = QStringLiteral("HT") + day.toString(QStringLiteral("yyMM")) + digits(4);
                pickItems(b.lines, int(m_products.size()), items, prodMark, qint64(bi), prodPopularity);
                for (int p : items)
                    billLines.push_back({p, true, double(b.kind == -5 ? m_rng.range(1, 6) : m_rng.range(1, 2)),
                                         round2(m_products[size_t(p)].price * m_rng.real(1.05, 1.3)), false});
                break;
            }
            case 1:
            case -1:
                clType = u8(m_rng.pick(listOf(b.kind == 1 ? "clrk" : "clck")));
                if (b.kind == 1 || m_rng.chance(0.5))
                    client = m_suppliers.empty() ? QString() : m_suppliers[size_t(m_rng.skewed(int(m_suppliers.size())))].name;
                if (b.kind == 1 && m_rng.chance(0.6))
                    oldCode = QStringLiteral("CG") + day.toString(QStringLiteral("yyMMdd")) + digits(3);
                pickItems(b.lines, int(m_materials.size()), items, matMark, qint64(bi), matPopularity,
                          b.kind == 1 ? &matShort : nullptr);
                for (int m : items) {
                    const Item &mat = m_materials[size_t(m)];
                    const double qty = b.kind == 1 ? restockQty(matShort, m, double(m_rng.range(5, 200) * 10))
                                                   : double(m_rng.range(1, 50));
                    billLines.push_back({m, false, qty, round2(mat.price * m_rng.real(0.92, 1.08)), false});
                }
                break;
            }

            double sumQty = 0, sumTotal = 0;
            for (const Line &l : billLines) {
                const Item &it = l.product ? m_products[size_t(l.item)] : m_materials[size_t(l.item)];
                const double total = round2(l.qty * l.price);
                sumQty += l.qty;
                sumTotal += total;
                const double signedQty = b.kind > 0 ? l.qty : -l.qty;
                if (l.product && !l.productLine)
                    prodShort.move(l.item, signedQty);
                else if (!l.product)
                    matShort.move(l.item, signedQty);
                if (auto r = lines.add({code, it.code, it.name, it.type, it.spec, it.unit,
                                        l.product ? QVariant() : QVariant(it.address), l.product ? QVariant() : QVariant(it.pycode),
                                        l.qty, roundMoney(l.price), total, l.productLine ? QVariant(total) : QVariant(),
                                        l.productLine ? 1 : 0});
                    !r)
                    return r;
            }
            const bool sales = b.kind == 5 || b.kind == -5;
            const QString maker = sales ? u8("李秀英") : u8(b.kind == 3 || b.kind == -3 ? "王建国" : (m_rng.chance(0.5) ? "王建国" : "刘芳"));
            if (auto r = heads.add({code, b.kind, b.kind > 0 ? 1 : -1, m_days[size_t(makeIndex)], day, maker,
                                    approved ? u8(m_rng.chance(0.7) ? "系统管理员" : "张伟") : QString(), approved,
                                    u8(m_rng.pick(kEmpNames)), oldCode, scCode, clType, client,
                                    u8(b.kind == 2 || b.kind == -2 ? m_rng.pick(kWorkshops) : m_rng.pick(kDepots)),
                                    sumQty, roundMoney(sumTotal), m_rng.chance(0.05) ? u8("加急") : QString()});
                !r)
                return r;
            ++done;
            if (++inTx >= m_o.billsPerTransaction || bi + 1 == m_bills.size()) {
                if (auto r = heads.flush(); !r)
                    return r;
                if (auto r = lines.flush(); !r)
                    return r;
                if (auto r = tx->commit(); !r)
                    return r;
                tx.reset();
                inTx = 0;
                say(QStringLiteral("单据 %1 / %2，明细 %3").arg(done).arg(m_bills.size()).arg(lines.total()));
            }
        }
        m_stats.bills = heads.total();
        m_stats.lines = lines.total();
        return {};
    }

    // Launches last, with the finished quantity of the approved receipts and their state.
    Result<void> writeLaunches()
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        BatchInsert rows(m_db, QStringLiteral("ProductTC"),
                         {QStringLiteral("F_JHcode"), QStringLiteral("F_code"), QStringLiteral("F_name"), QStringLiteral("F_type"),
                          QStringLiteral("F_spec"), QStringLiteral("F_unit"), QStringLiteral("F_TCamount"),
                          QStringLiteral("F_WGamount"), QStringLiteral("F_TCdate"), QStringLiteral("F_TCflag"),
                          QStringLiteral("F_memo1")});
        const int old = int(m_days.size()) - 120;
        for (const Launch &l : m_launches) {
            const Item &prod = m_products[size_t(l.product)];
            int state = 0;
            if (l.received >= l.planned)
                state = 3;
            else if (l.started)
                state = 1;
            else if (l.day < old && m_rng.chance(0.5))
                state = 2;
            if (auto r = rows.add({m_plans[size_t(l.plan)].code, prod.code, prod.name, prod.type, prod.spec, prod.unit,
                                   l.planned, l.received, m_days[size_t(l.day)], state, QString()});
                !r)
                return r;
        }
        if (auto r = rows.flush(); !r)
            return r;
        m_stats.launches = rows.total();
        return tx.commit();
    }

    Database &m_db;
    GenOptions m_o;
    Rng m_rng;
    std::function<void(const QString &)> m_progress;
    GenStats m_stats;

    std::vector<QDate> m_days;
    std::vector<Item> m_materials, m_products;
    std::vector<int> m_materialTop;
    std::vector<std::vector<int>> m_materialsByTop;
    std::vector<std::vector<BomLine>> m_boms;
    std::vector<Partner> m_suppliers, m_customers;
    std::vector<Plan> m_plans;
    std::vector<Launch> m_launches;
    std::vector<int> m_launchOrder;
    std::vector<BillPlan> m_bills;
};

} // namespace

GenOptions GenOptions::scaled(double factor)
{
    GenOptions o;
    auto sc = [&](auto v, decltype(v) least) { return std::max(least, decltype(v)(std::llround(double(v) * factor))); };
    o.materials = sc(o.materials, 30);
    o.products = sc(o.products, 8);
    o.suppliers = sc(o.suppliers, 3);
    o.customers = sc(o.customers, 3);
    o.plans = sc(o.plans, 5);
    o.bills = sc(o.bills, 40);
    o.lines = sc(o.lines, qint64(400));
    return o;
}

Result<GenStats> generateDatabase(Database &db, const GenOptions &options, const std::function<void(const QString &)> &progress)
{
    if (options.materials < 1 || options.products < 1 || options.bills < 1 || options.lines < options.bills)
        return makeError(QStringLiteral("生成参数不正确"), QStringLiteral("need at least one material, product and bill, and a line per bill"));
    Generator g(db, options, progress);
    return g.run();
}

} // namespace tarvik::bench
