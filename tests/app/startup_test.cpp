#include "apptest.h"

#include "app/startup.h"
#include "data/seed.h"
#include "data/session.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace tarvik;
using namespace tarvik::app;
using tarvik::test::ScriptedPrompts;
using tarvik::test::typeLogin;

namespace {

QByteArray bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        setProgramFolder(m_folder.path());
        ScreenRegistry::clear();
    }
    void TearDown() override
    {
        Database::setNetworkFsProbe(nullptr);
        setProgramFolder({});
    }
    QString path(const QString &name) const { return QDir(m_folder.path()).filePath(name); }
    // A Tarvik database at the given place below the program folder.
    QString makeDatabase(const QString &name)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        auto db = createDatabase(path(name));
        EXPECT_TRUE(db.ok()) << db.error().detail.toStdString();
        return path(name);
    }
    void writeDs(const QString &value) { ASSERT_TRUE(config().writeString(kSectionConfig, kKeyDataSource, value)); }

    QTemporaryDir m_folder;
    ScriptedPrompts m_prompts;
};

TEST_F(StartupTest, without_config_ini_the_default_database_opens_and_only_the_login_writes_the_file)
{
    const QString def = makeDatabase(QStringLiteral("data/Korvel.db"));
    m_prompts.answerDialog(typeLogin({{QStringLiteral("000"), QString()}}));
    {
        Startup s;
        ASSERT_TRUE(s.start());
        ASSERT_NE(s.mainWindow(), nullptr);
        EXPECT_EQ(QFileInfo(s.dataModule()->databaseTarget()).canonicalFilePath(), QFileInfo(def).canonicalFilePath());
        EXPECT_EQ(dmData, s.dataModule());
        EXPECT_TRUE(s.mainWindow()->isVisible());
        EXPECT_EQ(s.splashTexts(),
                  QStringList({QStringLiteral("系统正在启动，请稍候 ....."), QStringLiteral("正在连接数据库 ....."),
                               QStringLiteral("连接成功，正在登录 ..."), QStringLiteral("连接成功，正在登录 ....."),
                               QStringLiteral("连接成功，正在登录 ..."), QStringLiteral("连接成功，正在登录 .....")}));
        EXPECT_EQ(loginContext().OperCode, QStringLiteral("000"));
        s.mainWindow()->closeWithoutAsking();
    }
    EXPECT_EQ(dmData, nullptr);
    EXPECT_TRUE(m_prompts.fileDialogs.isEmpty());
    EXPECT_TRUE(m_prompts.shown.isEmpty());
    EXPECT_TRUE(m_prompts.unexpected.isEmpty()) << m_prompts.unexpected.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(config().hasKey(kSectionConfig, kKeyDataSource));
    EXPECT_EQ(config().readString(kSectionConfig, kKeyCurOperCode), QStringLiteral("000"));
}

TEST_F(StartupTest, connection_without_config_ini_writes_nothing)
{
    makeDatabase(QStringLiteral("data/Korvel.db"));
    Startup s;
    EXPECT_NE(s.connectDatabase(), nullptr);
    EXPECT_FALSE(QFile::exists(config().fileName()));
}

TEST_F(StartupTest, blank_ds_means_the_default_database)
{
    const QString def = makeDatabase(QStringLiteral("data/Korvel.db"));
    writeDs(QStringLiteral("   "));
    Startup s;
    auto db = s.connectDatabase();
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(QFileInfo(db->spec().path).canonicalFilePath(), QFileInfo(def).canonicalFilePath());
    EXPECT_TRUE(m_prompts.fileDialogs.isEmpty());
}

TEST_F(StartupTest, a_missing_database_asks_for_the_file_and_remembers_a_good_choice)
{
    const QString good = makeDatabase(QStringLiteral("工厂 数据/账套.db"));
    writeDs(path(QStringLiteral("gone.db")));
    m_prompts.answerFile(path(QStringLiteral("also-missing.db")));
    m_prompts.answerFile(good);
    m_prompts.answerDialog(typeLogin({{QStringLiteral("000"), QString()}}));
    {
        Startup s;
        ASSERT_TRUE(s.start());
        EXPECT_EQ(s.dataModule()->databaseTarget(), good);
        s.mainWindow()->closeWithoutAsking();
    }
    // Asked until the choice opened; no message on the way.
    EXPECT_EQ(m_prompts.fileDialogs.size(), 2);
    EXPECT_TRUE(m_prompts.shown.isEmpty());
    EXPECT_EQ(config().readString(kSectionConfig, kKeyDataSource), good);

    // The next start opens the chosen file at once.
    m_prompts.fileDialogs.clear();
    m_prompts.answerDialog(typeLogin({{QStringLiteral("000"), QString()}}));
    Startup next;
    ASSERT_TRUE(next.start());
    EXPECT_EQ(next.dataModule()->databaseTarget(), good);
    EXPECT_TRUE(m_prompts.fileDialogs.isEmpty());
    next.mainWindow()->closeWithoutAsking();
}

TEST_F(StartupTest, cancelling_the_file_dialog_ends_without_main_window_or_login)
{
    writeDs(path(QStringLiteral("gone.db")));
    m_prompts.answerFile(QString());
    Startup s;
    EXPECT_FALSE(s.start());
    EXPECT_EQ(s.mainWindow(), nullptr);
    EXPECT_EQ(s.dataModule(), nullptr);
    EXPECT_EQ(dmData, nullptr);
    EXPECT_EQ(m_prompts.fileDialogs.size(), 1);
    EXPECT_TRUE(m_prompts.shown.isEmpty());
    EXPECT_TRUE(m_prompts.allAnswersUsed());
    EXPECT_TRUE(m_prompts.unexpected.isEmpty()) << m_prompts.unexpected.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(config().readString(kSectionConfig, kKeyDataSource), path(QStringLiteral("gone.db")));
}

TEST_F(StartupTest, files_that_are_not_our_database_are_refused_unchanged)
{
    const QString real = makeDatabase(QStringLiteral("data/Korvel.db"));
    const QByteArray realBytes = bytesOf(real);

    // An SQLite file of another program.
    const QString foreign = path(QStringLiteral("other.sqlite"));
    {
        QSqlDatabase f = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        f.setDatabaseName(foreign);
        ASSERT_TRUE(f.open());
        QSqlQuery q(f);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO notes (body) VALUES ('keep me')")));
        f.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));

    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"garbage.db", QByteArray("这不是数据库 not a database at all\n").repeated(200)},
        {"truncated.db", realBytes.left(realBytes.size() - 1000)},
        {"half-pages.db", realBytes.left(realBytes.size() / 2)},
        {"empty.db", QByteArray()},
        {"other.sqlite", bytesOf(foreign)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QString::fromLatin1(c.name));
        if (!QFile::exists(file)) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        writeDs(file);
        m_prompts.fileDialogs.clear();
        m_prompts.answerFile(QString());
        Startup s;
        EXPECT_FALSE(s.start());
        EXPECT_EQ(m_prompts.fileDialogs.size(), 1);
        EXPECT_EQ(bytesOf(file), c.bytes);
        EXPECT_FALSE(QFile::exists(file + QStringLiteral("-wal")));
        EXPECT_FALSE(QFile::exists(file + QStringLiteral("-journal")));
    }
    EXPECT_TRUE(m_prompts.shown.isEmpty());
}

TEST_F(StartupTest, a_database_on_a_network_file_system_is_warned_about_once)
{
    const QString def = makeDatabase(QStringLiteral("data/Korvel.db"));
    QStringList probed;
    Database::setNetworkFsProbe([&](const QString &p) {
        probed << p;
        return true;
    });
    m_prompts.answerDialog(typeLogin({{QStringLiteral("000"), QString()}}));
    Startup s;
    ASSERT_TRUE(s.start());
    ASSERT_EQ(m_prompts.shown.size(), 1);
    EXPECT_EQ(m_prompts.shown[0].kind, MsgWarning);
    EXPECT_TRUE(m_prompts.shown[0].text.contains(QStringLiteral("网络文件系统")));
    EXPECT_TRUE(m_prompts.shown[0].text.contains(QStringLiteral("PostgreSQL")));
    EXPECT_TRUE(probed.contains(s.dataModule()->db().spec().path));
    s.mainWindow()->closeWithoutAsking();
}

TEST_F(StartupTest, a_local_database_gets_no_warning)
{
    makeDatabase(QStringLiteral("data/Korvel.db"));
    Database::setNetworkFsProbe([](const QString &) { return false; });
    Startup s;
    EXPECT_NE(s.connectDatabase(), nullptr);
    EXPECT_TRUE(m_prompts.shown.isEmpty());
}

TEST_F(StartupTest, ds_may_name_a_postgresql_server)
{
    if (test::pgServerUri().isEmpty())
        GTEST_SKIP() << "TARVIK_TEST_PG is not set";
    test::TestDb server(Engine::PostgreSQL);
    writeDs(QStringLiteral("  ") + server.target() + QStringLiteral("  "));
    Startup s;
    auto db = s.connectDatabase();
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->engine(), Engine::PostgreSQL);
    EXPECT_TRUE(m_prompts.fileDialogs.isEmpty());
}

TEST_F(StartupTest, a_cancelled_start_up_login_ends_the_program)
{
    makeDatabase(QStringLiteral("data/Korvel.db"));
    m_prompts.answerDialog([](QDialog &d) {
        static_cast<TfrmOperLogin &>(d).btnCancel->click();
        return d.result();
    });
    Startup s;
    EXPECT_FALSE(s.start());
    EXPECT_EQ(s.mainWindow(), nullptr);
    EXPECT_TRUE(m_prompts.shown.isEmpty()); // no exit question on the way out
}

} // namespace
