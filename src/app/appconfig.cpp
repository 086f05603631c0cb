#include "app/appconfig.h"

#include "data/session.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvik::app {

namespace {
QString &folderOverride()
{
    static QString f;
    return f;
}
} // namespace

QString programFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    folderOverride() = folder;
}

IniFile config()
{
    return IniFile(QDir(programFolder()).filePath(QStringLiteral("config.ini")));
}

QString defaultDatabasePath()
{
    return QDir(programFolder()).filePath(QStringLiteral("data/Korvel.db"));
}

void loadConfigOptions()
{
    const IniFile ini = config();
    SystemOptions &o = systemOptions();
    o.BackupPolicy = ini.readInteger(kSectionConfig, kKeyBackupPolicy, 0);
    o.PrintRows = ini.readInteger(kSectionConfig, kKeyPrintRows, 5);
    o.BarcodeInput = ini.readBool(kSectionConfig, kKeyBarcode, false);
}

} // namespace tarvik::app
