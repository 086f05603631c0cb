#pragma once

#include <QString>
#include <QStringList>

namespace tarvik::app {

// An INI file as the program has always kept its settings: sections and keys
// matched without regard to case, UTF-8 text, every other line left as it was
// when a key is written. The file is read afresh on every call, so two objects
// (or two copies of the program) naming the same file see each other's writes.
// A missing file reads as empty; writing a key creates it.
class IniFile {
public:
    explicit IniFile(QString fileName);

    const QString &fileName() const { return m_fileName; }

    bool hasKey(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &fallback = {}) const;
    int readInteger(const QString &section, const QString &key, int fallback) const;
    bool readBool(const QString &section, const QString &key, bool fallback) const;

    // false when the file could not be written (nothing is changed then).
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);

private:
    struct Lines {
        QStringList lines;
        bool crlf = false;
    };
    Lines load() const;
    // Index of the line holding the key, -1 when absent.
    static int findKey(const QStringList &lines, const QString &section, const QString &key);

    QString m_fileName;
};

} // namespace tarvik::app
