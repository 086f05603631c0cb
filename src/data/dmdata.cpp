#include "data/dmdata.h"

#include "data/prompts.h"
#include "data/rowset.h"
#include "data/session.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <iconv.h>

#include <algorithm>

namespace tarvik {

TdmData *dmData = nullptr;

TdmData::TdmData(std::unique_ptr<Database> db) : m_db(std::move(db)) {}

TdmData::~TdmData()
{
    if (dmData == this)
        dmData = nullptr;
}

std::unique_ptr<Database> TdmData::replaceDatabase(std::unique_ptr<Database> db)
{
    std::swap(m_db, db);
    return db;
}

bool TdmData::ExecSql(const QString &sql, const QVariantList &params)
{
    auto r = m_db->exec(sql, params);
    if (!r) {
        ShowMsg(kMsgOpFailed, MsgError, r.error().detail);
        return false;
    }
    return true;
}

bool TdmData::DeleteRecordById(const QString &table, const QVariant &id)
{
    const TableDef *def = findTable(table);
    Q_ASSERT_X(def, "DeleteRecordById", qPrintable(table));
    if (!def) {
        ShowMsg(kMsgDeleteFailed, MsgError, QStringLiteral("unknown table ") + table);
        return false;
    }
    auto r = m_db->exec(QStringLiteral("DELETE FROM %1 WHERE F_ID = ?").arg(def->name), {id});
    if (!r) {
        ShowMsg(kMsgDeleteFailed, MsgError, r.error().detail);
        return false;
    }
    return true;
}

QString TdmData::QueryText(const QString &sql, const QVariantList &params)
{
    auto r = m_db->scalar(sql, params);
    if (!r) {
        ShowMsg(kMsgOpFailed, MsgError, r.error().detail);
        return {};
    }
    if (r->metaType().id() == QMetaType::QDate)
        return dateText(*r);
    return r->toString();
}

double TdmData::QueryFloat(const QString &sql, const QVariantList &params)
{
    auto r = m_db->scalar(sql, params);
    if (!r) {
        ShowMsg(kMsgOpFailed, MsgError, r.error().detail);
        return 0;
    }
    return r->toDouble();
}

int TdmData::QueryInt(const QString &sql, const QVariantList &params)
{
    auto r = m_db->scalar(sql, params);
    if (!r) {
        ShowMsg(kMsgOpFailed, MsgError, r.error().detail);
        return 0;
    }
    return r->toInt();
}

bool TdmData::OpenQuery(const QString &sql, const QVariantList &params, RowSet &set)
{
    auto r = set.open(*m_db, sql, params);
    if (!r) {
        ShowMsg(kMsgOpenFailed, MsgError, r.error().detail);
        return false;
    }
    return true;
}

bool TdmData::FillComboItems(const QString &sql, const QVariantList &params, QComboBox *combo)
{
    const QString keep = combo->isEditable() ? combo->currentText() : QString();
    combo->clear();
    auto r = m_db->exec(sql, params);
    if (!r) {
        ShowMsg(kMsgOpFailed, MsgError, r.error().detail);
        return false;
    }
    while (r->next()) {
        const QString v = r->value(0).toString();
        if (!v.trimmed().isEmpty())
            combo->addItem(v);
    }
    if (combo->isEditable())
        combo->setEditText(keep);
    return true;
}

Result<QString> TdmData::NextSerialNumber(const QString &sql, const QVariantList &params, const QString &prefix,
                                          int digits)
{
    auto r = m_db->scalar(sql, params);
    if (!r)
        return r.error();
    const QString largest = r->isNull() ? QString() : r->toString();
    QString head, tail;
    if (!largest.isEmpty()) {
        head = largest.left(largest.size() - digits);
        tail = largest.right(digits);
    } else {
        head = prefix + today().toString(QStringLiteral("yyyyMMdd"));
        tail = QString(digits, QLatin1Char('0'));
    }
    bool ok = false;
    const qlonglong n = (QLatin1Char('1') + tail).toLongLong(&ok);
    if (!ok || tail.size() != digits)
        return makeError(QStringLiteral("单据编号“%1”格式不正确，无法生成新编号！").arg(largest));
    const QString next = QString::number(n + 1).mid(1);
    // "999" + 1 would wrap to "000" and repeat a number.
    if (next.size() != digits || next == QString(digits, QLatin1Char('0')))
        return makeError(QStringLiteral("今日此类单据已达%1张，无法再新增！").arg(QString(digits, QLatin1Char('9'))));
    return head + next;
}

bool TdmData::HasPermission(const QString &code)
{
    return QueryInt(QStringLiteral("SELECT F_ID FROM PartLimit WHERE F_PartCode = ? AND F_LmtCode = ?"),
                    {loginContext().PartCode, code})
        > 0;
}

namespace {

// A null QString binds as SQL NULL, and "F_Code <> NULL" is never true: no bill to leave
// out must still count every bill.
QString notNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

Result<double> TdmData::GetStockAmount(const QString &itemCode, const QString &excludedBill, int itemKind)
{
    // Opening amount of an active item plus the signed lines of every bill of its store.
    static const QString raw = QStringLiteral(
        "SELECT COALESCE((SELECT SUM(F_amount) FROM t_goods WHERE F_flag = false AND F_code = ?), 0)"
        " + COALESCE((SELECT SUM(d.F_amount * m.F_OperFlag) FROM DepotD d JOIN DepotM m ON d.F_Code = m.F_Code"
        " WHERE d.F_GoodCode = ? AND m.F_Flag IN (1, -1, 2, -2) AND d.F_Code <> ?), 0)");
    static const QString product = QStringLiteral(
        "SELECT COALESCE((SELECT SUM(F_amount) FROM Product WHERE F_flag = false AND F_code = ?), 0)"
        " + COALESCE((SELECT SUM(d.F_amount * m.F_OperFlag) FROM DepotD d JOIN DepotM m ON d.F_Code = m.F_Code"
        " WHERE d.F_GoodCode = ? AND m.F_Flag IN (3, -3, 5, -5) AND d.F_Code <> ?), 0)");
    auto r = m_db->scalar(itemKind == StockRaw ? raw : product, {itemCode, itemCode, notNull(excludedBill)});
    if (!r)
        return r.error();
    return r->toDouble();
}

namespace {

Result<double> lastPrice(Database &db, const QString &master, const QString &itemCode, const QString &excludedBill,
                         int billKind)
{
    // The line entered last (highest F_ID) of that kind on another bill, approved or not.
    auto r = db.scalar(QStringLiteral("SELECT d.F_price FROM DepotM m JOIN DepotD d ON m.F_Code = d.F_Code"
                                      " WHERE m.F_Flag = ? AND d.F_GoodCode = ? AND m.F_Code <> ?"
                                      " ORDER BY d.F_ID DESC LIMIT 1"),
                       {billKind, itemCode, notNull(excludedBill)});
    if (!r)
        return r.error();
    if (!r->isNull())
        return r->toDouble();
    auto m = db.scalar(QStringLiteral("SELECT F_price FROM %1 WHERE F_code = ? LIMIT 1").arg(master), {itemCode});
    if (!m)
        return m.error();
    return m->toDouble();
}

} // namespace

Result<double> TdmData::LastGoodPrice(const QString &itemCode, const QString &excludedBill, int billKind)
{
    return lastPrice(*m_db, QStringLiteral("t_goods"), itemCode, excludedBill, billKind);
}

Result<double> TdmData::LastProductPrice(const QString &itemCode, const QString &excludedBill, int billKind)
{
    return lastPrice(*m_db, QStringLiteral("Product"), itemCode, excludedBill, billKind);
}

bool TdmData::BackupDue(int policy, const QDate &day)
{
    switch (policy) {
    case 1: return true;
    case 2: return day.dayOfWeek() == Qt::Monday;
    case 3: return day.day() == 1;
    default: return false;
    }
}

QString TdmData::BackupFileName(const QString &folder, const QDate &day)
{
    return QDir(folder).filePath(QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".back"));
}

void TdmData::AutoBackup()
{
    const QString folder = QueryText(QStringLiteral("SELECT F_BakPath FROM SysInfo")).trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        if (ShowMsg(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"), MsgQuestion) != MsgOk)
            return;
        if (folder.isEmpty() || !QDir().mkpath(folder)) {
            ShowMsg(QStringLiteral("目录") + folder + QStringLiteral(" 创建失败,请检测路径是否合法!"), MsgError);
            return;
        }
    }
    const QString target = BackupFileName(folder, today());
    if (QFileInfo::exists(target))
        return; // at most one backup a day
    if (auto r = m_db->backupTo(target); !r)
        ShowMsg(QStringLiteral("数据备份失败！"), MsgError, r.error().detail);
}

QString amountFormatFor(int decimals)
{
    return QStringLiteral("0.") + QString(std::max(decimals, 0), QLatin1Char('#'));
}

QString moneyFormatFor(int decimals)
{
    QString f = QStringLiteral(",0.");
    for (int i = 0; i < decimals; ++i)
        f += i < 2 ? QLatin1Char('0') : QLatin1Char('#');
    return f;
}

void TdmData::BuildDisplayFormats()
{
    SystemOptions &o = systemOptions();
    o.AmountFormat = amountFormatFor(o.AmountDecimals);
    o.PriceFormat = moneyFormatFor(o.PriceDecimals);
    o.TotalFormat = moneyFormatFor(o.TotalDecimals);
}

bool TdmData::CompactDatabase()
{
    return m_db->compact().ok();
}

// ---------------------------------------------------------------- passwords

QByteArray toGbk(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return utf8;
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char *dst = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == size_t(-1)) {
            // A character GBK lacks becomes "?", as the code page conversion did.
            if (outLeft == 0)
                break;
            *dst++ = '?';
            --outLeft;
            // Skip one UTF-8 sequence.
            ++in;
            --inLeft;
            while (inLeft > 0 && (quint8(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
    }
    iconv_close(cd);
    out.truncate(int(dst - out.data()));
    return out;
}

QString fromGbk(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 3 + 4, '\0');
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *dst = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == size_t(-1)) {
            if (outLeft < 3)
                break;
            *dst++ = '?';
            --outLeft;
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    out.truncate(int(dst - out.data()));
    return QString::fromUtf8(out);
}

namespace {
const QString kFillers = QStringLiteral(
    "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./?><MNBVCXZ\":LKJHGFDSA|}{POIUYTREWQ+_)(*&^%$#@!~");

QChar filler()
{
    // The first 93 of the 94 keyboard characters; never the last one.
    return kFillers.at(int(QRandomGenerator::global()->bounded(93)));
}
} // namespace

QString TdmData::ScramblePassword(const QString &plain)
{
    QString hex;
    for (char b : toGbk(plain))
        hex += QStringLiteral("%1").arg(uint(quint8(b)), 2, 16, QLatin1Char('0')).toUpper();
    std::reverse(hex.begin(), hex.end());
    QString out;
    out.reserve(hex.size() * 2 + 1);
    for (QChar c : hex) {
        out += filler();
        out += c;
    }
    out += filler();
    return out;
}

QString TdmData::UnscramblePassword(const QString &stored)
{
    QString digits;
    for (int i = 1; i < stored.size(); i += 2)
        digits += stored[i];
    std::reverse(digits.begin(), digits.end());
    auto nibble = [](QChar c) -> int {
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            return c.unicode() - '0';
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            return c.unicode() - 'A' + 10;
        return 0;
    };
    QByteArray bytes;
    for (int i = 0; i + 1 < digits.size(); i += 2)
        bytes += char(nibble(digits[i]) * 16 + nibble(digits[i + 1]));
    return fromGbk(bytes);
}

} // namespace tarvik
