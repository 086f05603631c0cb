#include "support/testdb.h"

#include "data/seed.h"
#include "data/session.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QMutex>
#include <QSqlQuery>
#include <QUrl>

#include <unistd.h>

namespace tarvik::test {

QString pgServerUri()
{
    return qEnvironmentVariable("TARVIK_TEST_PG");
}

std::vector<Engine> testEngines()
{
    // Both engines are always listed; the PostgreSQL cases skip themselves without a server.
    return {Engine::SQLite, Engine::PostgreSQL};
}

std::string engineName(const ::testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

namespace {

// The URI of the server with another database name.
QString withDatabase(const QString &uri, const QString &dbName)
{
    QUrl url(uri);
    url.setPath(QLatin1Char('/') + dbName);
    return url.toString();
}

std::unique_ptr<Database> adminConnection()
{
    auto db = Database::open(pgServerUri(), Database::OpenMode::Create);
    if (!db) {
        ADD_FAILURE() << "cannot reach TARVIK_TEST_PG: " << db.error().detail.toStdString();
        return nullptr;
    }
    return std::move(*db);
}

// One template database per schema, made by the init code and shared by all
// test processes (an advisory lock keeps two processes from building it at once);
// every test copies it. Its name carries a fingerprint of the schema and seed.
QString pgTemplate()
{
    static QMutex mutex;
    static QString name;
    QMutexLocker lock(&mutex);
    if (!name.isEmpty())
        return name;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(schemaDdl(Engine::PostgreSQL).join(';').toUtf8());
    for (const auto &[grid, rows] : designedGridLayouts()) {
        hash.addData(grid.toUtf8());
        for (const auto &r : rows)
            hash.addData((r.field + r.caption + r.displayFormat + r.footerValue + QString::number(r.width)).toUtf8());
    }
    const QString candidate = QStringLiteral("tarvik_tmpl_") + QString::fromLatin1(hash.result().toHex().left(12));
    auto admin = adminConnection();
    if (!admin)
        return {};
    if (auto r = admin->exec(QStringLiteral("SELECT pg_advisory_lock(7305)")); !r) {
        ADD_FAILURE() << r.error().detail.toStdString();
        return {};
    }
    auto exists = admin->scalar(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"), {candidate});
    if (exists && exists->toInt() == 0) {
        const QString building = candidate + QStringLiteral("_new");
        (void)admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(building));
        bool good = admin->exec(QStringLiteral("CREATE DATABASE %1").arg(building)).ok();
        if (good) {
            auto created = Database::open(withDatabase(pgServerUri(), building), Database::OpenMode::Create);
            good = created.ok() && initializeDatabase(**created).ok();
        }
        good = good && admin->exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, candidate)).ok();
        if (!good)
            ADD_FAILURE() << "cannot build the PostgreSQL template database";
    }
    (void)admin->exec(QStringLiteral("SELECT pg_advisory_unlock(7305)"));
    name = candidate;
    return name;
}

int nextDbNumber()
{
    static QAtomicInt n;
    return n.fetchAndAddRelaxed(1);
}

} // namespace

TestDb::TestDb(Engine engine) : m_engine(engine)
{
    if (engine == Engine::SQLite) {
        m_target = m_dir.filePath(QStringLiteral("Korvel.db"));
        auto db = createDatabase(m_target);
        if (!db) {
            ADD_FAILURE() << db.error().message.toStdString() << " " << db.error().detail.toStdString();
            return;
        }
        m_db = std::move(*db);
        return;
    }
    const QString tmpl = pgTemplate();
    m_pgName = QStringLiteral("tarvik_t_%1_%2").arg(getpid()).arg(nextDbNumber());
    {
        auto admin = adminConnection();
        if (!admin)
            return;
        (void)admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_pgName));
        if (auto r = admin->exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_pgName, tmpl)); !r) {
            ADD_FAILURE() << r.error().detail.toStdString();
            return;
        }
    }
    m_target = withDatabase(pgServerUri(), m_pgName);
    reopen();
}

void TestDb::reopen()
{
    m_db.reset();
    auto db = Database::open(m_target);
    if (!db) {
        ADD_FAILURE() << db.error().message.toStdString() << " " << db.error().detail.toStdString();
        return;
    }
    m_db = std::move(*db);
}

std::unique_ptr<Database> TestDb::connectAgain() const
{
    auto db = Database::open(m_target);
    if (!db) {
        ADD_FAILURE() << db.error().detail.toStdString();
        return nullptr;
    }
    return std::move(*db);
}

TestDb::~TestDb()
{
    m_db.reset();
    if (m_engine == Engine::PostgreSQL && !m_pgName.isEmpty()) {
        if (auto admin = Database::open(pgServerUri(), Database::OpenMode::Create))
            (void)(*admin)->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
    }
}

void EngineTest::SetUp()
{
    const bool noServer = GetParam() == Engine::PostgreSQL && pgServerUri().isEmpty();
    // Without a server the case is skipped; a SQLite database still stands in so that the
    // set-up code of derived fixtures runs harmlessly before the skip takes effect.
    m_testDb = std::make_unique<TestDb>(noServer ? Engine::SQLite : GetParam());
    ASSERT_TRUE(m_testDb->db().handle().isOpen());
    // The data module takes its own connection to the test database.
    m_dm = std::make_unique<TdmData>(m_testDb->connectAgain());
    dmData = m_dm.get();
    loginAsSuper();
    setFixedNow({});
    if (noServer)
        GTEST_SKIP() << "TARVIK_TEST_PG is not set";
}

void EngineTest::TearDown()
{
    dmData = nullptr;
    m_dm.reset();
    m_testDb.reset();
    setFixedNow({});
}

void loginAsSuper()
{
    LoginContext &c = loginContext();
    c = LoginContext{};
    c.OperCode = QStringLiteral("000");
    c.OperName = QStringLiteral("系统管理员");
    c.New = c.Edit = c.Del = c.Check = c.Set = c.KHedit = c.Price = true;
    systemOptions() = SystemOptions{};
}

QVariant scalarOf(Database &db, const QString &sql, const QVariantList &params)
{
    auto r = db.scalar(sql, params);
    EXPECT_TRUE(r.ok()) << r.error().detail.toStdString();
    return r.ok() ? *r : QVariant();
}

} // namespace tarvik::test
