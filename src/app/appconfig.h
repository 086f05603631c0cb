#pragma once

#include "app/inifile.h"

#include <QString>

namespace tarvik::app {

// The program folder: the folder of the running executable (tests point it elsewhere).
QString programFolder();
void setProgramFolder(const QString &folder); // empty = the executable's folder again

// config.ini in the program folder.
IniFile config();

// The database used when "ds" is empty: data/Korvel.db below the program folder.
QString defaultDatabasePath();

// Keys of config.ini (sections and keys are matched without regard to case).
inline const QString kSectionConfig = QStringLiteral("config");
inline const QString kKeyDataSource = QStringLiteral("ds");
inline const QString kKeyCurOperCode = QStringLiteral("CurOperCode");
inline const QString kKeyBackupPolicy = QStringLiteral("ibak");
inline const QString kKeyPrintRows = QStringLiteral("iPrintNum");
inline const QString kKeyBarcode = QStringLiteral("bTM");

// Reads "ibak", "iPrintNum" and "bTM" into systemOptions().
void loadConfigOptions();

} // namespace tarvik::app
