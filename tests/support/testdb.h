#pragma once

#include "data/database.h"
#include "data/dmdata.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik::test {

// The engines the store tests run on: SQLite always, PostgreSQL when
// TARVIK_TEST_PG names a server (a postgresql:// URI of a database we may
// connect to and create databases from).
std::vector<Engine> testEngines();
std::string engineName(const ::testing::TestParamInfo<Engine> &info);
QString pgServerUri();

// A fresh database made by the same code as `tarvik-admin init`, removed afterwards.
class TestDb {
public:
    explicit TestDb(Engine engine);
    ~TestDb();

    Engine engine() const { return m_engine; }
    QString target() const { return m_target; }
    Database &db() { return *m_db; }
    // Another connection to the same database (a second workstation).
    std::unique_ptr<Database> connectAgain() const;
    // Closes the connection (for tests that reopen or copy the file).
    void close() { m_db.reset(); }
    void reopen();

    QTemporaryDir &dir() { return m_dir; }

private:
    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_target;
    QString m_pgName;
    std::unique_ptr<Database> m_db;
};

// A test with a fresh database on one engine, installed as the data module `dmData`.
class EngineTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;
    Database &db() { return m_testDb->db(); }
    TdmData &dm() { return *m_dm; }
    TestDb &testDb() { return *m_testDb; }
    bool isPg() const { return GetParam() == Engine::PostgreSQL; }

    std::unique_ptr<TestDb> m_testDb;
    std::unique_ptr<TdmData> m_dm;
};

// Logs in as the given operator code with all rights (tests change them as needed).
void loginAsSuper();

// Runs a statement and returns the first column of the first row (fails the test on error).
QVariant scalarOf(Database &db, const QString &sql, const QVariantList &params = {});

} // namespace tarvik::test

namespace tarvik {
inline void PrintTo(Engine e, std::ostream *os)
{
    *os << (e == Engine::SQLite ? "SQLite" : "PostgreSQL");
}
} // namespace tarvik

#define TARVIK_ENGINE_TESTS(Suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::ValuesIn(::tarvik::test::testEngines()), \
                             ::tarvik::test::engineName)
