#include "data/database.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QDir>
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
        testDb().reopen();
        Footprint f;
        if (GetParam() == Engine::SQLite) {
            auto check = db().integrityCheck();
            EXPECT_TRUE(check.ok());
            EXPECT_EQ(check.ok() ? *check : QString(), QStringLiteral("ok"));
        }
        f.headers = scalarOf(db(), "SELECT count(*) FROM DepotM WHERE F_Code = ?", {kBill}).toInt();
        f.lines = scalarOf(db(), "SELECT count(*) FROM DepotD WHERE F_Code = ?", {kBill}).toInt();
        f.price = scalarOf(db(), "SELECT F_price FROM t_goods WHERE F_code = 'K1'").toDouble();
        testDb().close();
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
            testDb().reopen();
            ASSERT_TRUE(db().exec("DELETE FROM DepotD WHERE F_Code = ?", {kBill}).ok());
            ASSERT_TRUE(db().exec("DELETE FROM DepotM WHERE F_Code = ?", {kBill}).ok());
            ASSERT_TRUE(db().exec("UPDATE t_goods SET F_price = 10 WHERE F_code = 'K1'").ok());
            testDb().close();
        } else {
            ++seen[0];
        }
    }
    RecordProperty("absent", seen[0]);
    RecordProperty("whole", seen[1]);
}

TARVIK_ENGINE_TESTS(CrashTest);
