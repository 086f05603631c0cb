#include "data/commands.h"

namespace tarvik {

const std::vector<CommandInfo> &commandCatalogue()
{
    static const std::vector<CommandInfo> list = {
        {101, QStringLiteral("系统管理"), QStringLiteral("公司信息资料")},
        {102, QStringLiteral("系统管理"), QStringLiteral("更改用户密码")},
        {103, QStringLiteral("系统管理"), QStringLiteral("角色权限管理")},
        {104, QStringLiteral("系统管理"), QStringLiteral("数据备份恢复")},
        {105, QStringLiteral("系统管理"), QStringLiteral("系统数据清理")},
        {106, QStringLiteral("系统管理"), QStringLiteral("导入材料信息")},
        {107, QStringLiteral("系统管理"), QStringLiteral("导入货品资料")},
        {108, QStringLiteral("系统管理"), QStringLiteral("压缩修复数据")},
        {109, QStringLiteral("系统管理"), QStringLiteral("连接网络数据")},
        {110, QStringLiteral("系统管理"), QStringLiteral("系统当前配置")},
        {111, QStringLiteral("系统管理"), QStringLiteral("导入客户档案")},
        {112, QStringLiteral("系统管理"), QStringLiteral("导入供应厂商")},
        {201, QStringLiteral("基本资料"), QStringLiteral("原材料管理")},
        {202, QStringLiteral("基本资料"), QStringLiteral("产成品管理")},
        {203, QStringLiteral("基本资料"), QStringLiteral("原材料类型设置")},
        {204, QStringLiteral("基本资料"), QStringLiteral("产成品类型设置")},
        {205, QStringLiteral("基本资料"), QStringLiteral("选项...")},
        {206, QStringLiteral("基本资料"), QStringLiteral("客户档案管理")},
        {207, QStringLiteral("基本资料"), QStringLiteral("供应厂商管理")},
        {301, QStringLiteral("业务管理"), QStringLiteral("生产计划管理")},
        {302, QStringLiteral("业务管理"), QStringLiteral("产品投产管理")},
        {303, QStringLiteral("业务管理"), QStringLiteral("原材料入库")},
        {304, QStringLiteral("业务管理"), QStringLiteral("原材料出库")},
        {305, QStringLiteral("业务管理"), QStringLiteral("生产领料管理")},
        {306, QStringLiteral("业务管理"), QStringLiteral("生产退料管理")},
        {307, QStringLiteral("业务管理"), QStringLiteral("成品入库管理")},
        {308, QStringLiteral("业务管理"), QStringLiteral("成品出库管理")},
        {309, QStringLiteral("业务管理"), QStringLiteral("产品销售管理")},
        {310, QStringLiteral("业务管理"), QStringLiteral("销售退货管理")},
        {401, QStringLiteral("报表中心"), QStringLiteral("原材料出入库汇总")},
        {402, QStringLiteral("报表中心"), QStringLiteral("原材料出入库明细")},
        {403, QStringLiteral("报表中心"), QStringLiteral("材料生产领用汇总")},
        {404, QStringLiteral("报表中心"), QStringLiteral("材料生产领用明细")},
        {405, QStringLiteral("报表中心"), QStringLiteral("产成品出入库汇总")},
        {406, QStringLiteral("报表中心"), QStringLiteral("产成品出入库明细")},
        {407, QStringLiteral("报表中心"), QStringLiteral("原材料库存对帐")},
        {408, QStringLiteral("报表中心"), QStringLiteral("产成品库存对帐")},
        {409, QStringLiteral("报表中心"), QStringLiteral("日旬月材料流通分析")},
        {410, QStringLiteral("报表中心"), QStringLiteral("日旬月生产能力分析")},
        {411, QStringLiteral("报表中心"), QStringLiteral("客户销售汇总统计")},
        {412, QStringLiteral("报表中心"), QStringLiteral("客户销售明细统计")},
        {501, QStringLiteral("查询统计"), QStringLiteral("生产计划查询")},
        {502, QStringLiteral("查询统计"), QStringLiteral("材料出入查询")},
        {503, QStringLiteral("查询统计"), QStringLiteral("产品出入查询")},
        {504, QStringLiteral("查询统计"), QStringLiteral("物料需求清单")},
        {505, QStringLiteral("查询统计"), QStringLiteral("生产进度查询")},
        {506, QStringLiteral("查询统计"), QStringLiteral("当前原材料库存")},
        {507, QStringLiteral("查询统计"), QStringLiteral("当前产成品库存")},
        {508, QStringLiteral("查询统计"), QStringLiteral("产品销售查询")},
        {509, QStringLiteral("查询统计"), QStringLiteral("材料领用查询")},
        {510, QStringLiteral("查询统计"), QStringLiteral("货品物料清单")},
    };
    return list;
}

const CommandInfo *findCommand(int code)
{
    for (const auto &c : commandCatalogue())
        if (c.code == code)
            return &c;
    return nullptr;
}

} // namespace tarvik
