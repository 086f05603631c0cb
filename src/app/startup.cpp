#include "app/startup.h"

#include "app/appconfig.h"
#include "app/frmmain.h"
#include "app/frmoperlogin.h"
#include "app/frmsplash.h"
#include "data/prompts.h"
#include "data/session.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPainter>
#include <QThread>

namespace tarvik::app {

namespace {

// The program's icon (title bars, child windows, task bar), drawn rather than shipped.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1F, 0x5F, 0xA8));
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setBold(true);
        f.setPixelSize(int(size * 0.62));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("T"));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

Startup::Startup() = default;

Startup::~Startup()
{
    // Child windows may still use the data module while they close.
    m_main.reset();
    if (dmData == m_dm.get())
        dmData = nullptr;
    m_dm.reset();
}

void Startup::showSplash()
{
    m_splash = std::make_unique<TfrmSplash>();
    m_splashTexts << m_splash->history();
    m_splash->show();
    m_splash->repaintNow();
}

void Startup::closeSplash()
{
    m_splash.reset();
}

void Startup::splashStatus(const QString &text)
{
    if (m_splash)
        m_splash->setStatus(text);
    m_splashTexts << text;
}

void Startup::warnIfNetworkFileSystem(const Database &db)
{
    if (db.isSqlite() && Database::isNetworkFileSystem(db.spec().path))
        ShowMsg(kMsgNetworkFileSystem.arg(QDir::toNativeSeparators(db.spec().path)), MsgWarning);
}

std::unique_ptr<Database> Startup::connectDatabase()
{
    if (!m_splash)
        showSplash();
    QString target = config().readString(kSectionConfig, kKeyDataSource).trimmed();
    if (target.isEmpty())
        target = defaultDatabasePath();
    for (;;) {
        if (m_splash)
            m_splash->repaintNow();
        splashStatus(QStringLiteral("正在连接数据库 ....."));
        auto db = Database::open(target);
        if (db) {
            splashStatus(QStringLiteral("连接成功，正在登录 ..."));
            return std::move(db).value();
        }
        // No message: the user points to the database instead.
        closeSplash();
        const QString chosen = prompts().openFile(QString(), programFolder(), {});
        if (chosen.isEmpty())
            return nullptr;
        target = QDir::toNativeSeparators(chosen);
        if (!config().writeString(kSectionConfig, kKeyDataSource, target))
            ShowMsg(QStringLiteral("无法写入配置文件“%1”，下次启动时需要重新选择数据库。").arg(config().fileName()),
                    MsgWarning);
        showSplash();
    }
}

bool Startup::start()
{
    QApplication::setApplicationName(kAppTitle);
    QApplication::setWindowIcon(programIcon());
    showSplash();

    auto db = connectDatabase();
    if (!db) {
        closeSplash();
        return false;
    }
    warnIfNetworkFileSystem(*db);
    m_dm = std::make_unique<TdmData>(std::move(db));
    dmData = m_dm.get();
    registerLayerScreens();

    splashStatus(QStringLiteral("连接成功，正在登录 ....."));
    m_main = std::make_unique<TFrmMain>();
    splashStatus(QStringLiteral("连接成功，正在登录 ..."));
    QThread::msleep(20);
    splashStatus(QStringLiteral("连接成功，正在登录 ....."));
    closeSplash();

    if (!ShowLoginDialog(false, m_main.get())) {
        m_main->closeWithoutAsking();
        m_main.reset();
        return false;
    }
    m_main->show();
    return true;
}

} // namespace tarvik::app
