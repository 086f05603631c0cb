#include "master/demo.h"

#include "master/categorytree.h"
#include "master/codelist.h"
#include "master/goodsstore.h"

#include <QDate>

#include <vector>

namespace tarvik::master {

namespace {

struct Category {
    const char *name;
    std::initializer_list<const char *> children;
};

// Two-level trees: first-level categories with their children.
Result<void> addTree(Database &db, const QString &flag, std::initializer_list<Category> tree)
{
    CategoryStore store(db);
    for (const Category &top : tree) {
        auto code = NextCategoryCode(db, QString(), flag, CodeChild);
        if (!code)
            return code.error();
        const QString name = QString::fromUtf8(top.name);
        const QString path = childCategoryPath(kRootPath, name);
        if (auto r = store.insert({int(code->size()), *code, name, path}, flag); !r)
            return r;
        for (const char *child : top.children) {
            auto childCode = NextCategoryCode(db, *code, flag, CodeChild);
            if (!childCode)
                return childCode.error();
            const QString childName = QString::fromUtf8(child);
            if (auto r = store.insert({int(childCode->size()), *childCode, childName, childCategoryPath(path, childName)}, flag); !r)
                return r;
        }
    }
    return {};
}

struct Material {
    const char *py;
    const char *name;
    const char *type; // "first\\second"
    const char *spec;
    const char *unit;
    const char *address;
    double price;
    double opening;
    double low;
    double high;
    bool stopped;
    const char *memo;
};

} // namespace

Result<void> fillGoodsDemo(Database &db)
{
    auto existing = db.scalar(QStringLiteral("SELECT COUNT(*) FROM t_goods"));
    if (!existing)
        return existing.error();
    if (existing->toInt() > 0)
        return makeError(QStringLiteral("数据库中已有原材料资料，演示数据没有写入。"));

    Transaction tx(db);
    if (!tx.ok())
        return tx.error();

    if (auto r = addTree(db, kGoodTypeFlag,
                         {{"钢材", {"圆钢", "钢板", "型钢"}},
                          {"有色金属", {"铜材", "铝材"}},
                          {"五金件", {"紧固件", "轴承"}},
                          {"电气件", {"电线电缆", "开关插头", "电机配件"}},
                          {"塑料件", {"粒料", "注塑件"}},
                          {"油漆化工", {"油漆", "辅料"}},
                          {"包装材料", {"纸箱", "填充物"}}});
        !r)
        return r;
    if (auto r = addTree(db, kProductTypeFlag,
                         {{"电风扇", {"台扇", "落地扇", "壁扇"}},
                          {"排气扇", {"窗式", "吊顶式"}},
                          {"配件", {"扇叶", "网罩"}}});
        !r)
        return r;

    CodeListStore codes(db);
    const std::pair<QString, std::vector<const char *>> lists[] = {
        {kCodeEmpName, {"张建国", "李晓红", "王磊", "赵敏", "陈志强"}},
        {kCodeUnit, {"个", "件", "套", "条", "公斤", "吨", "米", "卷", "张", "桶", "箱", "台"}},
        {kCodeDepot, {"采购部", "原料仓库", "冲压车间", "注塑车间", "装配车间", "成品仓库", "销售部"}},
        {kCodeCltType, {"批发商", "零售商", "外贸公司", "工程客户"}},
        {kCodeSupType, {"钢材供应商", "五金供应商", "电气供应商", "包装供应商", "化工供应商"}},
        {kCodeClck, {"退货出库", "报废出库", "调拨出库", "其他出库"}},
        {kCodeClrk, {"采购入库", "调拨入库", "盘盈入库", "其他入库"}},
        {kCodeCpck, {"销售出库", "样品出库", "其他出库"}},
        {kCodeCprk, {"生产入库", "退货入库", "其他入库"}},
        {QStringLiteral("abSheet1"), {"Φ", "×", "±", "℃", "㎡", "≥", "≤"}},
    };
    for (const auto &[type, names] : lists)
        for (const char *name : names)
            if (auto r = codes.add(type, QString::fromUtf8(name)); !r)
                return r;

    static const Material materials[] = {
        {"YG20", "圆钢", "钢材\\圆钢", "Q235 Φ20", "公斤", "鞍钢", 4.60, 1200, 300, 3000, false, ""},
        {"YG12", "圆钢", "钢材\\圆钢", "45# Φ12", "公斤", "鞍钢", 4.95, 800, 200, 2000, false, ""},
        {"YG08", "圆钢", "钢材\\圆钢", "Q235 Φ8", "公斤", "唐钢", 4.50, 0, 200, 1500, true, "改用Φ10，停止采购"},
        {"LZB1", "冷轧钢板", "钢材\\钢板", "SPCC 1.0×1250×2500", "张", "宝钢", 128.00, 60, 20, 150, false, ""},
        {"LZB15", "冷轧钢板", "钢材\\钢板", "SPCC 1.5×1250×2500", "张", "宝钢", 186.00, 40, 15, 100, false, ""},
        {"DXB05", "镀锌板", "钢材\\钢板", "DX51D 0.5×1000×2000", "张", "首钢", 62.50, 120, 40, 300, false, ""},
        {"JG30", "角钢", "钢材\\型钢", "30×30×3", "米", "唐钢", 8.20, 300, 100, 600, false, ""},
        {"BG20", "扁钢", "钢材\\型钢", "20×3", "米", "唐钢", 3.60, 260, 80, 500, false, ""},
        {"TX05", "漆包铜线", "有色金属\\铜材", "QZ-2 Φ0.5", "公斤", "江西铜业", 72.00, 150, 50, 400, false, "电机绕组用"},
        {"TX03", "漆包铜线", "有色金属\\铜材", "QZ-2 Φ0.3", "公斤", "江西铜业", 75.50, 90, 30, 250, false, ""},
        {"LB08", "铝板", "有色金属\\铝材", "1060 0.8×1000×2000", "张", "南山铝业", 96.00, 35, 10, 80, false, ""},
        {"LBX", "铝扇叶坯", "有色金属\\铝材", "Φ400 三叶", "件", "佛山", 6.80, 500, 200, 1500, false, ""},
        {"LS625", "六角螺栓", "五金件\\紧固件", "M6×25 镀锌", "个", "宁波", 0.12, 20000, 5000, 50000, false, ""},
        {"LS816", "六角螺栓", "五金件\\紧固件", "M8×16 镀锌", "个", "宁波", 0.18, 12000, 4000, 30000, false, ""},
        {"LM6", "六角螺母", "五金件\\紧固件", "M6 镀锌", "个", "宁波", 0.05, 30000, 8000, 60000, false, ""},
        {"DQ6", "平垫圈", "五金件\\紧固件", "Φ6 镀锌", "个", "宁波", 0.02, 40000, 10000, 80000, false, ""},
        {"ZZ4", "自攻螺钉", "五金件\\紧固件", "ST4.2×13 十字", "个", "宁波", 0.03, 0, 10000, 60000, true, "已由ST3.9替代"},
        {"ZC608", "深沟球轴承", "五金件\\轴承", "608ZZ", "套", "人本", 1.35, 3000, 1000, 8000, false, ""},
        {"ZC6201", "深沟球轴承", "五金件\\轴承", "6201ZZ", "套", "人本", 2.80, 1500, 500, 4000, false, ""},
        {"DYX", "电源线", "电气件\\电线电缆", "RVV 2×0.75 1.8米 带插头", "条", "慈溪", 4.20, 2000, 600, 5000, false, ""},
        {"DX10", "连接导线", "电气件\\电线电缆", "UL1007 22AWG", "米", "慈溪", 0.35, 6000, 2000, 15000, false, ""},
        {"KG3", "琴键开关", "电气件\\开关插头", "四键 250V 3A", "个", "乐清", 3.10, 1800, 500, 4000, false, ""},
        {"DSQ", "定时器", "电气件\\开关插头", "60分钟 机械式", "个", "乐清", 5.60, 900, 300, 2500, false, ""},
        {"DR12", "启动电容", "电气件\\电机配件", "CBB61 1.2μF 450V", "个", "安徽铜峰", 0.95, 2500, 800, 6000, false, ""},
        {"DJT", "电机铁芯", "电气件\\电机配件", "48×16 硅钢片", "套", "常州", 7.40, 1200, 400, 3000, false, ""},
        {"PP1", "聚丙烯粒料", "塑料件\\粒料", "PP K8003", "公斤", "燕山石化", 9.80, 2500, 800, 6000, false, ""},
        {"ABS1", "ABS粒料", "塑料件\\粒料", "ABS 757K", "公斤", "台化", 13.50, 1800, 600, 4000, false, ""},
        {"WZ40", "网罩", "塑料件\\注塑件", "Φ400 白色", "套", "余姚", 8.50, 600, 200, 1500, false, ""},
        {"DZ01", "底座", "塑料件\\注塑件", "台扇 白色", "个", "余姚", 6.20, 500, 200, 1200, false, ""},
        {"FMQ", "粉末涂料", "油漆化工\\油漆", "环氧聚酯 白色", "公斤", "阿克苏", 28.00, 400, 100, 1000, false, ""},
        {"QQ1", "醇酸磁漆", "油漆化工\\油漆", "C04-42 灰色", "桶", "立邦", 165.00, 0, 5, 30, true, "停产，库存已清"},
        {"XSJ", "稀释剂", "油漆化工\\辅料", "X-6", "桶", "立邦", 85.00, 12, 4, 20, false, ""},
        {"RHY", "润滑脂", "油漆化工\\辅料", "锂基脂 2#", "公斤", "长城", 18.00, 60, 20, 150, false, ""},
        {"ZX40", "瓦楞纸箱", "包装材料\\纸箱", "五层 450×450×180", "个", "东莞", 4.80, 1500, 500, 4000, false, ""},
        {"ZX16", "彩盒", "包装材料\\纸箱", "台扇 16寸 彩印", "个", "东莞", 3.20, 1200, 400, 3000, false, ""},
        {"PM1", "泡沫护角", "包装材料\\填充物", "EPS 成型", "套", "东莞", 1.10, 2200, 600, 5000, false, ""},
        {"JD48", "封箱胶带", "包装材料\\填充物", "48mm×100m 透明", "卷", "东莞", 3.50, 300, 100, 800, false, ""},
    };

    GoodsStore store(db);
    int n = 0;
    for (const Material &m : materials) {
        GoodsRecord g;
        g.code = QStringLiteral("YL%1").arg(++n, 4, 10, QLatin1Char('0'));
        g.name = QString::fromUtf8(m.name);
        g.pycode = QString::fromLatin1(m.py);
        g.type = kRootPath + QString::fromUtf8(m.type);
        g.spec = QString::fromUtf8(m.spec);
        g.unit = QString::fromUtf8(m.unit);
        g.address = QString::fromUtf8(m.address);
        g.price = m.price;
        g.price1 = roundMoney(m.price * 1.05);
        g.price2 = roundMoney(m.price * 0.95);
        g.amount = m.opening;
        g.totalPrice = roundMoney(m.price * m.opening);
        g.ddepot = m.low;
        g.hdepot = m.high;
        g.stopped = m.stopped;
        g.memo = QString::fromUtf8(m.memo);
        if (auto r = store.saveNew(g, true); !r)
            return makeError(r.message() + QStringLiteral("（") + g.code + QStringLiteral("）"), r.error().detail);
    }
    return tx.commit();
}

} // namespace tarvik::master
