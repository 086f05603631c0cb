#pragma once

#include "data/rowset.h"

#include <QDate>

#include <memory>

namespace tarvik::test {

// A believable raw material receipt: header row and `lines` lines with Chinese names.
inline std::unique_ptr<RowSet> billHeaderFixture()
{
    auto h = std::make_unique<RowSet>();
    h->setFields({"F_ID", "F_Code", "F_Flag", "F_MakeDate", "F_date", "F_Maker", "F_Auditer", "F_CheckFlag",
                  "F_EmpName", "F_OldCode", "F_CLtype", "F_client", "F_depot", "F_amount", "F_TotalPrice", "F_Mem"});
    h->appendRow({{"F_ID", 7}, {"F_Code", "CJD20240315001"}, {"F_Flag", 1}, {"F_MakeDate", QDate(2024, 3, 15)},
                  {"F_date", QDate(2024, 3, 15)}, {"F_Maker", "李秀英"}, {"F_Auditer", "张伟"}, {"F_CheckFlag", true},
                  {"F_EmpName", "王建国"}, {"F_OldCode", "SC20240301"}, {"F_CLtype", "采购入库"},
                  {"F_client", "华联五金有限公司"}, {"F_depot", "一车间"}, {"F_Mem", "三月份第二批 <急>"}});
    h->setCurrent(0);
    return h;
}

struct FixtureLine {
    const char *code;
    const char *name;
    const char *spec;
    const char *unit;
    double amount;
    double price;
};

inline const FixtureLine kFixtureLines[] = {
    {"YL-001", "冷轧钢板", "1.5mm×1250×2500", "张", 20, 356.5},
    {"YL-002", "镀锌角钢", "50×50×5", "根", 45, 68.2},
    {"YL-003", "六角螺栓", "M12×60", "盒", 12, 45},
    {"YL-004", "平垫圈", "Φ12", "包", 30, 8.5},
    {"YL-005", "焊丝", "ER50-6 1.2mm", "卷", 8, 132},
    {"YL-006", "防锈底漆", "铁红 18kg", "桶", 6, 215.8},
    {"YL-007", "不锈钢管", "Φ25×1.2", "米", 120, 18.75},
    {"YL-008", "橡胶密封圈", "O型 40×3", "个", 500, 0.35},
    {"YL-009", "轴承", "6204-2RS", "套", 40, 12.6},
    {"YL-010", "铝合金型材", "6063-T5 40×40", "米", 86.5, 24.3},
    {"YL-011", "包装纸箱", "五层 600×400×400", "个", 200, 4.2},
    {"YL-012", "劳保手套", "浸胶", "双", 100, 3.8},
};

inline std::unique_ptr<RowSet> billLinesFixture(int count = 12)
{
    auto d = std::make_unique<RowSet>();
    d->setFields({"F_ID", "F_Code", "F_GoodCode", "F_GoodName", "F_type", "F_spec", "F_unit", "F_amount", "F_price",
                  "F_totalPrice", "F_Mem", "F_RQ1"});
    for (int i = 0; i < count; ++i) {
        const FixtureLine &l = kFixtureLines[i % 12];
        d->appendRow({{"F_ID", i + 1}, {"F_Code", "CJD20240315001"}, {"F_GoodCode", l.code}, {"F_GoodName", l.name},
                      {"F_type", "\\\\原材料\\五金"}, {"F_spec", l.spec}, {"F_unit", l.unit}, {"F_amount", l.amount},
                      {"F_price", l.price}, {"F_totalPrice", l.amount * l.price}, {"F_Mem", i == 2 ? "加急" : ""},
                      {"F_RQ1", "1900-08-14"}});
    }
    return d;
}

} // namespace tarvik::test
