#include "master/codelist.h"

#include "data/rowset.h"
#include "support/testdb.h"
#include "printers.h"

#include <QComboBox>

using namespace tarvik;
using namespace tarvik::test;

namespace {
class CodeListTest : public EngineTest {};
} // namespace

TEST_P(CodeListTest, lists_keep_their_tab_order_and_the_last_tab_stores_abSheet1)
{
    QStringList types;
    for (const CodeListKind &k : codeLists())
        types << k.type;
    EXPECT_EQ(types, (QStringList{"empname", "unit", "depot", "clttype", "suptype", "clck", "clrk", "cpck", "cprk", "abSheet1"}));
    ASSERT_NE(findCodeList("abSheet1"), nullptr);
    EXPECT_EQ(findCodeList("abSheet1")->tabCaption, " 特殊符号 ");
}

TEST_P(CodeListTest, save_gives_new_rows_the_list_type_and_writes_edits_and_deletes_at_once)
{
    CodeListStore store(db());
    ASSERT_TRUE(store.add("unit", "公斤").ok());
    ASSERT_TRUE(store.add("unit", "米").ok());
    ASSERT_TRUE(store.add("depot", "一车间").ok());

    RowSet rows;
    ASSERT_TRUE(store.open(rows, "unit").ok());
    ASSERT_EQ(rows.count(), 2);
    rows.setValue(0, "F_name", "千克");
    rows.remove(1);
    rows.setValue(rows.append(), "F_name", "卷 'A'");
    ASSERT_TRUE(store.save(rows, "unit").ok());
    EXPECT_FALSE(rows.hasPendingChanges());

    RowSet back;
    ASSERT_TRUE(store.open(back, "unit").ok());
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(back.text(0, "F_name"), "千克");
    EXPECT_EQ(back.text(1, "F_name"), "卷 'A'");
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_code WHERE F_type = 'depot'").toInt(), 1);
}

TEST_P(CodeListTest, combo_boxes_offer_non_blank_entries_duplicates_only_where_asked)
{
    CodeListStore store(db());
    for (const char *n : {"生产部", "", "  ", "仓库", "生产部"})
        ASSERT_TRUE(store.add("clttype", QString::fromUtf8(n)).ok());
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText("手输");
    ASSERT_TRUE(FillCodeListItems(&combo, "clttype"));
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    EXPECT_EQ(items, (QStringList{"生产部", "仓库", "生产部"}));
    EXPECT_EQ(combo.currentText(), "手输") << "a typed value stays";

    ASSERT_TRUE(FillCodeListItems(&combo, "clttype", true));
    items.clear();
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    EXPECT_EQ(items, (QStringList{"生产部", "仓库"}));
}

TARVIK_ENGINE_TESTS(CodeListTest);
