#include "master/demo.h"

#include "master/codelist.h"
#include "support/testdb.h"
#include "printers.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {
class GoodsDemoTest : public EngineTest {};
} // namespace

TEST_P(GoodsDemoTest, demo_fills_trees_lists_and_materials_once)
{
    ASSERT_TRUE(master::fillGoodsDemo(db()).ok());
    EXPECT_GE(scalarOf(db(), "SELECT COUNT(*) FROM t_goods").toInt(), 30);
    EXPECT_GE(scalarOf(db(), "SELECT COUNT(*) FROM t_goods WHERE F_flag = true").toInt(), 1);
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods g WHERE NOT EXISTS"
                             " (SELECT 1 FROM t_treecode t WHERE t.F_flag = 'goodtype' AND t.F_likecode = g.F_type)").toInt(),
              0)
        << "every material sits in a category of the tree";
    EXPECT_GT(scalarOf(db(), "SELECT COUNT(*) FROM t_treecode WHERE F_flag = 'producttype' AND length(F_code) = 6").toInt(), 0);
    for (const CodeListKind &k : codeLists())
        EXPECT_GT(scalarOf(db(), "SELECT COUNT(*) FROM t_code WHERE F_type = ?", {k.type}).toInt(), 0) << k.type.toStdString();

    auto again = master::fillGoodsDemo(db());
    EXPECT_FALSE(again.ok());
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods").toInt(), 37);
}

TARVIK_ENGINE_TESTS(GoodsDemoTest);
