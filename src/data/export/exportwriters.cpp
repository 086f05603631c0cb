#include "data/export/exportwriters.h"

#include "data/export/excelformat.h"
#include "data/grid/displayformat.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace tarvik {

namespace {

Error cannotWrite(const QString &file, const QString &detail)
{
    return Error{QStringLiteral("无法写入文件“") + QDir::toNativeSeparators(file)
                     + QStringLiteral("”，请检查该文件夹是否存在并允许写入，以及该文件是否正被其他程序使用！"),
                 detail};
}

Error writeFailed(const QString &file, const QString &detail)
{
    return Error{QStringLiteral("导出文件“") + QDir::toNativeSeparators(file)
                     + QStringLiteral("”失败，请检查磁盘空间和写入权限！"),
                 detail};
}

// Every line of the table as texts: titles, rows, footer.
template <typename Fn>
void forEachLine(const ExportTable &t, Fn fn)
{
    fn(t.titles);
    for (const auto &row : t.rows) {
        QStringList line;
        line.reserve(row.size());
        for (const auto &cell : row)
            line << cell.text;
        fn(line);
    }
    if (!t.footer.isEmpty()) {
        QStringList line;
        for (const auto &cell : t.footer)
            line << cell.text;
        fn(line);
    }
}

QString alignName(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

QString rtfEscape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == '\n') {
            out += QStringLiteral("\\line ");
        } else if (u == '\t') {
            out += QStringLiteral("\\tab ");
        } else if (u == '\r') {
            continue;
        } else if (u < 0x80) {
            out += c;
        } else {
            // RTF takes a signed 16-bit code unit; a surrogate pair becomes two escapes.
            out += QStringLiteral("\\u") + QString::number(qint16(u)) + QLatin1Char('?');
        }
    }
    return out;
}

} // namespace

QString tabText(const ExportTable &t)
{
    QString out;
    forEachLine(t, [&](const QStringList &line) {
        QStringList clean;
        for (QString s : line) {
            s.replace(QLatin1Char('\t'), QLatin1Char(' '));
            s.replace(QLatin1Char('\r'), QLatin1Char(' '));
            s.replace(QLatin1Char('\n'), QLatin1Char(' '));
            clean << s;
        }
        out += clean.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    });
    return out;
}

QString csvText(const ExportTable &t)
{
    QString out;
    forEachLine(t, [&](const QStringList &line) {
        QStringList fields;
        for (const QString &s : line) {
            const bool quote = s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n'))
                || s.contains(QLatin1Char('\r')) || s.startsWith(QLatin1Char(' ')) || s.endsWith(QLatin1Char(' '));
            if (quote) {
                QString q = s;
                q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                fields << QLatin1Char('"') + q + QLatin1Char('"');
            } else {
                fields << s;
            }
        }
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    });
    return out;
}

QString htmlText(const ExportTable &t)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>")
        + t.name.toHtmlEscaped() + QStringLiteral("</title>\r\n<style>\r\n")
        + QStringLiteral("table { border-collapse: collapse; font-family: \"SimSun\", \"Noto Sans CJK SC\", sans-serif; font-size: 10pt; }\r\n")
        + QStringLiteral("th, td { border: 1px solid #808080; padding: 2px 4px; white-space: pre; }\r\n")
        + QStringLiteral("th { background: #e0e0e0; text-align: center; }\r\n")
        + QStringLiteral("tfoot td { font-weight: bold; }\r\n</style>\r\n</head>\r\n<body>\r\n<table>\r\n<thead>\r\n<tr>");
    for (const QString &title : t.titles)
        out += QStringLiteral("<th>") + title.toHtmlEscaped() + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\r\n</thead>\r\n<tbody>\r\n");
    auto cells = [&](const QList<ExportCell> &row) {
        out += QStringLiteral("<tr>");
        for (int c = 0; c < row.size(); ++c)
            out += QStringLiteral("<td style=\"text-align: ") + alignName(t.alignments.value(c)) + QStringLiteral("\">")
                + row[c].text.toHtmlEscaped() + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\r\n");
    };
    for (const auto &row : t.rows)
        cells(row);
    out += QStringLiteral("</tbody>\r\n");
    if (!t.footer.isEmpty()) {
        out += QStringLiteral("<tfoot>\r\n");
        cells(t.footer);
        out += QStringLiteral("</tfoot>\r\n");
    }
    out += QStringLiteral("</table>\r\n</body>\r\n</html>\r\n");
    return out;
}

QString rtfText(const ExportTable &t)
{
    // Column edges in twips: 15 twips to a pixel at 96 dpi.
    QString rowHead = QStringLiteral("\\trowd\\trgaph57\\trleft0");
    int edge = 0;
    for (int c = 0; c < t.titles.size(); ++c) {
        edge += std::max(t.widths.value(c, 80), 20) * 15;
        rowHead += QStringLiteral("\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                                  "\\clbrdrr\\brdrs\\brdrw10\\cellx")
            + QString::number(edge);
    }
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"
                                 "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\r\n\\f0\\fs20\r\n");
    auto line = [&](const QStringList &texts, bool header) {
        out += rowHead + QStringLiteral("\r\n");
        for (int c = 0; c < texts.size(); ++c) {
            const QString align = header ? QStringLiteral("\\qc") : QStringLiteral("\\q") + alignName(t.alignments.value(c)).left(1);
            out += QStringLiteral("\\pard\\intbl") + align + (header ? QStringLiteral("\\b ") : QStringLiteral(" "))
                + rtfEscape(texts[c]) + (header ? QStringLiteral("\\b0") : QString()) + QStringLiteral("\\cell\r\n");
        }
        out += QStringLiteral("\\row\r\n");
    };
    bool first = true;
    forEachLine(t, [&](const QStringList &texts) {
        line(texts, first);
        first = false;
    });
    out += QStringLiteral("\\pard\\par\r\n}\r\n");
    return out;
}

Result<void> writeTextFile(const QString &file, const QString &text, bool byteOrderMark)
{
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return cannotWrite(file, f.errorString());
    QByteArray bytes;
    if (byteOrderMark)
        bytes = QByteArrayLiteral("\xEF\xBB\xBF");
    bytes += text.toUtf8();
    if (f.write(bytes) != bytes.size()) {
        const QString detail = f.errorString();
        f.cancelWriting();
        return writeFailed(file, detail);
    }
    if (!f.commit())
        return writeFailed(file, f.errorString());
    return {};
}

namespace {

constexpr int kExcelMaxRows = 1048576;
constexpr int kExcelMaxText = 32767;

QString sheetName(const QString &name)
{
    QString s;
    for (QChar c : name)
        if (!QStringLiteral("[]:*?/\\").contains(c))
            s += c;
    s = s.trimmed();
    if (s.startsWith(QLatin1Char('\'')))
        s.remove(0, 1);
    s.truncate(31);
    return s.isEmpty() ? QStringLiteral("Sheet1") : s;
}

class Workbook {
public:
    explicit Workbook(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        m_wb = workbook_new(name.constData());
    }
    ~Workbook()
    {
        if (m_wb)
            workbook_close(m_wb); // only on an error path: frees what was built
    }
    lxw_workbook *get() const { return m_wb; }
    lxw_error close()
    {
        lxw_error e = workbook_close(m_wb);
        m_wb = nullptr;
        return e;
    }

    lxw_format *format(const QString &numFormat, Qt::Alignment align, bool bold)
    {
        const QString key = numFormat + QLatin1Char('\x1f') + QString::number(int(align)) + (bold ? QStringLiteral("b") : QString());
        auto it = m_formats.find(key);
        if (it != m_formats.end())
            return it->second;
        lxw_format *f = workbook_add_format(m_wb);
        if (!numFormat.isEmpty())
            format_set_num_format(f, numFormat.toUtf8().constData());
        if (align & Qt::AlignHCenter)
            format_set_align(f, LXW_ALIGN_CENTER);
        else if (align & Qt::AlignRight)
            format_set_align(f, LXW_ALIGN_RIGHT);
        else
            format_set_align(f, LXW_ALIGN_LEFT);
        if (bold)
            format_set_bold(f);
        m_formats.emplace(key, f);
        return f;
    }

private:
    lxw_workbook *m_wb = nullptr;
    std::map<QString, lxw_format *> m_formats;
};

QString lxwMessage(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

// The date (and time) a cell shows, when it shows one.
bool cellDate(const ExportCell &cell, lxw_datetime &out)
{
    if (cell.text.isEmpty() || !isDateValue(cell.value))
        return false;
    QDateTime dt;
    if (cell.value.metaType().id() == QMetaType::QDate)
        dt = QDateTime(cell.value.toDate(), QTime(0, 0));
    else if (cell.value.metaType().id() == QMetaType::QDateTime)
        dt = cell.value.toDateTime();
    else {
        const QString s = cell.value.toString();
        dt = QDateTime(QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd")),
                       s.size() >= 19 ? QTime::fromString(s.mid(11, 8), QStringLiteral("hh:mm:ss")) : QTime(0, 0));
    }
    if (!dt.date().isValid())
        return false;
    if (!dt.time().isValid())
        dt.setTime(QTime(0, 0));
    out = {dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(), dt.time().minute(),
           double(dt.time().second())};
    return true;
}

lxw_error writeCell(Workbook &wb, lxw_worksheet *ws, int row, int col, const ExportCell &cell, Qt::Alignment align,
                    bool bold)
{
    if (cell.text.isEmpty())
        return LXW_NO_ERROR;
    if (isNumericValue(cell.value) && !cell.value.isNull()) {
        const double v = cell.value.toDouble();
        return worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(col), v,
                                      wb.format(excelNumberFormat(cell.picture, v), align, bold));
    }
    lxw_datetime dt;
    if (cellDate(cell, dt)) {
        const bool withTime = dt.hour || dt.min || dt.sec != 0.0;
        return worksheet_write_datetime(ws, lxw_row_t(row), lxw_col_t(col), &dt,
                                        wb.format(withTime ? QStringLiteral("yyyy-mm-dd hh:mm:ss")
                                                           : QStringLiteral("yyyy-mm-dd"),
                                                  align, bold));
    }
    const QByteArray text = cell.text.left(kExcelMaxText).toUtf8();
    return worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), text.constData(), wb.format({}, align, bold));
}

} // namespace

Result<void> writeXlsx(const ExportTable &t, const QString &file)
{
    const int lines = 1 + int(t.rows.size()) + (t.footer.isEmpty() ? 0 : 1);
    if (lines > kExcelMaxRows)
        return makeError(QStringLiteral("数据共有 ") + QString::number(t.rows.size())
                             + QStringLiteral(" 行，超过了 Excel 工作表的行数上限，请改用文本或 CSV 格式导出！"),
                         QString());

    const QFileInfo target(file);
    QTemporaryFile tmp(target.absoluteDir().filePath(QStringLiteral(".~") + target.fileName() + QStringLiteral(".XXXXXX")));
    if (!tmp.open())
        return cannotWrite(file, tmp.errorString());
    const QString tmpPath = tmp.fileName();
    tmp.close();

    lxw_error err = LXW_NO_ERROR;
    {
        Workbook wb(tmpPath);
        if (!wb.get())
            return cannotWrite(file, QStringLiteral("workbook_new failed"));
        lxw_worksheet *ws = workbook_add_worksheet(wb.get(), sheetName(t.name).toUtf8().constData());
        if (!ws)
            ws = workbook_add_worksheet(wb.get(), nullptr);
        for (int c = 0; c < t.titles.size(); ++c) {
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), std::max(t.widths.value(c, 80), 24) / 7.0, nullptr);
            if (!err)
                err = worksheet_write_string(ws, 0, lxw_col_t(c), t.titles[c].left(kExcelMaxText).toUtf8().constData(),
                                             wb.format({}, Qt::AlignHCenter, true));
        }
        worksheet_freeze_panes(ws, 1, 0);
        int row = 1;
        for (const auto &line : t.rows) {
            for (int c = 0; c < line.size() && !err; ++c)
                err = writeCell(wb, ws, row, c, line[c], t.alignments.value(c), false);
            ++row;
        }
        for (int c = 0; c < t.footer.size() && !err; ++c)
            err = writeCell(wb, ws, row, c, t.footer[c], t.alignments.value(c), true);
        if (err)
            return writeFailed(file, lxwMessage(err)); // the workbook and the temporary file are dropped
        err = wb.close();
    }
    if (err) {
        QFile::remove(tmpPath);
        return writeFailed(file, lxwMessage(err));
    }
    QFile::setPermissions(tmpPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(tmpPath).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const QString detail = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(tmpPath);
        return cannotWrite(file, detail);
    }
    return {};
}

} // namespace tarvik
