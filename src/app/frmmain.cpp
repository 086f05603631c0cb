#include "app/frmmain.h"

#include "app/appconfig.h"
#include "app/frmoperlogin.h"
#include "data/commands.h"
#include "data/dmdata.h"
#include "data/forms.h"
#include "data/prompts.h"
#include "data/session.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QUrl>

namespace tarvik::app {

namespace {

constexpr int kSeparator = 0;

QFont songti(int pixels)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixels);
    return f;
}

} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setFont(songti(14));

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setActivationOrder(QMdiArea::CreationOrder);
    setCentralWidget(m_area);
    setChildHost(m_area);
    setMainWindow(this);

    buildMenus();
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrmMain::updateClock);
    Timer1->start();

    SetFormPlacement(this, 2);
}

TFrmMain::~TFrmMain()
{
    if (childHost() == m_area)
        setChildHost(nullptr);
}

void TFrmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    for (const CommandInfo &c : commandCatalogue()) {
        auto *a = new QAction(c.caption, this);
        a->setObjectName(QStringLiteral("Action%1").arg(c.code));
        const int code = c.code;
        connect(a, &QAction::triggered, this, [this, code] {
            if (code == 108)
                compactDatabase();
            else if (code == 109)
                chooseNetworkDatabase();
            else
                openCommand(code);
        });
    }

    auto addMenu = [&](QMenu *parentMenu, const QString &name, const QString &caption) {
        QMenu *m = parentMenu ? parentMenu->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("Item"));
        return m;
    };
    auto addCommands = [&](QMenu *m, std::initializer_list<int> codes) {
        for (int code : codes) {
            if (code == kSeparator)
                m->addSeparator();
            else
                m->addAction(commandAction(code));
        }
    };
    auto addItem = [&](QMenu *m, const QString &name, const QString &caption, void (TFrmMain::*slot)()) {
        QAction *a = m->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu *mi100 = addMenu(nullptr, QStringLiteral("mi100"), QStringLiteral("系统管理"));
    addCommands(mi100, {101, 102, 103, 110, kSeparator, 104, 105, 108, 109});
    QMenu *nImport = addMenu(mi100, QStringLiteral("nImport"), QStringLiteral("Excel 导入数据"));
    addCommands(nImport, {106, 107, 111, 112});
    mi100->addSeparator();
    addItem(mi100, QStringLiteral("N43"), QStringLiteral("重新登录"), &TFrmMain::relogin);
    QAction *exitItem = mi100->addAction(QStringLiteral("退出系统"));
    exitItem->setObjectName(QStringLiteral("N5"));
    connect(exitItem, &QAction::triggered, this, &QWidget::close);

    addCommands(addMenu(nullptr, QStringLiteral("mi200"), QStringLiteral("基本资料")),
                {201, 202, 206, 207, 203, 204, kSeparator, 205});
    addCommands(addMenu(nullptr, QStringLiteral("mi300"), QStringLiteral("业务管理")),
                {301, 302, kSeparator, 303, 304, 305, 306, 307, 308, 309, 310});
    addCommands(addMenu(nullptr, QStringLiteral("mi500"), QStringLiteral("查询统计")),
                {501, 502, 509, 503, 508, kSeparator, 504, 510, 505, 506, 507});
    addCommands(addMenu(nullptr, QStringLiteral("mi400"), QStringLiteral("报表中心")),
                {401, 402, 403, 404, 405, 406, 411, 412, kSeparator, 407, 408, 409, 410});

    m_windowMenu = addMenu(nullptr, QStringLiteral("vWindows"), QStringLiteral("窗体"));
    QAction *vw1 = m_windowMenu->addAction(QStringLiteral("重叠"));
    vw1->setObjectName(QStringLiteral("vw1"));
    connect(vw1, &QAction::triggered, m_area, &QMdiArea::cascadeSubWindows);
    addItem(m_windowMenu, QStringLiteral("vw2"), QStringLiteral("横向重排"), &TFrmMain::tileHorizontally);
    addItem(m_windowMenu, QStringLiteral("vw3"), QStringLiteral("纵向重排"), &TFrmMain::tileVertically);
    m_windowMenu->addSeparator();
    QAction *vw4 = m_windowMenu->addAction(QStringLiteral("切换"));
    vw4->setObjectName(QStringLiteral("vw4"));
    connect(vw4, &QAction::triggered, m_area, &QMdiArea::activateNextSubWindow);
    QAction *vw5 = m_windowMenu->addAction(QStringLiteral("关闭"));
    vw5->setObjectName(QStringLiteral("vw5"));
    connect(vw5, &QAction::triggered, m_area, &QMdiArea::closeActiveSubWindow);
    QAction *vw6 = m_windowMenu->addAction(QStringLiteral("全部关闭"));
    vw6->setObjectName(QStringLiteral("vw6"));
    connect(vw6, &QAction::triggered, this, [this] { closeAllChildren(); });
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TFrmMain::updateWindowMenu);

    QMenu *nFz = addMenu(nullptr, QStringLiteral("nFz"), QStringLiteral("辅助"));
    addItem(nFz, QStringLiteral("N24"), QStringLiteral("计算器"), &TFrmMain::startCalculator);
    addItem(nFz, QStringLiteral("N25"), QStringLiteral("笔记本"), &TFrmMain::startTextEditor);
    nFz->addSeparator();
    addItem(nFz, QStringLiteral("N8"), QStringLiteral("帮助文件"), &TFrmMain::openHelp);
    addItem(nFz, QStringLiteral("N7"), QStringLiteral("关于我们"), &TFrmMain::showAbout);
    addItem(nFz, QStringLiteral("N27"), QStringLiteral("访问我们的网站"), &TFrmMain::openWebsite);

    QAction *n41 = bar->addAction(QStringLiteral("导航图"));
    n41->setObjectName(QStringLiteral("N41"));
    connect(n41, &QAction::triggered, this, &TFrmMain::showDesktop);
}

void TFrmMain::buildStatusBar()
{
    QStatusBar *sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));
    sb->setFont(songti(13));
    sb->setSizeGripEnabled(true);
    const int widths[] = {100, 100, 100, 140};
    for (int i = 0; i < 5; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        l->setFont(songti(13));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (i < 4) {
            // The designed widths, unless the font on this desktop needs more for the clock.
            const int needed = l->fontMetrics().horizontalAdvance(QStringLiteral(" 0000-00-00 00:00:00")) + 12;
            l->setFixedWidth(i == 3 ? std::max(widths[i], needed) : widths[i]);
            sb->addWidget(l);
        } else {
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            sb->addWidget(l, 1);
        }
        m_panels[size_t(i)] = l;
    }
    m_panels[0]->setText(QStringLiteral(" 当前用户"));
    m_panels[2]->setText(QStringLiteral(" 当前日期时间"));
    m_panels[4]->setText(kAppTitle + QStringLiteral("    技术支持：") + kCompanyName + QLatin1Char(' '));
    updateClock();
}

QAction *TFrmMain::commandAction(int code) const
{
    return findChild<QAction *>(QStringLiteral("Action%1").arg(code), Qt::FindDirectChildrenOnly);
}

QMenu *TFrmMain::menuNamed(const QString &objectName) const
{
    return menuBar()->findChild<QMenu *>(objectName);
}

QAction *TFrmMain::itemNamed(const QString &objectName) const
{
    for (QAction *a : menuBar()->actions())
        if (a->objectName() == objectName)
            return a;
    for (QMenu *m : menuBar()->findChildren<QMenu *>())
        for (QAction *a : m->actions())
            if (a->objectName() == objectName)
                return a;
    return nullptr;
}

void TFrmMain::setOperatorPanel(const QString &name)
{
    m_panels[1]->setText(QLatin1Char(' ') + name);
}

void TFrmMain::updateClock()
{
    m_panels[3]->setText(QLatin1Char(' ') + now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown)
        runShowSteps();
}

void TFrmMain::runShowSteps()
{
    if (m_shown)
        return;
    m_shown = true;
    setWindowTitle(kProductName + kVersion);
    if (ScreenRegistry::has(kScreenDesktop))
        ScreenRegistry::open(kScreenDesktop);
    setOperatorPanel(loginContext().OperName);
    updateClock();
    loadConfigOptions();
    if (dmData) {
        if (TdmData::BackupDue(systemOptions().BackupPolicy, today()))
            dmData->AutoBackup();
        dmData->BuildDisplayFormats();
    }
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (!m_noQuestion) {
        if (ShowMsg(QStringLiteral("真的要退出“") + kProductName + QStringLiteral("”软件吗？"), MsgQuestion) != MsgOk) {
            event->ignore();
            return;
        }
        // Each child window may still hold unsaved work and ask about it; one that stays keeps the program open.
        if (!closeAllChildren()) {
            event->ignore();
            return;
        }
    }
    Timer1->stop();
    event->accept();
}

void TFrmMain::closeWithoutAsking()
{
    m_noQuestion = true;
    close();
}

void TFrmMain::notAvailable()
{
    ShowMsg(kMsgNotAvailable, MsgInfo);
}

void TFrmMain::openCommand(int code)
{
    if (!ScreenRegistry::open(code))
        notAvailable();
}

void TFrmMain::showDesktop()
{
    if (!ScreenRegistry::open(kScreenDesktop))
        notAvailable();
}

void TFrmMain::showAbout()
{
    if (!ScreenRegistry::open(kScreenAbout))
        notAvailable();
}

bool TFrmMain::closeAllChildren()
{
    const QList<QMdiSubWindow *> subs = m_area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        (*it)->close();
    return m_area->subWindowList().isEmpty();
}

void TFrmMain::compactDatabase()
{
    if (!dmData)
        return;
    // Windows hold rows and statements of their own: they go before the file is rewritten.
    if (!closeAllChildren())
        return;
    if (dmData->CompactDatabase())
        ShowMsg(QStringLiteral("压缩数据库成功！"), MsgInfo);
    else
        ShowMsg(QStringLiteral("压缩数据库失败！"), MsgError);
}

void TFrmMain::chooseNetworkDatabase()
{
    const QString file = prompts().openFile(
        QStringLiteral("连接网络数据库"), programFolder(),
        {QStringLiteral("Tarvik 数据库文件 (*.db)"), QStringLiteral("所有文件 (*)")});
    if (file.isEmpty())
        return;
    // The running connection stays; the chosen database is opened at the next start.
    if (!config().writeString(kSectionConfig, kKeyDataSource, QDir::toNativeSeparators(file)))
        ShowMsg(QStringLiteral("无法写入配置文件“%1”，所选数据库未能记住！").arg(config().fileName()), MsgError);
}

void TFrmMain::relogin()
{
    ShowLoginDialog(true, this);
}

void TFrmMain::tile(Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> subs;
    for (QMdiSubWindow *s : m_area->subWindowList(QMdiArea::CreationOrder))
        if (s->isVisible() && !s->isMinimized())
            subs << s;
    if (subs.isEmpty())
        return;
    const QRect area = m_area->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *s = subs[i];
        if (s->isMaximized())
            s->showNormal();
        if (orientation == Qt::Horizontal) {
            const int h = area.height() / n;
            s->setGeometry(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
        } else {
            const int w = area.width() / n;
            s->setGeometry(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
        }
    }
}

void TFrmMain::tileHorizontally()
{
    tile(Qt::Horizontal);
}

void TFrmMain::tileVertically()
{
    tile(Qt::Vertical);
}

void TFrmMain::updateWindowMenu()
{
    for (QAction *a : std::as_const(m_windowListActions)) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> subs = m_area->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty())
        return;
    m_windowListActions << m_windowMenu->addSeparator();
    int n = 0;
    for (QMdiSubWindow *s : subs) {
        const QString title = s->widget() ? s->widget()->windowTitle() : s->windowTitle();
        QAction *a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(title));
        a->setCheckable(true);
        a->setChecked(s == m_area->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, s] {
            if (s->isMinimized())
                s->showNormal();
            m_area->setActiveSubWindow(s);
        });
        m_windowListActions << a;
    }
}

void TFrmMain::startFirstOf(const QStringList &programs, const QString &missingMessage)
{
    for (const QString &p : programs)
        if (prompts().startProgram(p, {}))
            return;
    ShowMsg(missingMessage, MsgInfo);
}

void TFrmMain::startCalculator()
{
    startFirstOf({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("mate-calc"),
                  QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")},
                 QStringLiteral("没有找到计算器程序，请先在系统中安装一个计算器（例如 gnome-calculator 或 kcalc）。"));
}

void TFrmMain::startTextEditor()
{
    startFirstOf({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
                  QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"), QStringLiteral("xed"),
                  QStringLiteral("featherpad"), QStringLiteral("leafpad")},
                 QStringLiteral("没有找到文本编辑器程序，请先在系统中安装一个文本编辑器（例如 gedit 或 kate）。"));
}

void TFrmMain::openHelp()
{
    const QString file = QDir(programFolder()).filePath(QStringLiteral("help.html"));
    if (!QFileInfo::exists(file)) {
        ShowMsg(QStringLiteral("帮助文件“%1”不存在！").arg(QDir::toNativeSeparators(file)), MsgWarning);
        return;
    }
    if (!prompts().openUrl(QUrl::fromLocalFile(file)))
        ShowMsg(QStringLiteral("无法打开帮助文件“%1”，请检查系统是否安装了网页浏览器。").arg(QDir::toNativeSeparators(file)),
                MsgWarning);
}

void TFrmMain::openWebsite()
{
    if (!prompts().openUrl(QUrl(kVendorSite)))
        ShowMsg(QStringLiteral("无法打开网址 %1，请检查系统是否安装了网页浏览器。").arg(kVendorSite), MsgWarning);
}

} // namespace tarvik::app
