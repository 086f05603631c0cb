#pragma once

#include "data/database.h"
#include "data/dmdata.h"

#include <QStringList>

#include <memory>

namespace tarvik::app {

class TFrmMain;
class TfrmSplash;

// The start of the program up to the event loop: splash, configuration,
// the one database connection, the data module, the main window, the login.
class Startup {
public:
    Startup();
    ~Startup();
    Startup(const Startup &) = delete;
    Startup &operator=(const Startup &) = delete;

    // Runs every step; false when the program ends instead (the database
    // dialog or the login was cancelled, or the login failed).
    bool start();

    // The connection procedure alone: "ds" (or the default file), then, for
    // as long as the database cannot be opened, the file dialog, whose choice
    // is written to "ds" before the retry. Null when the user cancels.
    std::unique_ptr<Database> connectDatabase();

    TFrmMain *mainWindow() const { return m_main.get(); }
    TdmData *dataModule() const { return m_dm.get(); }
    // Every text the splash line showed, in order (across retries).
    const QStringList &splashTexts() const { return m_splashTexts; }

private:
    void showSplash();
    void closeSplash();
    void splashStatus(const QString &text);
    void warnIfNetworkFileSystem(const Database &db);

    std::unique_ptr<TfrmSplash> m_splash;
    std::unique_ptr<TdmData> m_dm;
    std::unique_ptr<TFrmMain> m_main;
    QStringList m_splashTexts;
};

// The warning for an SQLite file whose folder is on NFS, CIFS and the like.
inline const QString kMsgNetworkFileSystem = QStringLiteral(
    "数据库文件“%1”位于网络文件系统上。SQLite 数据库在网络文件系统上的文件锁并不可靠，"
    "多台工作站同时使用同一个文件可能损坏数据。\n\n"
    "如需多台工作站共用数据，请使用 PostgreSQL 数据库服务器（在 config.ini 的 ds 中填写 postgresql:// 地址）。");

// Calls registerScreens() of every layer that has screens.
void registerLayerScreens();

} // namespace tarvik::app
