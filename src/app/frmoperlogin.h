#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvik::app {

class TFrmMain;

// The login dialog: at start-up (a cancel or a fourth wrong password ends the
// program) and for "重新登录" (the working operator stays logged in then).
class TfrmOperLogin : public QDialog {
    Q_OBJECT
public:
    TfrmOperLogin(bool relogin, TFrmMain *main, QWidget *parent = nullptr);

    QLabel *Label6;
    QLineEdit *edtOperCode;
    QLineEdit *edtOperName;
    QLineEdit *edtPassWord;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    bool isRelogin() const { return m_relogin; }
    int failures() const { return m_failures; }
    // At start-up: the dialog was cancelled or failed, so the program ends.
    bool endsProgram() const { return m_endsProgram; }

    void btnOkClick();
    void btnCancelClick();
    void edtOperCodeExit(); // looks the name of the typed code up
    // Shows or hides the main window's commands by the permissions of the logged-in operator.
    void SetLimits();

    void reject() override; // Esc is swallowed: the dialog is left through its buttons only

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void loadLoginRecord();
    QString lookUpName(const QString &code) const;

    bool m_relogin;
    TFrmMain *m_main;
    int m_failures = 0;
    bool m_endsProgram = false;
};

// Runs the login dialog modally; true when an operator logged in.
bool ShowLoginDialog(bool relogin, TFrmMain *main);

// The gating of the main window by LoginContext: every command by HasPermission
// (all for "000"), the spreadsheet imports only for "000", each top menu only
// with a visible command; "窗体", "辅助" and "导航图" always.
void SetLimits(TFrmMain &main);

// Loads the database options of SystemOptions: SysInfo and the twelve KeyValue rows.
void loadDatabaseOptions();

} // namespace tarvik::app
