#include "data/database.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>

#include <sys/vfs.h>

#include <cmath>
#include <cstdio>

namespace tarvik {

namespace {

QAtomicInt connectionCounter;

std::function<bool(const QString &)> &netFsProbe()
{
    static std::function<bool(const QString &)> probe;
    return probe;
}

QString genericError() { return QStringLiteral("数据库操作失败"); }

} // namespace

// ---------------------------------------------------------------- ConnectionSpec

bool ConnectionSpec::isUri(const QString &target)
{
    const QString t = target.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

ConnectionSpec ConnectionSpec::parse(const QString &target)
{
    ConnectionSpec s;
    if (!isUri(target)) {
        s.engine = Engine::SQLite;
        s.path = target.trimmed();
        return s;
    }
    s.engine = Engine::PostgreSQL;
    const QUrl url(target.trimmed());
    s.host = url.host(QUrl::FullyDecoded);
    s.port = url.port(-1);
    s.user = url.userName(QUrl::FullyDecoded);
    s.password = url.password(QUrl::FullyDecoded);
    s.database = url.path(QUrl::FullyDecoded);
    if (s.database.startsWith(QLatin1Char('/')))
        s.database.remove(0, 1);
    QStringList opts;
    const QUrlQuery query(url);
    for (const auto &item : query.queryItems(QUrl::FullyDecoded)) {
        if (item.first == QLatin1String("host"))
            s.host = item.second;
        else if (item.first == QLatin1String("port"))
            s.port = item.second.toInt();
        else if (item.first == QLatin1String("user"))
            s.user = item.second;
        else if (item.first == QLatin1String("password"))
            s.password = item.second;
        else if (item.first == QLatin1String("dbname"))
            s.database = item.second;
        else
            opts << item.first + QLatin1Char('=') + item.second;
    }
    s.options = opts.join(QLatin1Char(';'));
    return s;
}

QString ConnectionSpec::display() const
{
    if (engine == Engine::SQLite)
        return QDir::toNativeSeparators(path);
    QString hostText = host.isEmpty() ? QStringLiteral("localhost") : host;
    if (port > 0)
        hostText += QLatin1Char(':') + QString::number(port);
    return QStringLiteral("postgresql://%1%2/%3").arg(user.isEmpty() ? QString() : user + QLatin1Char('@'), hostText, database);
}

// ---------------------------------------------------------------- values

QDate toDate(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString();
    return QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
}

QString dateText(const QVariant &v)
{
    if (v.isNull())
        return {};
    const QDate d = toDate(v);
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : v.toString();
}

bool isSentinelDate(const QVariant &v)
{
    if (v.isNull())
        return true;
    return dateText(v) < QLatin1String("1901-08-14");
}

double roundMoney(double v)
{
    return std::round(v * 10000.0) / 10000.0;
}

// ---------------------------------------------------------------- Database

Database::~Database()
{
    m_cache.clear();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

Result<std::unique_ptr<Database>> Database::open(const QString &target, OpenMode mode)
{
    std::unique_ptr<Database> db(new Database);
    db->m_target = target.trimmed();
    db->m_spec = ConnectionSpec::parse(db->m_target);
    db->m_name = QStringLiteral("tarvik-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    if (auto r = db->connect(mode); !r)
        return r.error();
    return db;
}

Result<void> Database::probeSqliteFile() const
{
    const QString notOurs = QStringLiteral("“%1”不是本系统的数据库文件").arg(m_spec.display());
    QFileInfo fi(m_spec.path);
    if (!fi.exists() || !fi.isFile())
        return makeError(QStringLiteral("数据库文件“%1”不存在").arg(m_spec.display()));
    QFile f(m_spec.path);
    if (!f.open(QIODevice::ReadOnly))
        return makeError(QStringLiteral("无法读取数据库文件“%1”").arg(m_spec.display()), f.errorString());
    const QByteArray head = f.read(100);
    if (head.size() < 100 || !head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return makeError(notOurs, QStringLiteral("missing SQLite header"));
    auto be = [&](int at, int n) {
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | quint8(head[at + i]);
        return v;
    };
    quint64 pageSize = be(16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return makeError(notOurs, QStringLiteral("bad page size"));
    const quint64 size = quint64(fi.size());
    if (size % pageSize != 0)
        return makeError(notOurs, QStringLiteral("file size is not a whole number of pages (truncated?)"));
    const quint64 pages = be(28, 4);
    // A checkpoint copies page 1 (with the new page count) before the pages after it, so a
    // process killed in the middle of one leaves a file shorter than its header says; the log
    // still holds every page and the next open completes the checkpoint. Only without a log is
    // a short file truncated.
    const bool logged = QFileInfo(m_spec.path + QStringLiteral("-wal")).size() > 0;
    if (!logged && be(92, 4) == be(24, 4) && pages > 0 && pages * pageSize > size)
        return makeError(notOurs, QStringLiteral("file shorter than its header says (truncated)"));
    return {};
}

Result<void> Database::connect(OpenMode mode)
{
    if (m_spec.engine == Engine::SQLite) {
        if (m_spec.path.isEmpty())
            return makeError(QStringLiteral("未指定数据库文件"));
        if (mode == OpenMode::Existing) {
            if (auto r = probeSqliteFile(); !r)
                return r;
            // Look before touching: a read-only connection proves the file holds our tables.
            // Even a read-only look at a database in WAL mode makes its -wal and -shm files;
            // a file that is refused gets none left beside it.
            const QString wal = m_spec.path + QStringLiteral("-wal");
            const QString shm = m_spec.path + QStringLiteral("-shm");
            const bool hadWal = QFileInfo::exists(wal);
            const bool hadShm = QFileInfo::exists(shm);
            Result<void> looked;
            {
                const QString probeName = m_name + QStringLiteral("-probe");
                {
                    QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), probeName);
                    probe.setDatabaseName(m_spec.path);
                    probe.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
                    bool good = probe.open();
                    QString detail = probe.lastError().text();
                    QSet<QString> names;
                    if (good) {
                        QSqlQuery q(probe);
                        good = q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
                        detail = q.lastError().text();
                        while (good && q.next())
                            names.insert(q.value(0).toString().toLower());
                    }
                    probe.close();
                    if (!good) {
                        looked = makeError(QStringLiteral("“%1”不是本系统的数据库文件").arg(m_spec.display()), detail);
                    } else {
                        for (const auto &t : schemaTables())
                            if (!names.contains(t.name.toLower())) {
                                looked = makeError(QStringLiteral("“%1”不是本系统的数据库文件").arg(m_spec.display()),
                                                   QStringLiteral("missing table %1").arg(t.name));
                                break;
                            }
                    }
                }
                QSqlDatabase::removeDatabase(probeName);
            }
            if (!looked) {
                if (!hadWal && QFileInfo(wal).size() == 0)
                    QFile::remove(wal);
                if (!hadShm)
                    QFile::remove(shm);
                return looked;
            }
        } else {
            QFileInfo fi(m_spec.path);
            QDir().mkpath(fi.absolutePath());
        }
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(m_spec.path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        m_db.setHostName(m_spec.host);
        if (m_spec.port > 0)
            m_db.setPort(m_spec.port);
        m_db.setDatabaseName(m_spec.database);
        m_db.setUserName(m_spec.user);
        m_db.setPassword(m_spec.password);
        QString opts = QStringLiteral("connect_timeout=10");
        if (!m_spec.options.isEmpty())
            opts += QLatin1Char(';') + m_spec.options;
        m_db.setConnectOptions(opts);
    }
    m_db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!m_db.open())
        return makeError(QStringLiteral("无法连接数据库“%1”").arg(m_spec.display()), m_db.lastError().text());
    if (auto r = configure(); !r)
        return r;
    if (mode == OpenMode::Existing) {
        if (m_spec.engine == Engine::PostgreSQL)
            if (auto r = checkTables(); !r)
                return r;
        if (auto r = createShadowTables(); !r)
            return r;
    }
    return {};
}

Result<void> Database::configure()
{
    QStringList pragmas;
    if (isSqlite())
        pragmas << QStringLiteral("PRAGMA journal_mode=WAL") << QStringLiteral("PRAGMA synchronous=FULL")
                << QStringLiteral("PRAGMA temp_store=MEMORY") << QStringLiteral("PRAGMA case_sensitive_like=OFF");
    else
        pragmas << QStringLiteral("SET client_min_messages TO warning");
    for (const auto &p : pragmas) {
        QSqlQuery q(m_db);
        if (!q.exec(p))
            return dbError(QStringLiteral("无法设置数据库连接"), &q, p);
    }
    return {};
}

Result<void> Database::checkTables()
{
    auto r = exec(QStringLiteral("SELECT lower(table_name) FROM information_schema.tables WHERE table_schema = current_schema()"));
    if (!r)
        return r.error();
    QSet<QString> names;
    while (r->next())
        names.insert(r->value(0).toString());
    for (const auto &t : schemaTables())
        if (!names.contains(t.name.toLower()))
            return makeError(QStringLiteral("“%1”不是本系统的数据库").arg(m_spec.display()),
                             QStringLiteral("missing table %1").arg(t.name));
    return {};
}

Result<void> Database::createShadowTables()
{
    for (const auto &t : schemaTables()) {
        if (!t.workTable)
            continue;
        if (auto r = exec(createTableSql(t, engine(), true)); !r)
            return r.error();
    }
    return {};
}

Error Database::dbError(const QString &message, const QSqlQuery *query, const QString &sql) const
{
    QString detail = query ? query->lastError().text() : m_db.lastError().text();
    if (!sql.isEmpty())
        detail += QStringLiteral("\n") + sql;
    return makeError(message, detail);
}

QVariant Database::bindValue(const QVariant &v, Engine engine)
{
    if (v.isNull())
        return v;
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        // Day dates are "yyyy-MM-dd" text in SQLite.
        return engine == Engine::SQLite ? QVariant(v.toDate().toString(QStringLiteral("yyyy-MM-dd"))) : v;
    case QMetaType::Bool:
        return engine == Engine::SQLite ? QVariant(v.toBool() ? 1 : 0) : v;
    default:
        return v;
    }
}

Result<QSqlQuery> Database::exec(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    // Statements without values run unprepared: PostgreSQL cannot prepare DDL and utility statements.
    if (params.isEmpty()) {
        if (!q.exec(sql))
            return dbError(genericError(), &q, sql);
        return q;
    }
    if (!q.prepare(sql))
        return dbError(genericError(), &q, sql);
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, bindValue(params[i], engine()));
    if (!q.exec())
        return dbError(genericError(), &q, sql);
    return q;
}

Result<QSqlQuery> Database::exec(const QString &sql, const QVariantMap &params)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return dbError(genericError(), &q, sql);
    for (auto it = params.begin(); it != params.end(); ++it) {
        const QString key = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
        q.bindValue(key, bindValue(it.value(), engine()));
    }
    if (!q.exec())
        return dbError(genericError(), &q, sql);
    return q;
}

Result<QVariant> Database::scalar(const QString &sql, const QVariantList &params)
{
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        auto q = std::make_unique<QSqlQuery>(m_db);
        q->setForwardOnly(true);
        if (!q->prepare(sql))
            return dbError(genericError(), q.get(), sql);
        it = m_cache.emplace(sql, std::move(q)).first;
    }
    QSqlQuery &q = *it->second;
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, bindValue(params[i], engine()));
    if (!q.exec()) {
        Error e = dbError(genericError(), &q, sql);
        m_cache.erase(it);
        return e;
    }
    QVariant v;
    if (q.next())
        v = q.value(0);
    q.finish();
    return v;
}

Result<qint64> Database::insert(const QString &sql, const QVariantList &params)
{
    auto r = exec(sql + QStringLiteral(" RETURNING F_ID"), params);
    if (!r)
        return r.error();
    if (!r->next())
        return makeError(genericError(), QStringLiteral("INSERT returned no key"));
    return r->value(0).toLongLong();
}

Result<qint64> Database::insert(const QString &sql, const QVariantMap &params)
{
    auto r = exec(sql + QStringLiteral(" RETURNING F_ID"), params);
    if (!r)
        return r.error();
    if (!r->next())
        return makeError(genericError(), QStringLiteral("INSERT returned no key"));
    return r->value(0).toLongLong();
}

Result<void> Database::begin()
{
    if (m_depth == 0) {
        const QString sql = isSqlite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            return dbError(QStringLiteral("无法开始数据库事务"), &q, sql);
        m_doomed = false;
        m_hooks.clear();
    }
    ++m_depth;
    return {};
}

Result<void> Database::commit()
{
    Q_ASSERT(m_depth > 0);
    if (m_depth > 1) {
        --m_depth;
        return {};
    }
    if (m_doomed) {
        rollback();
        return makeError(genericError(), QStringLiteral("an inner transaction was rolled back"));
    }
    for (auto &entry : m_cache)
        entry.second->finish();
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("COMMIT"))) {
        Error e = dbError(genericError(), &q, QStringLiteral("COMMIT"));
        rollback();
        return e;
    }
    m_depth = 0;
    auto hooks = std::move(m_hooks);
    m_hooks.clear();
    for (auto &h : hooks)
        h();
    return {};
}

void Database::rollback()
{
    if (m_depth <= 0)
        return;
    if (m_depth > 1) {
        --m_depth;
        m_doomed = true;
        return;
    }
    for (auto &entry : m_cache)
        entry.second->finish();
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
    m_depth = 0;
    m_doomed = false;
    m_hooks.clear();
}

void Database::afterCommit(std::function<void()> hook)
{
    if (m_depth == 0)
        hook();
    else
        m_hooks.push_back(std::move(hook));
}

QString Database::likeOperator() const
{
    return isSqlite() ? QStringLiteral("LIKE") : QStringLiteral("ILIKE");
}

QString Database::likeClause(const QString &column) const
{
    return column + QLatin1Char(' ') + likeOperator() + QStringLiteral(" ? ESCAPE '\\'");
}

QString Database::likePattern(const QString &text, Match match)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    switch (match) {
    case Match::Prefix: return escaped + QLatin1Char('%');
    case Match::Contains: return QLatin1Char('%') + escaped + QLatin1Char('%');
    case Match::Exact: return escaped;
    }
    return escaped;
}

Result<QString> Database::integrityCheck(bool quick)
{
    if (!isSqlite())
        return QStringLiteral("ok");
    auto r = exec(quick ? QStringLiteral("PRAGMA quick_check") : QStringLiteral("PRAGMA integrity_check"));
    if (!r)
        return r.error();
    QStringList lines;
    while (r->next())
        lines << r->value(0).toString();
    return lines.join(QLatin1Char('\n'));
}

Result<void> Database::backupTo(const QString &file)
{
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    if (isSqlite()) {
        if (inTransaction())
            return makeError(QStringLiteral("数据备份失败！"), QStringLiteral("backup inside a transaction"));
        if (auto r = exec(QStringLiteral("VACUUM INTO ?"), {QDir::toNativeSeparators(part)}); !r) {
            QFile::remove(part);
            return makeError(QStringLiteral("数据备份失败！"), r.error().detail);
        }
        // Check the copy on its own connection before it replaces anything.
        {
            auto copy = Database::open(part, OpenMode::Existing);
            if (!copy) {
                QFile::remove(part);
                return makeError(QStringLiteral("数据备份失败！"), copy.error().detail);
            }
            auto check = (*copy)->integrityCheck(true);
            if (!check || *check != QLatin1String("ok")) {
                copy->reset();
                QFile::remove(part);
                return makeError(QStringLiteral("数据备份失败！"), check ? *check : check.error().detail);
            }
            // Leave a single-file copy behind: fold the WAL back into the file.
            (void)(*copy)->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        QFile::remove(part + QStringLiteral("-wal"));
        QFile::remove(part + QStringLiteral("-shm"));
    } else {
        QProcess dump;
        QStringList args{QStringLiteral("-Fc"), QStringLiteral("-f"), part};
        if (!m_spec.host.isEmpty())
            args << QStringLiteral("-h") << m_spec.host;
        if (m_spec.port > 0)
            args << QStringLiteral("-p") << QString::number(m_spec.port);
        if (!m_spec.user.isEmpty())
            args << QStringLiteral("-U") << m_spec.user;
        args << m_spec.database;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!m_spec.password.isEmpty())
            env.insert(QStringLiteral("PGPASSWORD"), m_spec.password);
        dump.setProcessEnvironment(env);
        dump.start(QStringLiteral("pg_dump"), args);
        if (!dump.waitForFinished(-1) || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
            QFile::remove(part);
            return makeError(QStringLiteral("数据备份失败！"), QString::fromLocal8Bit(dump.readAllStandardError()) + dump.errorString());
        }
    }
    // rename() replaces an existing file in one step.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(part);
        return makeError(QStringLiteral("数据备份失败！"), QStringLiteral("rename failed"));
    }
    return {};
}

Result<void> Database::compact()
{
    if (inTransaction())
        return makeError(QStringLiteral("压缩数据库失败！"), QStringLiteral("compaction inside a transaction"));
    m_cache.clear();
    auto r = exec(isSqlite() ? QStringLiteral("VACUUM") : QStringLiteral("VACUUM (ANALYZE)"));
    if (!r)
        return makeError(QStringLiteral("压缩数据库失败！"), r.error().detail);
    return {};
}

bool Database::isNetworkFsType(long fsType)
{
    switch (static_cast<unsigned long>(fsType) & 0xFFFFFFFFul) {
    case 0x6969ul:      // NFS
    case 0x517Bul:      // SMB
    case 0xFF534D42ul:  // CIFS
    case 0xFE534D42ul:  // SMB2
    case 0x01021997ul:  // 9P
    case 0x5346414Ful:  // AFS
    case 0x65735546ul:  // FUSE (sshfs and friends)
    case 0x47504653ul:  // GPFS
    case 0x0BD00BD0ul:  // Lustre
    case 0x73757245ul:  // Coda
    case 0x00C36400ul:  // Ceph
        return true;
    default:
        return false;
    }
}

bool Database::isNetworkFileSystem(const QString &path)
{
    if (netFsProbe())
        return netFsProbe()(path);
    QFileInfo fi(path);
    const QString dir = fi.isDir() ? fi.absoluteFilePath() : fi.absolutePath();
    struct statfs st;
    if (statfs(QFile::encodeName(dir).constData(), &st) != 0)
        return false;
    return isNetworkFsType(static_cast<long>(st.f_type));
}

void Database::setNetworkFsProbe(std::function<bool(const QString &)> probe)
{
    netFsProbe() = std::move(probe);
}

} // namespace tarvik
