#pragma once

#include "data/database.h"
#include "master/sqlstatement.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

namespace tarvik {

class RowSet;

// Query types of the raw material list's search bar, in the order of its items.
enum GoodsQueryType {
    GoodsByPYcode = 0,
    GoodsByCode,
    GoodsByName,
    GoodsBySpec,
    GoodsByAddress,
    GoodsByMemo,
    GoodsByZF1, // .. GoodsByZF1 + 4 for F_ZF5
};
const QStringList &goodsQueryTypes();

struct GoodsSearch {
    int type = GoodsByPYcode;
    QString text;             // trimmed by the statement builder
    QString categoryPath;     // empty or the root path: every category
    bool includeStopped = false;
};

struct GoodsChooserSearch {
    QString code;             // prefix
    QString name;             // contained
    QString spec;             // contained
    QString categoryPath;
};

// The date that stands for "no date" in the custom date fields.
inline const QDate kNoDate{1900, 8, 14};

// One raw material as the editor shows it.
struct GoodsRecord {
    QVariant id; // F_ID, null for a new material
    QString code, name, pycode, type, spec, address, unit;
    double hdepot = 0, ddepot = 0, price1 = 0, price2 = 0, amount = 0, price = 0, totalPrice = 0;
    QString memo;
    bool stopped = false;
    std::array<QString, 5> zf;
    std::array<double, 3> sz{};
    std::array<QDate, 3> rq; // invalid: no date

    static GoodsRecord fromRow(const RowSet &rows, int row);
};

// The messages of the checks before a material is saved.
inline const QString kMsgGoodsCodeEmpty = QStringLiteral("当前材料编号不能为空！");
inline const QString kMsgGoodsAutoCodeDigits = QStringLiteral("采用自动编号，货品编号最后四位必须全为数字！");
inline const QString kMsgGoodsCodeDuplicate = QStringLiteral("材料编号重复，请重新输入！");

// The rules of t_goods, without widgets.
class GoodsStore {
public:
    explicit GoodsStore(Database &db) : m_db(db) {}

    // The list window's statement.
    SqlStatement searchStatement(const GoodsSearch &search) const;
    // The chooser's statement: materials not in tempCode, disabled ones included.
    SqlStatement chooserStatement(const GoodsChooserSearch &search) const;
    // The pick-mode listing of the chooser (active materials).
    static SqlStatement chooserPickStatement();

    // The code after the most recently inserted material's code.
    Result<QString> nextCode();
    static QString codeAfter(const QString &lastCode);

    // Empty when the record may be saved, else the message to show (the code box gets the focus).
    Result<QString> checkCode(const GoodsRecord &record, bool isNew, bool autoCode);

    // New material; the state of "自动" is kept as the option of automatic codes.
    Result<qint64> saveNew(const GoodsRecord &record, bool autoCode);
    // Changed material: its row, and in the same transaction the copies of the
    // old code in bills of materials and in raw-material bill lines.
    Result<void> saveChange(const GoodsRecord &record, const QString &oldCode);

    // Sets the category of each material; returns how many were changed.
    int changeCategory(const QList<QVariant> &ids, const QString &path);

private:
    Database &m_db;
};

} // namespace tarvik
