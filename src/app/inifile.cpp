#include "app/inifile.h"

#include "data/dmdata.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace tarvik::app {

namespace {

// "[name]" -> name; empty when the line is no section header.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype end = t.indexOf(QLatin1Char(']'));
    if (end < 0)
        return {};
    const QString name = t.mid(1, end - 1).trimmed();
    return name.isEmpty() ? QStringLiteral(" ") : name; // "[]" still opens a (nameless) section
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

QString keyOf(const QString &line)
{
    if (isComment(line))
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq).trimmed();
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    // Values written by other tools may be quoted.
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
        v = v.mid(1, v.size() - 2);
    return v;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

IniFile::Lines IniFile::load() const
{
    Lines out;
    QFile f(m_fileName);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    // A file saved by an older copy of the program is in the GBK code page.
    if (utf8.hasError())
        text = fromGbk(bytes);
    out.crlf = text.contains(QStringLiteral("\r\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.lines = text.split(QLatin1Char('\n'));
    if (!out.lines.isEmpty() && out.lines.last().isEmpty())
        out.lines.removeLast();
    return out;
}

int IniFile::findKey(const QStringList &lines, const QString &section, const QString &key)
{
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString s = sectionOf(lines[i]);
        if (!s.isEmpty()) {
            inSection = same(s, section);
            continue;
        }
        if (inSection && same(keyOf(lines[i]), key))
            return i;
    }
    return -1;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return findKey(load().lines, section, key) >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    const Lines l = load();
    const int i = findKey(l.lines, section, key);
    return i < 0 ? fallback : valueOf(l.lines[i]);
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    const QString v = readString(section, key);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : fallback;
}

bool IniFile::readBool(const QString &section, const QString &key, bool fallback) const
{
    const QString v = readString(section, key).toLower();
    if (v.isEmpty())
        return fallback;
    if (v == QLatin1String("true") || v == QLatin1String("yes"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("no"))
        return false;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n != 0 : fallback;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // A line break inside a value would split it into lines of its own.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    Lines l = load();
    QStringList &lines = l.lines;
    const int at = findKey(lines, section, key);
    if (at >= 0) {
        lines[at] = keyOf(lines[at]) + QLatin1Char('=') + clean;
    } else {
        // After the last key of the first section of that name, or a new section at the end.
        int sectionLine = -1;
        for (int i = 0; i < lines.size() && sectionLine < 0; ++i)
            if (same(sectionOf(lines[i]), section))
                sectionLine = i;
        if (sectionLine >= 0) {
            int last = sectionLine;
            for (int i = sectionLine + 1; i < lines.size() && sectionOf(lines[i]).isEmpty(); ++i)
                if (!lines[i].trimmed().isEmpty())
                    last = i;
            lines.insert(last + 1, key + QLatin1Char('=') + clean);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + clean;
        }
    }

    const QString eol = l.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QSaveFile f(m_fileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write((lines.join(eol) + eol).toUtf8());
    return f.commit();
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace tarvik::app
