#include "app/inifile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using tarvik::app::IniFile;

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(IniFile, missing_file_reads_defaults_and_is_not_created_by_reading)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("config.ini")));
    EXPECT_EQ(ini.readString(QStringLiteral("config"), QStringLiteral("ds")), QString());
    EXPECT_EQ(ini.readInteger(QStringLiteral("config"), QStringLiteral("iPrintNum"), 5), 5);
    EXPECT_FALSE(ini.readBool(QStringLiteral("config"), QStringLiteral("bTM"), false));
    EXPECT_FALSE(QFile::exists(ini.fileName()));
}

TEST(IniFile, sections_and_keys_match_without_regard_to_case)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config.ini"));
    writeAll(file, "; settings\r\n[Config]\r\nDS = /data/工厂/Korvel.db \r\niprintNum=8\r\nbTM=1\r\n[other]\r\nds=x\r\n");
    IniFile ini(file);
    EXPECT_EQ(ini.readString(QStringLiteral("config"), QStringLiteral("ds")), QStringLiteral("/data/工厂/Korvel.db"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("CONFIG"), QStringLiteral("iPrintNum"), 5), 8);
    EXPECT_TRUE(ini.readBool(QStringLiteral("config"), QStringLiteral("btm"), false));
    EXPECT_EQ(ini.readString(QStringLiteral("Other"), QStringLiteral("DS")), QStringLiteral("x"));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("config"), QStringLiteral("ibak")));
}

TEST(IniFile, values_that_are_not_numbers_give_the_default)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config.ini"));
    writeAll(file, "[config]\nibak=abc\niPrintNum=\nbTM=maybe\n");
    IniFile ini(file);
    EXPECT_EQ(ini.readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 0), 0);
    EXPECT_EQ(ini.readInteger(QStringLiteral("config"), QStringLiteral("iPrintNum"), 5), 5);
    EXPECT_TRUE(ini.readBool(QStringLiteral("config"), QStringLiteral("bTM"), true));
}

TEST(IniFile, writing_replaces_one_value_and_keeps_every_other_line)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config.ini"));
    writeAll(file, "; 本机设置\r\n[Config]\r\nDs=old.db\r\n\r\n[other]\r\nkeep=1\r\n");
    IniFile ini(file);
    ASSERT_TRUE(ini.writeString(QStringLiteral("config"), QStringLiteral("ds"), QStringLiteral("/mnt/共享/新.db")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("CONFIG"), QStringLiteral("CurOperCode"), QStringLiteral("001")));
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("backup"), QStringLiteral("ibak"), 2));
    EXPECT_EQ(QString::fromUtf8(readAll(file)),
              QStringLiteral("; 本机设置\r\n[Config]\r\nDs=/mnt/共享/新.db\r\nCurOperCode=001\r\n\r\n[other]\r\nkeep=1\r\n"
                             "\r\n[backup]\r\nibak=2\r\n"));
    // A second object on the same file sees the writes.
    EXPECT_EQ(IniFile(file).readString(QStringLiteral("config"), QStringLiteral("DS")), QStringLiteral("/mnt/共享/新.db"));
}

TEST(IniFile, writing_creates_the_file_and_a_line_break_cannot_split_a_value)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config.ini"));
    IniFile ini(file);
    ASSERT_TRUE(ini.writeString(QStringLiteral("config"), QStringLiteral("ds"), QStringLiteral("a\nb=c")));
    ASSERT_TRUE(ini.writeBool(QStringLiteral("config"), QStringLiteral("bTM"), true));
    EXPECT_EQ(readAll(file), QByteArray("[config]\nds=a b=c\nbTM=1\n"));
    EXPECT_TRUE(ini.readBool(QStringLiteral("config"), QStringLiteral("bTM"), false));
}

TEST(IniFile, a_file_in_the_old_gbk_code_page_is_still_read)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config.ini"));
    // "[config]\nds=D:\数据\Korvel.mdb" as an older copy of the program saved it.
    writeAll(file, QByteArray("[config]\r\nds=D:\\\xCA\xFD\xBE\xDD\\Korvel.mdb\r\n"));
    EXPECT_EQ(IniFile(file).readString(QStringLiteral("config"), QStringLiteral("ds")),
              QStringLiteral("D:\\数据\\Korvel.mdb"));
}

TEST(IniFile, a_folder_that_cannot_be_written_reports_failure)
{
    IniFile ini(QStringLiteral("/proc/tarvik-no-such-dir/config.ini"));
    EXPECT_FALSE(ini.writeString(QStringLiteral("config"), QStringLiteral("ds"), QStringLiteral("x")));
}
