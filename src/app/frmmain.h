#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>

#include <array>

namespace tarvik::app {

// The main window: the frame of every child window, the command catalogue
// (Action101 ... Action510) in its menus, the status bar with the clock, and
// the commands that are not screens (re-login, exit, compaction, the choice of
// a network database, window arrangement, small utilities).
class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;

    QMdiArea *mdiArea() const { return m_area; }
    QAction *commandAction(int code) const;       // "Action" + code, nullptr for unknown codes
    QMenu *menuNamed(const QString &objectName) const; // mi100 ... mi500, nImport, vWindows, nFz
    QAction *itemNamed(const QString &objectName) const; // N43, N5, vw1 ..., N24 ..., N41
    QLabel *panel(int index) const { return m_panels.at(size_t(index)); }
    QTimer *Timer1;

    // The steps of the first showing (caption, desktop, options, backup, formats); run once.
    bool showStepsDone() const { return m_shown; }
    void runShowSteps();

    // The commands.
    void openCommand(int code);
    void compactDatabase();       // Action108
    void chooseNetworkDatabase(); // Action109
    void relogin();               // N43
    void showDesktop();           // N41
    void tileHorizontally();      // vw2: every window as wide as the frame, stacked
    void tileVertically();        // vw3: every window as high as the frame, side by side
    bool closeAllChildren();      // vw6, last to first; false when one stays open
    void startCalculator();       // N24
    void startTextEditor();       // N25
    void openHelp();              // N8
    void showAbout();             // N7
    void openWebsite();           // N27

    void setOperatorPanel(const QString &name);
    void updateClock();
    void updateWindowMenu();

    // Ends the program without the exit question (a failed start-up login).
    void closeWithoutAsking();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void notAvailable();
    void startFirstOf(const QStringList &programs, const QString &missingMessage);
    void tile(Qt::Orientation orientation);

    QMdiArea *m_area;
    std::array<QLabel *, 5> m_panels{};
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListActions;
    bool m_shown = false;
    bool m_noQuestion = false;
};

// The main window's texts that other parts of the program show as well.
inline const QString kMsgNotAvailable = QStringLiteral("此功能在当前版本中尚未提供，敬请期待！");
inline const QString kVendorSite = QStringLiteral("https://www.example.com/tarvik/");

} // namespace tarvik::app
