#include "data/database.h"
#include "data/seed.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <ostream>

using namespace tarvik;
using namespace tarvik::test;

namespace {

const QString kBill = QStringLiteral("CJD20240506001");

QString writerProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tarvik-crash-writer"));
}

// What of the writer's save is in the database: header, lines, the master change.
struct Footprint {
    int headers = -1;
    int lines = -1;
    double price = -1;
    bool operator==(const Footprint &) const = default;
};

void PrintTo(const Footprint &f, std::ostream *os)
{
    *os << f.headers << " header(s), " << f.lines << " line(s), K1 price " << f.price;
}

class CrashTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(QFileInfo::exists(writerProgram())) << writerProgram().toStdString();
        ASSERT_TRUE(db().exec("INSERT INTO t_goods (F_code, F_name, F_price, F_flag) VALUES ('K1', '钢板', 10, false)").ok());
        // Only the writer holds the database while it works: the checks reopen it as after a crash.
        dmData = nullptr;
        m_dm.reset();
        testDb().close();
    }

    // Reopens the database the way the program does after a crash and reads what is there.
    Footprint inspect()
    {
        auto opened = Database::open(testDb().target());
        EXPECT_TRUE(opened.ok()) << "the database no longer opens: " << opened.error().message.toStdString() << " "
                                 << opened.error().detail.toStdString();
        if (!opened)
            return {};
        Database &again = **opened;
        Footprint f;
        if (GetParam() == Engine::SQLite) {
            auto check = again.integrityCheck();
            EXPECT_TRUE(check.ok());
            EXPECT_EQ(check.ok() ? *check : QString(), QStringLiteral("ok"));
        }
        f.headers = scalarOf(again, "SELECT count(*) FROM DepotM WHERE F_Code = ?", {kBill}).toInt();
        f.lines = scalarOf(again, "SELECT count(*) FROM DepotD WHERE F_Code = ?", {kBill}).toInt();
        f.price = scalarOf(again, "SELECT F_price FROM t_goods WHERE F_code = 'K1'").toDouble();
        return f;
    }

    static Footprint absent() { return {0, 0, 10}; }
    static Footprint whole() { return {1, 10 + 3000 - 1, 11}; }

    // Starts the writer in step mode and kills it once it has announced `point`.
    // Returns the number of statements of the transaction.
    int killAfter(const QByteArray &point)
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(writerProgram(), {testDb().target(), kBill, QStringLiteral("step")});
        EXPECT_TRUE(child.waitForStarted(10000));
        int statements = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            if (!child.canReadLine() && !child.waitForReadyRead(30000))
                break;
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("ready "))
                statements = line.mid(6).toInt();
            if (line == point) {
                child.kill(); // SIGKILL: no destructor, no rollback, no close
                child.waitForFinished(10000);
                return statements;
            }
            if (!line.startsWith("ready "))
                child.write("\n");
        }
        ADD_FAILURE() << "the writer never reached " << point.constData();
        child.kill();
        child.waitForFinished(10000);
        return statements;
    }
};

} // namespace

TEST_P(CrashTest, killed_in_the_middle_of_a_save_leaves_nothing_of_it)
{
    const int statements = killAfter("1");
    ASSERT_GT(statements, 10);
    EXPECT_EQ(inspect(), absent()) << "killed after statement 1";
    for (int k = 2; k <= statements; ++k) {
        killAfter(QByteArray::number(k));
        EXPECT_EQ(inspect(), absent()) << "killed after statement " << k;
    }
    // Killed after the commit: the save is there, whole.
    killAfter("committed");
    EXPECT_EQ(inspect(), whole());
}

TEST_P(CrashTest, killed_at_any_moment_the_save_is_all_or_nothing)
{
    // Kills at spread-out moments of a free-running save, including inside the commit.
    int seen[2] = {0, 0};
    for (int delayMs : {0, 30, 60, 90, 120, 160, 220, 300}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(writerProgram(), {testDb().target(), kBill, QStringLiteral("run")});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Count from the moment the writer has its connection.
        while (!child.canReadLine() && child.state() == QProcess::Running)
            child.waitForReadyRead(10000);
        QThread::msleep(delayMs);
        child.kill();
        child.waitForFinished(10000);
        const Footprint f = inspect();
        EXPECT_TRUE(f == absent() || f == whole()) << "after " << delayMs << " ms: " << ::testing::PrintToString(f);
        if (f == whole()) {
            ++seen[1];
            // Start the next round from a database without the bill.
            auto again = Database::open(testDb().target());
            ASSERT_TRUE(again.ok());
            ASSERT_TRUE((*again)->exec("DELETE FROM DepotD WHERE F_Code = ?", {kBill}).ok());
            ASSERT_TRUE((*again)->exec("DELETE FROM DepotM WHERE F_Code = ?", {kBill}).ok());
            ASSERT_TRUE((*again)->exec("UPDATE t_goods SET F_price = 10 WHERE F_code = 'K1'").ok());
        } else {
            ++seen[0];
        }
    }
    RecordProperty("absent", seen[0]);
    RecordProperty("whole", seen[1]);
}

TARVIK_ENGINE_TESTS(CrashTest);

namespace {

quint32 bigEndian32(const QByteArray &b, qsizetype at)
{
    return (quint32(quint8(b[at])) << 24) | (quint32(quint8(b[at + 1])) << 16) | (quint32(quint8(b[at + 2])) << 8)
        | quint32(quint8(b[at + 3]));
}

} // namespace

// A checkpoint copies the log's pages into the database file in page order, page 1 (with the
// new page count) first. Killed right after that, the file is shorter than its header says,
// yet nothing is lost: the log still holds every page. Such a database must open.
TEST(CrashRecovery, database_killed_inside_a_checkpoint_still_opens)
{
    QTemporaryDir dir;
    const QString live = dir.filePath(QStringLiteral("live.db"));
    const QString copy = dir.filePath(QStringLiteral("Korvel.db"));
    auto db = createDatabase(live);
    ASSERT_TRUE(db.ok());
    ASSERT_TRUE((*db)->exec("PRAGMA wal_autocheckpoint=0").ok());
    ASSERT_TRUE((*db)->exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_Mem, F_amount, F_flag) "
                            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 3000) "
                            "SELECT 'CJD20240506001', 'BULK', ?, x, 0 FROM n",
                            {QString(1000, QChar(0x6599))})
                    .ok());
    // Nothing writes while the two files are copied: together they are the database as committed.
    ASSERT_TRUE(QFile::copy(live, copy));
    ASSERT_TRUE(QFile::copy(live + "-wal", copy + "-wal"));

    QFile walFile(copy + "-wal");
    ASSERT_TRUE(walFile.open(QIODevice::ReadOnly));
    const QByteArray wal = walFile.readAll();
    ASSERT_GT(wal.size(), 32);
    const quint32 pageSize = bigEndian32(wal, 8);
    QByteArray firstPage;
    for (qsizetype at = 32; at + 24 + qsizetype(pageSize) <= wal.size(); at += 24 + pageSize)
        if (bigEndian32(wal, at) == 1)
            firstPage = wal.mid(at + 24, pageSize);
    ASSERT_EQ(firstPage.size(), qsizetype(pageSize)) << "the log holds no copy of page 1";
    {
        QFile main(copy);
        ASSERT_TRUE(main.open(QIODevice::ReadWrite));
        ASSERT_TRUE(main.seek(0));
        ASSERT_EQ(main.write(firstPage), firstPage.size());
        ASSERT_GT(quint64(bigEndian32(firstPage, 28)) * pageSize, quint64(main.size()))
            << "the file should now be shorter than its header says";
    }

    auto opened = Database::open(copy);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString() << " " << opened.error().detail.toStdString();
    EXPECT_EQ((*opened)->integrityCheck().value(), QStringLiteral("ok"));
    EXPECT_EQ(scalarOf(**opened, "SELECT count(*) FROM DepotD WHERE F_GoodCode = 'BULK'").toInt(), 3000);
}
