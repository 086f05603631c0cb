#include "apptest.h"

#include "data/commands.h"
#include "data/session.h"

#include <QMenuBar>

using namespace tarvik;
using namespace tarvik::app;
using namespace tarvik::test;

namespace {

QStringList visibleTopMenus(TFrmMain &main)
{
    QStringList out;
    for (QAction *a : main.menuBar()->actions())
        if (a->isVisible())
            out << a->text();
    return out;
}

QStringList visibleEntries(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        if (a->isVisible() && !a->isSeparator())
            out << a->text();
    return out;
}

class GatingTest : public AppTest {
protected:
    void loginAs(const QString &code, const QString &password = QString())
    {
        m_prompts.answerDialog(typeLogin({{code, password}}));
        ASSERT_TRUE(ShowLoginDialog(true, &main()));
    }
};

TEST_P(GatingTest, a_role_without_permissions_sees_only_the_fixed_menus)
{
    addOperator(db(), QStringLiteral("201"), QStringLiteral("新员工"), QString(), QStringLiteral("09"));
    loginAs(QStringLiteral("201"));
    EXPECT_EQ(visibleTopMenus(main()), QStringList({QStringLiteral("窗体"), QStringLiteral("辅助"), QStringLiteral("导航图")}));
    for (const CommandInfo &c : commandCatalogue()) {
        EXPECT_FALSE(main().commandAction(c.code)->isVisible()) << c.code;
        EXPECT_FALSE(main().commandAction(c.code)->isEnabled()) << c.code; // no shortcut reaches it either
    }
}

TEST_P(GatingTest, a_role_with_only_an_import_sees_system_menu_with_its_fixed_items)
{
    addOperator(db(), QStringLiteral("202"), QStringLiteral("录入员"), QString(), QStringLiteral("05"));
    grant(db(), QStringLiteral("05"), {QStringLiteral("106")});
    loginAs(QStringLiteral("202"));
    EXPECT_EQ(visibleTopMenus(main()),
              QStringList({QStringLiteral("系统管理"), QStringLiteral("窗体"), QStringLiteral("辅助"), QStringLiteral("导航图")}));
    EXPECT_EQ(visibleEntries(main().menuNamed(QStringLiteral("mi100"))),
              QStringList({QStringLiteral("重新登录"), QStringLiteral("退出系统")}));
    EXPECT_FALSE(main().menuNamed(QStringLiteral("nImport"))->menuAction()->isVisible());
}

TEST_P(GatingTest, permissions_show_their_commands_and_menus)
{
    addOperator(db(), QStringLiteral("203"), QStringLiteral("仓管"), QStringLiteral("k"), QStringLiteral("03"));
    grant(db(), QStringLiteral("03"), {QStringLiteral("303"), QStringLiteral("304"), QStringLiteral("506")});
    // Another role's permission does not count.
    grant(db(), QStringLiteral("04"), {QStringLiteral("201")});
    loginAs(QStringLiteral("203"), QStringLiteral("k"));
    EXPECT_EQ(visibleTopMenus(main()), QStringList({QStringLiteral("业务管理"), QStringLiteral("查询统计"),
                                                    QStringLiteral("窗体"), QStringLiteral("辅助"), QStringLiteral("导航图")}));
    EXPECT_EQ(visibleEntries(main().menuNamed(QStringLiteral("mi300"))),
              QStringList({QStringLiteral("原材料入库"), QStringLiteral("原材料出库")}));
    EXPECT_EQ(visibleEntries(main().menuNamed(QStringLiteral("mi500"))), QStringList({QStringLiteral("当前原材料库存")}));
}

TEST_P(GatingTest, the_super_user_sees_everything)
{
    // After an operator without permissions, "000" gets every command back.
    addOperator(db(), QStringLiteral("201"), QStringLiteral("新员工"), QString(), QStringLiteral("09"));
    loginAs(QStringLiteral("201"));
    loginAs(QStringLiteral("000"));
    EXPECT_EQ(visibleTopMenus(main()).size(), 8);
    for (const CommandInfo &c : commandCatalogue())
        EXPECT_TRUE(main().commandAction(c.code)->isVisible()) << c.code;
    EXPECT_TRUE(main().menuNamed(QStringLiteral("nImport"))->menuAction()->isVisible());
}

TEST_P(GatingTest, permissions_that_cannot_be_read_give_one_message_and_hide_the_commands)
{
    addOperator(db(), QStringLiteral("205"), QStringLiteral("质检"), QString(), QStringLiteral("07"));
    grant(db(), QStringLiteral("07"), {QStringLiteral("201")});
    ASSERT_TRUE(db().exec(QStringLiteral("DROP TABLE PartLimit")).ok());
    loginAs(QStringLiteral("205"));
    EXPECT_EQ(m_prompts.texts(), QStringList({kMsgOpenFailed}));
    EXPECT_EQ(visibleTopMenus(main()), QStringList({QStringLiteral("窗体"), QStringLiteral("辅助"), QStringLiteral("导航图")}));
}

TEST_P(GatingTest, re_login_replaces_the_operator_and_gating_while_child_windows_stay_open)
{
    ScreenRegistry::setOpener(201, [] { ShowChildForm<ProbeForm>(); });
    loginAs(QStringLiteral("000"));
    main().commandAction(201)->trigger();
    ASSERT_EQ(main().mdiArea()->subWindowList().size(), 1);

    addOperator(db(), QStringLiteral("204"), QStringLiteral("销售员"), QStringLiteral("s"), QStringLiteral("06"), true);
    grant(db(), QStringLiteral("06"), {QStringLiteral("309")});
    loginAs(QStringLiteral("204"), QStringLiteral("s"));
    EXPECT_EQ(loginContext().OperCode, QStringLiteral("204"));
    EXPECT_TRUE(loginContext().Price);
    EXPECT_EQ(main().panel(1)->text(), QStringLiteral(" 销售员"));
    EXPECT_FALSE(main().commandAction(201)->isVisible());
    EXPECT_TRUE(main().commandAction(309)->isVisible());
    EXPECT_EQ(main().mdiArea()->subWindowList().size(), 1);
    EXPECT_NE(findChildForm<ProbeForm>(), nullptr);
}

TARVIK_ENGINE_TESTS(GatingTest);

} // namespace
