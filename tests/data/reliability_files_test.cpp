#include "data/database.h"
#include "data/seed.h"
#include "support/testdb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <functional>

using namespace tarvik;
using namespace tarvik::test;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A Tarvik database with some rows, as a single file (no log beside it).
QByteArray goodDatabaseBytes(QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("source.db"));
    {
        auto db = createDatabase(path);
        if (!db)
            return {};
        for (int i = 0; i < 200; ++i)
            (void)(*db)->exec(QStringLiteral("INSERT INTO t_goods (F_code, F_name) VALUES (?, ?)"),
                              {QString::number(i), QString(300, QChar(0x94A2))});
        (void)(*db)->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    return readAll(path);
}

struct Poison {
    const char *name;
    std::function<bool(const QString &path, const QByteArray &good, QTemporaryDir &dir)> make;
};

} // namespace

// Files that a user may point the program at by mistake: each is refused with a message and
// left exactly as it was, with no log or journal files made beside it.
TEST(OpeningForeignFiles, are_refused_and_left_untouched)
{
    QTemporaryDir dir;
    const QByteArray good = goodDatabaseBytes(dir);
    ASSERT_GT(good.size(), 64 * 1024);
    const int pageSize = (quint8(good[16]) << 8) | quint8(good[17]);
    ASSERT_GE(pageSize, 512);

    const std::vector<Poison> cases = {
        // SQLite takes a zero-length file for an empty database and would write a new one into it.
        {"empty file", [](const QString &p, const QByteArray &, QTemporaryDir &) { return writeAll(p, {}); }},
        {"only the 100-byte header",
         [](const QString &p, const QByteArray &g, QTemporaryDir &) { return writeAll(p, g.left(100)); }},
        {"cut at a page boundary",
         [&](const QString &p, const QByteArray &g, QTemporaryDir &) { return writeAll(p, g.left(pageSize * 3)); }},
        {"cut inside a page",
         [&](const QString &p, const QByteArray &g, QTemporaryDir &) { return writeAll(p, g.left(pageSize * 5 + 1234)); }},
        {"SQLite header followed by garbage",
         [](const QString &p, const QByteArray &g, QTemporaryDir &) {
             QByteArray b = g.left(100);
             for (int i = 0; i < 16 * 4096 - 100; ++i)
                 b += char((i * 131) % 256);
             return writeAll(p, b);
         }},
        {"text file", [](const QString &p, const QByteArray &, QTemporaryDir &) {
             return writeAll(p, QStringLiteral("ds=data\\Korvel.mdb\n原材料入库\n").toUtf8());
         }},
        {"Tarvik database lacking a table",
         [](const QString &p, const QByteArray &, QTemporaryDir &) {
             {
                 auto db = createDatabase(p);
                 if (!db)
                     return false;
                 (void)(*db)->exec(QStringLiteral("DROP TABLE cfg_import"));
                 (void)(*db)->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
             }
             return QFileInfo::exists(p);
         }},
        {"another program's database in WAL mode",
         [](const QString &p, const QByteArray &, QTemporaryDir &) {
             {
                 auto db = Database::open(p, Database::OpenMode::Create);
                 if (!db)
                     return false;
                 (void)(*db)->exec(QStringLiteral("CREATE TABLE DepotM (id INTEGER PRIMARY KEY, note TEXT)"));
                 (void)(*db)->exec(QStringLiteral("INSERT INTO DepotM (note) VALUES ('not ours')"));
             }
             return QFileInfo::exists(p);
         }},
    };

    for (const Poison &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir sub;
        const QString path = sub.filePath(QStringLiteral("Korvel.db"));
        ASSERT_TRUE(c.make(path, good, dir));
        const QStringList before = QDir(sub.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        const QByteArray bytes = readAll(path);

        auto db = Database::open(path);
        EXPECT_FALSE(db.ok());
        if (!db.ok()) {
            EXPECT_TRUE(db.error().message.contains(QStringLiteral("数据库"))) << db.error().message.toStdString();
        }
        EXPECT_EQ(readAll(path), bytes) << "the file was changed";
        EXPECT_EQ(QDir(sub.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), before)
            << "files were made beside it";
    }

    // A folder is no database either, and nothing is made inside it.
    QTemporaryDir folder;
    EXPECT_FALSE(Database::open(folder.path()).ok());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST(NetworkFileSystems, type_table_covers_network_and_local_kinds)
{
    struct Case {
        std::int64_t type;
        bool network;
        const char *name;
    } cases[] = {
        {0x6969, true, "nfs"},
        {0x517B, true, "smb"},
        {0xFF534D42, true, "cifs"},
        {0xFE534D42, true, "smb2"},
        {0x01021997, true, "9p"},
        {0x5346414F, true, "afs"},
        {0x65735546, true, "fuse (sshfs)"},
        {0x00C36400, true, "ceph"},
        {0x0BD00BD0, true, "lustre"},
        // statfs reports the type as a signed word on some systems: the same magic, negative.
        {std::int64_t(std::int32_t(0xFF534D42u)), true, "cifs as a signed 32-bit value"},
        {std::int64_t(std::int32_t(0xFE534D42u)), true, "smb2 as a signed 32-bit value"},
        {0xEF53, false, "ext2/3/4"},
        {0x58465342, false, "xfs"},
        {0x9123683E, false, "btrfs"},
        {0x01021994, false, "tmpfs"},
        {0x794C7630, false, "overlayfs"},
        {0x4d44, false, "vfat"},
        {0x5346544e, false, "ntfs"},
        {0, false, "zero"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Database::isNetworkFsType(long(c.type)), c.network) << c.name;
}

TEST(NetworkFileSystems, probe_seam_decides_and_can_be_put_back)
{
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("Korvel.db"));
    EXPECT_FALSE(Database::isNetworkFileSystem(local)) << "the temporary folder is on a local disk";

    QStringList asked;
    Database::setNetworkFsProbe([&](const QString &path) {
        asked << path;
        return path.startsWith(QStringLiteral("/mnt/共享盘/"));
    });
    EXPECT_TRUE(Database::isNetworkFileSystem(QStringLiteral("/mnt/共享盘/data/Korvel.db")));
    EXPECT_FALSE(Database::isNetworkFileSystem(local));
    EXPECT_EQ(asked, QStringList({QStringLiteral("/mnt/共享盘/data/Korvel.db"), local}));

    Database::setNetworkFsProbe({});
    // Back on the real probe: a path that does not exist cannot be asked about and is not reported.
    EXPECT_FALSE(Database::isNetworkFileSystem(QStringLiteral("/mnt/共享盘/data/Korvel.db")));
    EXPECT_FALSE(Database::isNetworkFileSystem(local));
}
