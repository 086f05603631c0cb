#include "apptest.h"

#include "data/session.h"

#include <QApplication>
#include <QTest>

using namespace tarvik;
using namespace tarvik::app;
using namespace tarvik::test;

namespace {

class LoginTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (IsSkipped())
            return;
        addOperator(db(), QStringLiteral("101"), QStringLiteral("张保管"), QStringLiteral("Abc1"), QStringLiteral("01"));
    }
    // Runs the dialog with the given attempts; true when someone logged in.
    bool login(bool relogin, QList<QPair<QString, QString>> attempts)
    {
        m_prompts.answerDialog(typeLogin(std::move(attempts)));
        return ShowLoginDialog(relogin, &main());
    }
};

TEST_P(LoginTest, missing_or_unknown_codes_keep_the_dialog_open)
{
    const struct {
        QString code;
        QString message;
    } cases[] = {
        {QString(), QStringLiteral("请选择用户！")},
        {QStringLiteral("   "), QStringLiteral("请选择用户！")},
        {QStringLiteral("999"), QStringLiteral("此操作员并不存在，请重新选择操作员！")},
        {QStringLiteral("' OR '1'='1"), QStringLiteral("此操作员并不存在，请重新选择操作员！")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        m_prompts.clear();
        TfrmOperLogin dlg(false, &main());
        dlg.edtOperCode->setText(c.code);
        dlg.edtPassWord->setText(QStringLiteral("Abc1"));
        dlg.btnOk->click();
        ASSERT_EQ(m_prompts.shown.size(), 1);
        EXPECT_EQ(m_prompts.shown[0].text, c.message);
        EXPECT_EQ(m_prompts.shown[0].kind, MsgInfo);
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.failures(), 0);
        EXPECT_FALSE(dlg.endsProgram());
    }
}

TEST_P(LoginTest, three_wrong_passwords_then_the_right_one_log_in)
{
    ASSERT_TRUE(login(false, {{QStringLiteral("101"), QStringLiteral("x")},
                              {QStringLiteral("101"), QStringLiteral("abc1")},
                              {QStringLiteral("101"), QString()},
                              {QStringLiteral("101"), QStringLiteral("Abc1")}}));
    EXPECT_EQ(m_prompts.texts(), QStringList(3, QStringLiteral("用户名或密码不正确，请重新输入！")));
    const LoginContext &c = loginContext();
    EXPECT_EQ(c.OperCode, QStringLiteral("101"));
    EXPECT_EQ(c.OperName, QStringLiteral("张保管"));
    EXPECT_EQ(c.PartCode, QStringLiteral("01"));
    EXPECT_FALSE(c.New || c.Edit || c.Del || c.Check || c.Set || c.KHedit || c.Price);
    EXPECT_EQ(c.PriceHidden, QStringLiteral("1"));
    EXPECT_EQ(config().readString(QStringLiteral("Config"), QStringLiteral("CurOperCode")), QStringLiteral("101"));
    EXPECT_EQ(main().panel(1)->text(), QStringLiteral(" 张保管"));
}

TEST_P(LoginTest, four_wrong_passwords_at_start_up_end_the_program)
{
    TfrmOperLogin dlg(false, &main());
    m_prompts.answerDialog(typeLogin(QList<QPair<QString, QString>>(4, {QStringLiteral("101"), QStringLiteral("no")})));
    EXPECT_NE(prompts().execDialog(dlg), QDialog::Accepted);
    EXPECT_TRUE(dlg.endsProgram());
    ASSERT_EQ(m_prompts.shown.size(), 4);
    EXPECT_EQ(m_prompts.shown[3].text, QStringLiteral("非法操作员!"));
    EXPECT_EQ(m_prompts.shown[3].kind, MsgError);
    EXPECT_EQ(loginContext().OperCode, QStringLiteral("000")); // nobody new logged in
    EXPECT_FALSE(config().hasKey(kSectionConfig, kKeyCurOperCode));
}

TEST_P(LoginTest, four_wrong_passwords_at_re_login_keep_the_old_operator)
{
    ASSERT_TRUE(login(false, {{QStringLiteral("000"), QString()}}));
    m_prompts.clear();
    TfrmOperLogin dlg(true, &main());
    m_prompts.answerDialog(typeLogin(QList<QPair<QString, QString>>(4, {QStringLiteral("101"), QStringLiteral("no")})));
    EXPECT_NE(prompts().execDialog(dlg), QDialog::Accepted);
    EXPECT_FALSE(dlg.endsProgram());
    ASSERT_EQ(m_prompts.shown.size(), 4);
    EXPECT_EQ(m_prompts.shown[3].text, QStringLiteral("更换操作员失败!"));
    EXPECT_EQ(m_prompts.shown[3].kind, MsgError);
    EXPECT_EQ(loginContext().OperCode, QStringLiteral("000"));
    EXPECT_TRUE(loginContext().isSuper());
    EXPECT_EQ(config().readString(kSectionConfig, kKeyCurOperCode), QStringLiteral("000"));

    // Every showing starts counting again.
    TfrmOperLogin again(true, &main());
    EXPECT_EQ(again.failures(), 0);
}

TEST_P(LoginTest, passwords_compare_exactly_apart_from_surrounding_blanks)
{
    addOperator(db(), QStringLiteral("102"), QStringLiteral("李计划"), QStringLiteral("密码 Pa55"), QStringLiteral("01"));
    addOperator(db(), QStringLiteral("103"), QStringLiteral("王销售"), QString(), QStringLiteral("01"));
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE OperList SET F_PassWord = 'Q' WHERE F_Code = '103'")).ok());
    const struct {
        QString code;
        QString typed;
        bool ok;
    } cases[] = {
        {QStringLiteral("101"), QStringLiteral("  Abc1 "), true},
        {QStringLiteral("101"), QStringLiteral("ABC1"), false},
        {QStringLiteral("101"), QStringLiteral("Abc"), false},
        {QStringLiteral("102"), QStringLiteral("密码 Pa55"), true},
        {QStringLiteral("102"), QStringLiteral("密码Pa55"), false},
        {QStringLiteral("103"), QString(), true}, // a single filler character is an empty password
        {QStringLiteral("000"), QStringLiteral("   "), true},
        {QStringLiteral("000"), QStringLiteral("0"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.code + QLatin1Char('/') + c.typed).toStdString());
        TfrmOperLogin dlg(true, &main());
        dlg.edtOperCode->setText(c.code);
        dlg.edtPassWord->setText(c.typed);
        dlg.btnOk->click();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.ok);
        if (c.ok) {
            EXPECT_EQ(loginContext().OperCode, c.code);
        }
    }
}

TEST_P(LoginTest, a_disabled_operator_still_logs_in_with_the_rights_of_the_table)
{
    addOperator(db(), QStringLiteral("104"), QStringLiteral("赵停用"), QStringLiteral("p"), QStringLiteral("02"), true, true);
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE OperList SET F_price = false, F_del = false WHERE F_Code = '104'")).ok());
    ASSERT_TRUE(login(true, {{QStringLiteral("104"), QStringLiteral("p")}}));
    const LoginContext &c = loginContext();
    EXPECT_EQ(c.PartCode, QStringLiteral("02"));
    EXPECT_TRUE(c.New && c.Edit && c.Check && c.Set && c.KHedit);
    EXPECT_FALSE(c.Del);
    EXPECT_FALSE(c.Price);
    EXPECT_EQ(c.PriceHidden, QStringLiteral("1"));
}

TEST_P(LoginTest, the_super_user_gets_every_right_whatever_the_table_holds)
{
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE OperList SET F_new = false, F_price = false WHERE F_Code = '000'")).ok());
    loginContext() = LoginContext{};
    ASSERT_TRUE(login(true, {{QStringLiteral("000"), QString()}}));
    const LoginContext &c = loginContext();
    EXPECT_TRUE(c.New && c.Edit && c.Del && c.Check && c.Set && c.KHedit && c.Price);
    EXPECT_EQ(c.PriceHidden, QString());
}

TEST_P(LoginTest, login_loads_the_company_options_and_custom_captions)
{
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE SysInfo SET F_Code = ?, F_iAmount = 3, F_iPrice = 4, F_iTotal = 1,"
                                         " F_b2 = true"),
                          {QStringLiteral("红星机械厂")})
                    .ok());
    // Only five rows left: the other entries are empty and hidden.
    ASSERT_TRUE(db().exec(QStringLiteral("DELETE FROM KeyValue WHERE F_ID > (SELECT MIN(F_ID) + 4 FROM KeyValue)")).ok());
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE KeyValue SET F_Value = '颜色', F_Flag = true"
                                         " WHERE F_ID = (SELECT MIN(F_ID) FROM KeyValue)"))
                    .ok());
    systemOptions().CustomCaptions.fill(QStringLiteral("stale"));
    systemOptions().CustomVisible.fill(true);
    ASSERT_TRUE(login(true, {{QStringLiteral("101"), QStringLiteral("Abc1")}}));
    const SystemOptions &o = systemOptions();
    EXPECT_EQ(o.CompanyName, QStringLiteral("红星机械厂"));
    EXPECT_EQ(o.AmountDecimals, 3);
    EXPECT_EQ(o.PriceDecimals, 4);
    EXPECT_EQ(o.TotalDecimals, 1);
    EXPECT_TRUE(o.AutoItemCode);
    EXPECT_EQ(o.CustomCaptions[0], QStringLiteral("颜色"));
    EXPECT_TRUE(o.CustomVisible[0]);
    EXPECT_FALSE(o.CustomCaptions[4].isEmpty());
    EXPECT_FALSE(o.CustomVisible[4]);
    for (size_t i = 5; i < 12; ++i) {
        EXPECT_TRUE(o.CustomCaptions[i].isEmpty()) << i;
        EXPECT_FALSE(o.CustomVisible[i]) << i;
    }
}

TEST_P(LoginTest, the_last_operator_is_proposed_at_the_next_showing)
{
    ASSERT_TRUE(login(true, {{QStringLiteral("101"), QStringLiteral("Abc1")}}));
    TfrmOperLogin dlg(false, &main());
    EXPECT_EQ(dlg.edtOperCode->text(), QStringLiteral("101"));
    EXPECT_EQ(dlg.edtOperName->text(), QStringLiteral("张保管"));
    EXPECT_TRUE(dlg.edtPassWord->text().isEmpty());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("登录窗口"));
    EXPECT_EQ(dlg.size(), QSize(372, 301));
}

TEST_P(LoginTest, enter_moves_on_and_only_the_buttons_leave_the_dialog)
{
    TfrmOperLogin dlg(false, &main());
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    dlg.edtOperCode->setFocus();
    QTest::keyClicks(dlg.edtOperCode, QStringLiteral("101"));
    QTest::keyClick(dlg.edtOperCode, Qt::Key_Return);
    EXPECT_EQ(dlg.edtOperName->text(), QStringLiteral("张保管")); // looked up on leaving the code
    EXPECT_EQ(QApplication::focusWidget(), dlg.edtPassWord);
    QTest::keyClick(dlg.edtPassWord, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnOk);
    QTest::keyClick(dlg.btnOk, Qt::Key_Return); // moves on, does not press the button
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnCancel);
    EXPECT_TRUE(m_prompts.shown.isEmpty());

    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.close()); // Alt+F4 and the window manager's close
    EXPECT_TRUE(dlg.isVisible());
    dlg.btnCancel->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.endsProgram());
}

TARVIK_ENGINE_TESTS(LoginTest);

} // namespace
