#include "apptest.h"

#include "data/commands.h"
#include "data/session.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QStatusBar>

using namespace tarvik;
using namespace tarvik::app;
using namespace tarvik::test;

namespace {

// Records how many child windows were open when each message was shown.
class CountingPrompts : public ScriptedPrompts {
public:
    QList<int> openChildren;
    int message(const QString &text, int kind, const QString &detail) override
    {
        openChildren << (childHost() ? int(childHost()->subWindowList().size()) : -1);
        return ScriptedPrompts::message(text, kind, detail);
    }
};

class MainWindowTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (IsSkipped())
            return;
        ProbeForm::closeLog = &m_closed;
        ScreenRegistry::setOpener(201, [] { ShowChildForm<ProbeForm>(); });
        ScreenRegistry::setOpener(202, [] { ShowChildForm<OtherProbeForm>(); });
    }
    void TearDown() override
    {
        ProbeForm::closeLog = nullptr;
        AppTest::TearDown();
    }
    QStringList m_closed;
};

// The entries of a menu as object names ("-" for separators, ">name" for sub-menus).
QStringList entriesOf(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QLatin1Char('>') + a->menu()->objectName();
        else
            out << a->objectName();
    }
    return out;
}

TEST_P(MainWindowTest, menus_follow_the_command_tree)
{
    QStringList tops;
    for (QAction *a : main().menuBar()->actions())
        tops << (a->menu() ? a->menu()->objectName() : a->objectName()) + QLatin1Char(' ') + a->text();
    EXPECT_EQ(tops, QStringList({QStringLiteral("mi100 系统管理"), QStringLiteral("mi200 基本资料"),
                                 QStringLiteral("mi300 业务管理"), QStringLiteral("mi500 查询统计"),
                                 QStringLiteral("mi400 报表中心"), QStringLiteral("vWindows 窗体"),
                                 QStringLiteral("nFz 辅助"), QStringLiteral("N41 导航图")}));
    auto actions = [](std::initializer_list<const char *> names) {
        QStringList l;
        for (const char *n : names)
            l << (QByteArray(n) == "-" || n[0] == '>' || n[0] == 'N' || n[0] == 'v' ? QString::fromUtf8(n)
                                                                                     : QStringLiteral("Action") + QString::fromUtf8(n));
        return l;
    };
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("mi100"))),
              actions({"101", "102", "103", "110", "-", "104", "105", "108", "109", ">nImport", "-", "N43", "N5"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("nImport"))), actions({"106", "107", "111", "112"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("mi200"))),
              actions({"201", "202", "206", "207", "203", "204", "-", "205"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("mi300"))),
              actions({"301", "302", "-", "303", "304", "305", "306", "307", "308", "309", "310"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("mi500"))),
              actions({"501", "502", "509", "503", "508", "-", "504", "510", "505", "506", "507"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("mi400"))),
              actions({"401", "402", "403", "404", "405", "406", "411", "412", "-", "407", "408", "409", "410"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("vWindows"))),
              actions({"vw1", "vw2", "vw3", "-", "vw4", "vw5", "vw6"}));
    EXPECT_EQ(entriesOf(main().menuNamed(QStringLiteral("nFz"))), actions({"N24", "N25", "-", "N8", "N7", "N27"}));
    for (const CommandInfo &c : commandCatalogue())
        EXPECT_EQ(main().commandAction(c.code)->text(), c.caption) << c.code;
}

TEST_P(MainWindowTest, showing_sets_caption_panels_options_and_formats_once)
{
    int desktopOpened = 0;
    ScreenRegistry::setOpener(kScreenDesktop, [&] { ++desktopOpened; });
    ASSERT_TRUE(config().writeInteger(kSectionConfig, kKeyPrintRows, 8));
    ASSERT_TRUE(config().writeBool(QStringLiteral("Config"), QStringLiteral("btm"), true));
    systemOptions().AmountDecimals = 3;
    systemOptions().PriceDecimals = 4;
    systemOptions().TotalDecimals = 0;
    setFixedNow(QDateTime(QDate(2024, 3, 5), QTime(9, 5, 3)));

    main().show();
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Tarvik生产管理软件v2.25(企业版) "));
    EXPECT_EQ(desktopOpened, 1);
    EXPECT_EQ(main().panel(0)->text(), QStringLiteral(" 当前用户"));
    EXPECT_EQ(main().panel(1)->text(), QStringLiteral(" 系统管理员"));
    EXPECT_EQ(main().panel(2)->text(), QStringLiteral(" 当前日期时间"));
    EXPECT_EQ(main().panel(3)->text(), QStringLiteral(" 2024-03-05 09:05:03"));
    EXPECT_TRUE(main().panel(4)->text().startsWith(kAppTitle));
    EXPECT_EQ(systemOptions().PrintRows, 8);
    EXPECT_TRUE(systemOptions().BarcodeInput);
    EXPECT_EQ(systemOptions().BackupPolicy, 0);
    EXPECT_EQ(systemOptions().AmountFormat, QStringLiteral("0.###"));
    EXPECT_EQ(systemOptions().PriceFormat, QStringLiteral(",0.00##"));
    EXPECT_EQ(systemOptions().TotalFormat, QStringLiteral(",0."));
    EXPECT_EQ(main().Timer1->interval(), 1000);
    EXPECT_TRUE(main().Timer1->isActive());

    main().hide();
    main().show();
    EXPECT_EQ(desktopOpened, 1);
    EXPECT_TRUE(m_prompts.shown.isEmpty());
}

TEST_P(MainWindowTest, backup_on_show_follows_the_policy)
{
    if (isPg())
        GTEST_SKIP() << "the policy does not depend on the engine";
    const struct {
        int policy;
        QDate day;
        bool backup;
    } cases[] = {
        {0, QDate(2024, 1, 1), false}, {1, QDate(2024, 1, 9), true},  {2, QDate(2024, 1, 8), true},
        {2, QDate(2024, 1, 9), false}, {3, QDate(2024, 2, 1), true},  {3, QDate(2024, 1, 8), false},
        {7, QDate(2024, 1, 1), false}, {-1, QDate(2024, 1, 1), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.policy).arg(c.day.toString(Qt::ISODate)).toStdString());
        QTemporaryDir bak;
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE SysInfo SET F_BakPath = ?"), {bak.path()}).ok());
        ASSERT_TRUE(config().writeInteger(kSectionConfig, kKeyBackupPolicy, c.policy));
        setFixedNow(QDateTime(c.day, QTime(8, 0)));
        TFrmMain window;
        window.show();
        EXPECT_EQ(QFile::exists(TdmData::BackupFileName(bak.path(), c.day)), c.backup);
        EXPECT_EQ(systemOptions().BackupPolicy, c.policy);
    }
    EXPECT_TRUE(m_prompts.shown.isEmpty());
}

TEST_P(MainWindowTest, cancelling_the_exit_question_keeps_everything_open)
{
    main().show();
    main().commandAction(201)->trigger();
    m_prompts.answerMessages({MsgCancel});
    EXPECT_FALSE(main().close());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().mdiArea()->subWindowList().size(), 1);
    ASSERT_EQ(m_prompts.shown.size(), 1);
    EXPECT_EQ(m_prompts.shown[0].text, QStringLiteral("真的要退出“Tarvik生产管理软件”软件吗？"));
    EXPECT_EQ(m_prompts.shown[0].kind, MsgQuestion);

    // "退出系统" asks the same; OK closes the child windows and the program.
    m_prompts.answerMessages({MsgOk});
    main().itemNamed(QStringLiteral("N5"))->trigger();
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(m_closed, QStringList({QStringLiteral("原材料管理")}));
}

TEST_P(MainWindowTest, a_child_window_that_keeps_unsaved_work_keeps_the_program_open)
{
    main().show();
    main().commandAction(201)->trigger();
    findChildForm<ProbeForm>()->refuseClose = true;
    m_prompts.answerMessages({MsgOk});
    EXPECT_FALSE(main().close());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().mdiArea()->subWindowList().size(), 1);
}

TEST_P(MainWindowTest, the_same_command_twice_gives_one_window_brought_to_the_front)
{
    main().show();
    main().commandAction(201)->trigger();
    main().commandAction(202)->trigger();
    ASSERT_EQ(main().mdiArea()->subWindowList().size(), 2);
    QMdiSubWindow *first = main().mdiArea()->subWindowList().first();
    first->showMinimized();
    main().commandAction(201)->trigger();
    EXPECT_EQ(main().mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(main().mdiArea()->activeSubWindow(), first);
    EXPECT_FALSE(first->isMinimized());

    // The window list of "窗体" names them, the active one checked.
    main().updateWindowMenu();
    QStringList listed;
    for (QAction *a : main().menuNamed(QStringLiteral("vWindows"))->actions())
        if (a->isCheckable())
            listed << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
    EXPECT_EQ(listed, QStringList({QStringLiteral("&1 原材料管理 *"), QStringLiteral("&2 产成品管理")}));
}

TEST_P(MainWindowTest, commands_without_a_screen_say_so)
{
    for (int code : {303, 510}) {
        m_prompts.clear();
        main().commandAction(code)->trigger();
        ASSERT_EQ(m_prompts.shown.size(), 1);
        EXPECT_EQ(m_prompts.shown[0].text, kMsgNotAvailable);
        EXPECT_EQ(m_prompts.shown[0].kind, MsgInfo);
    }
    m_prompts.clear();
    main().itemNamed(QStringLiteral("N7"))->trigger();
    main().itemNamed(QStringLiteral("N41"))->trigger();
    EXPECT_EQ(m_prompts.texts(), QStringList(2, kMsgNotAvailable));
    EXPECT_TRUE(main().mdiArea()->subWindowList().isEmpty());
}

TEST_P(MainWindowTest, compaction_closes_every_child_window_first)
{
    {
    CountingPrompts counting; // replaces the fixture's responder in this block
    main().show();
    main().commandAction(201)->trigger();
    main().commandAction(202)->trigger();
    ASSERT_TRUE(db().exec(QStringLiteral("DELETE FROM cfg_Grid")).ok());
    main().commandAction(108)->trigger();
    EXPECT_EQ(m_closed, QStringList({QStringLiteral("产成品管理"), QStringLiteral("原材料管理")})); // last to first
    ASSERT_EQ(counting.shown.size(), 1);
    EXPECT_EQ(counting.shown[0].text, QStringLiteral("压缩数据库成功！"));
    EXPECT_EQ(counting.shown[0].kind, MsgInfo);
    EXPECT_EQ(counting.openChildren, QList<int>({0}));
    // The data module goes on working on the same database.
    EXPECT_EQ(dm().QueryInt(QStringLiteral("SELECT COUNT(*) FROM OperList")), 1);
    }
    setPrompts(&m_prompts);
}

TEST_P(MainWindowTest, compaction_stops_when_a_child_window_stays_open)
{
    main().show();
    main().commandAction(201)->trigger();
    findChildForm<ProbeForm>()->refuseClose = true;
    main().commandAction(108)->trigger();
    EXPECT_TRUE(m_prompts.shown.isEmpty());
    EXPECT_EQ(main().mdiArea()->subWindowList().size(), 1);
}

TEST_P(MainWindowTest, compaction_failure_is_reported)
{
    if (isPg())
        GTEST_SKIP() << "the refusal inside a transaction is the same on both engines";
    main().show();
    ASSERT_TRUE(dm().db().begin().ok()); // VACUUM cannot run inside a transaction
    main().commandAction(108)->trigger();
    dm().db().rollback();
    ASSERT_EQ(m_prompts.shown.size(), 1);
    EXPECT_EQ(m_prompts.shown[0].text, QStringLiteral("压缩数据库失败！"));
    EXPECT_EQ(m_prompts.shown[0].kind, MsgError);
}

TEST_P(MainWindowTest, choosing_a_network_database_writes_ds_and_keeps_the_running_one)
{
    const QString running = dm().databaseTarget();
    m_prompts.answerFile(QString());
    main().commandAction(109)->trigger();
    EXPECT_FALSE(config().hasKey(kSectionConfig, kKeyDataSource));

    const QString chosen = QDir(folder()).filePath(QStringLiteral("共享/Korvel.db"));
    m_prompts.answerFile(chosen);
    main().commandAction(109)->trigger();
    EXPECT_EQ(m_prompts.fileDialogs, QStringList(2, QStringLiteral("连接网络数据库")));
    EXPECT_EQ(config().readString(kSectionConfig, kKeyDataSource), chosen);
    EXPECT_EQ(dm().databaseTarget(), running);
    EXPECT_EQ(dm().QueryText(QStringLiteral("SELECT F_Code FROM OperList")), QStringLiteral("000"));
    EXPECT_TRUE(m_prompts.shown.isEmpty());
}

TEST_P(MainWindowTest, window_commands_arrange_and_close_the_children)
{
    main().show();
    main().commandAction(201)->trigger();
    main().commandAction(202)->trigger();
    const QRect area = main().mdiArea()->viewport()->rect();
    const auto subs = main().mdiArea()->subWindowList(QMdiArea::CreationOrder);

    main().itemNamed(QStringLiteral("vw2"))->trigger(); // stacked, each as wide as the frame
    EXPECT_EQ(subs[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(subs[1]->geometry().top(), area.height() / 2);
    EXPECT_EQ(subs[1]->geometry().bottom(), area.bottom());

    main().itemNamed(QStringLiteral("vw3"))->trigger(); // side by side, each as high as the frame
    EXPECT_EQ(subs[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(subs[1]->geometry().right(), area.right());

    main().mdiArea()->setActiveSubWindow(subs[0]);
    main().itemNamed(QStringLiteral("vw4"))->trigger();
    EXPECT_EQ(main().mdiArea()->activeSubWindow(), subs[1]);
    main().itemNamed(QStringLiteral("vw5"))->trigger();
    EXPECT_EQ(m_closed, QStringList({QStringLiteral("产成品管理")}));
    main().commandAction(202)->trigger();
    main().itemNamed(QStringLiteral("vw6"))->trigger();
    EXPECT_EQ(m_closed, QStringList({QStringLiteral("产成品管理"), QStringLiteral("产成品管理"),
                                     QStringLiteral("原材料管理")}));
    EXPECT_TRUE(main().mdiArea()->subWindowList().isEmpty());
}

TEST_P(MainWindowTest, utilities_start_what_the_desktop_has_or_say_what_is_missing)
{
    m_prompts.programsStart = false;
    main().itemNamed(QStringLiteral("N24"))->trigger();
    ASSERT_EQ(m_prompts.shown.size(), 1);
    EXPECT_TRUE(m_prompts.shown[0].text.contains(QStringLiteral("计算器")));
    EXPECT_GT(m_prompts.startedPrograms.size(), 1); // several programs were tried

    m_prompts.clear();
    m_prompts.startedPrograms.clear();
    m_prompts.programsStart = true;
    main().itemNamed(QStringLiteral("N25"))->trigger();
    EXPECT_EQ(m_prompts.startedPrograms.size(), 1);
    EXPECT_TRUE(m_prompts.shown.isEmpty());

    // Help: a clear message while help.html is missing, the file itself once it is there.
    main().itemNamed(QStringLiteral("N8"))->trigger();
    ASSERT_EQ(m_prompts.shown.size(), 1);
    EXPECT_TRUE(m_prompts.shown[0].text.contains(QStringLiteral("help.html")));
    EXPECT_TRUE(m_prompts.openedUrls.isEmpty());
    QFile help(QDir(folder()).filePath(QStringLiteral("help.html")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    main().itemNamed(QStringLiteral("N8"))->trigger();
    main().itemNamed(QStringLiteral("N27"))->trigger();
    EXPECT_EQ(m_prompts.openedUrls, QList<QUrl>({QUrl::fromLocalFile(help.fileName()), QUrl(kVendorSite)}));
    EXPECT_EQ(m_prompts.shown.size(), 1);
}

TARVIK_ENGINE_TESTS(MainWindowTest);

} // namespace
