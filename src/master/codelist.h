#pragma once

#include "data/database.h"

#include <QString>
#include <QVector>

class QComboBox;

namespace tarvik {

class RowSet;

// One of the small lists of t_code, in the order of the code list window's tabs.
struct CodeListKind {
    QString tabCaption; // as the tab shows it, e.g. " 业 务 员 "
    QString type;       // t_code.F_type
};

const QVector<CodeListKind> &codeLists();
// The kind of a type value, or nullptr.
const CodeListKind *findCodeList(const QString &type);

// The list types other screens offer.
inline const QString kCodeEmpName = QStringLiteral("empname");
inline const QString kCodeUnit = QStringLiteral("unit");
inline const QString kCodeDepot = QStringLiteral("depot");
inline const QString kCodeCltType = QStringLiteral("clttype");
inline const QString kCodeSupType = QStringLiteral("suptype");
inline const QString kCodeClck = QStringLiteral("clck");
inline const QString kCodeClrk = QStringLiteral("clrk");
inline const QString kCodeCpck = QStringLiteral("cpck");
inline const QString kCodeCprk = QStringLiteral("cprk");

// Refills a combo box with the non-blank entries of one list in stored order
// (`distinct`: each text once, as the partner type boxes show them). The box
// keeps the text typed into it.
bool FillCodeListItems(QComboBox *combo, const QString &type, bool distinct = false);

// The rows of one list, for the code list window (batch edited, then written by save()).
class CodeListStore {
public:
    explicit CodeListStore(Database &db) : m_db(db) {}

    Result<void> open(RowSet &rows, const QString &type);
    // Gives every row the list's type and writes all pending changes in one transaction.
    Result<void> save(RowSet &rows, const QString &type);
    // Adds one entry at once (demo data, import).
    Result<void> add(const QString &type, const QString &name);

private:
    Database &m_db;
};

} // namespace tarvik
