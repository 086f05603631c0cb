#pragma once

#include "data/export/gridexport.h"

#include <QByteArray>

namespace tarvik {

// The text forms of an export table (every line ends with CR LF).
QString tabText(const ExportTable &table);  // tab-separated; tabs and line breaks in cells become blanks
QString csvText(const ExportTable &table);  // RFC 4180 quoting
QString htmlText(const ExportTable &table); // a UTF-8 HTML page with one table
QString rtfText(const ExportTable &table);  // an RTF table, non-ASCII characters as \u escapes

// Writes text as UTF-8 (with a byte-order mark when asked) through a temporary
// file in the target folder that replaces `file` only once it is complete.
Result<void> writeTextFile(const QString &file, const QString &text, bool byteOrderMark);

// An .xlsx workbook: titles, rows and footer; numbers as numbers with the
// grid's number format, dates as dates, everything else as text.
Result<void> writeXlsx(const ExportTable &table, const QString &file);

} // namespace tarvik
