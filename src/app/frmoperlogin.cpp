#include "app/frmoperlogin.h"

#include "app/appconfig.h"
#include "app/frmmain.h"
#include "data/commands.h"
#include "data/dmdata.h"
#include "data/prompts.h"
#include "data/rowset.h"
#include "data/session.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QSet>

namespace tarvik::app {

namespace {

QFont songti(int pixels)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixels);
    return f;
}

} // namespace

TfrmOperLogin::TfrmOperLogin(bool relogin, TFrmMain *main, QWidget *parent)
    : QDialog(parent ? parent : static_cast<QWidget *>(main),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_relogin(relogin), m_main(main)
{
    setObjectName(QStringLiteral("frmOperLogin"));
    setWindowTitle(QStringLiteral("登录窗口"));
    setFont(songti(14));
    setFixedSize(372, 301);
    setModal(true);

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(14, 12, 344, 222);

    Label6 = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统超级用户编号“000”，系统初始密码为空："), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setWordWrap(true);
    Label6->setStyleSheet(QStringLiteral("color: blue;"));
    Label6->setGeometry(30, 24, 312, 48);

    auto row = [this](const QString &caption, int top) {
        auto *l = new QLabel(caption, this);
        l->setGeometry(56, top + 3, 72, 22);
        auto *e = new QLineEdit(this);
        e->setGeometry(132, top, 180, 26);
        l->setBuddy(e);
        return e;
    };
    edtOperCode = row(QStringLiteral("编  号："), 92);
    edtOperCode->setObjectName(QStringLiteral("edtOperCode"));
    edtOperCode->setMaxLength(50);
    edtOperName = row(QStringLiteral("姓  名："), 136);
    edtOperName->setObjectName(QStringLiteral("edtOperName"));
    edtOperName->setReadOnly(true);
    edtOperName->setStyleSheet(QStringLiteral("background-color: #FFFFE1;"));
    // Shown, not typed: Tab and Enter go from the code straight to the password.
    edtOperName->setFocusPolicy(Qt::ClickFocus);
    edtPassWord = row(QStringLiteral("密  码："), 180);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(88, 252, 88, 30);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(196, 252, 88, 30);
    for (QPushButton *b : {btnOk, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    setTabOrder(edtOperCode, edtPassWord);
    setTabOrder(edtPassWord, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TfrmOperLogin::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOperLogin::btnCancelClick);
    for (QWidget *w : std::initializer_list<QWidget *>{edtOperCode, edtOperName, edtPassWord, btnOk, btnCancel})
        w->installEventFilter(this);

    if (QScreen *s = QApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }

    // The operator of the last successful login is proposed.
    edtOperCode->setText(config().readString(kSectionConfig, kKeyCurOperCode));
    edtOperName->setText(lookUpName(edtOperCode->text().trimmed()));
    if (edtOperName->text().isEmpty())
        edtOperCode->setFocus();
    else
        edtPassWord->setFocus();
}

QString TfrmOperLogin::lookUpName(const QString &code) const
{
    if (!dmData)
        return {};
    return dmData->QueryText(QStringLiteral("SELECT F_Name FROM OperList WHERE F_Code = ?"), {code});
}

void TfrmOperLogin::edtOperCodeExit()
{
    edtOperName->setText(lookUpName(edtOperCode->text()));
}

bool TfrmOperLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && (watched == edtOperCode || watched == edtOperName)) {
        edtOperCodeExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOperLogin::closeEvent(QCloseEvent *event)
{
    // Alt+F4 and the window manager's close: only the two buttons leave the dialog.
    event->ignore();
}

void TfrmOperLogin::reject() {}

void TfrmOperLogin::btnCancelClick()
{
    if (!m_relogin)
        m_endsProgram = true;
    done(QDialog::Rejected);
}

void TfrmOperLogin::btnOkClick()
{
    // The name always belongs to the code in the field, however the button was reached.
    edtOperCodeExit();
    const QString code = edtOperCode->text();
    if (code.trimmed().isEmpty()) {
        ShowMsg(QStringLiteral("请选择用户！"), MsgInfo);
        edtOperCode->setFocus();
        return;
    }
    if (edtOperName->text().trimmed().isEmpty()) {
        ShowMsg(QStringLiteral("此操作员并不存在，请重新选择操作员！"), MsgInfo);
        edtOperCode->setFocus();
        return;
    }
    const QString stored = dmData->QueryText(QStringLiteral("SELECT F_PassWord FROM OperList WHERE F_Code = ?"), {code});
    if (TdmData::UnscramblePassword(stored).trimmed() == edtPassWord->text().trimmed()) {
        loadLoginRecord();
        done(QDialog::Accepted);
        return;
    }
    ++m_failures;
    if (m_failures < 4) {
        ShowMsg(QStringLiteral("用户名或密码不正确，请重新输入！"), MsgInfo);
        edtPassWord->setFocus();
        edtPassWord->selectAll();
        return;
    }
    if (m_relogin) {
        ShowMsg(QStringLiteral("更换操作员失败!"), MsgError);
    } else {
        ShowMsg(QStringLiteral("非法操作员!"), MsgError);
        m_endsProgram = true;
    }
    done(QDialog::Rejected);
}

void TfrmOperLogin::loadLoginRecord()
{
    LoginContext c;
    c.OperCode = edtOperCode->text();
    c.OperName = edtOperName->text();
    config().writeString(kSectionConfig, kKeyCurOperCode, c.OperCode);
    c.PartCode = dmData->QueryText(QStringLiteral("SELECT F_PartCode FROM OperList WHERE F_Code = ?"), {c.OperCode});
    if (c.isSuper()) {
        c.New = c.Edit = c.Del = c.Check = c.Set = c.KHedit = c.Price = true;
    } else {
        RowSet rights;
        if (dmData->OpenQuery(QStringLiteral("SELECT F_new, F_edit, F_del, F_check, F_set, F_KHedit, F_price"
                                             " FROM OperList WHERE F_Code = ?"),
                              {c.OperCode}, rights)
            && rights.count() > 0) {
            c.New = rights.value(0, QStringLiteral("F_new")).toBool();
            c.Edit = rights.value(0, QStringLiteral("F_edit")).toBool();
            c.Del = rights.value(0, QStringLiteral("F_del")).toBool();
            c.Check = rights.value(0, QStringLiteral("F_check")).toBool();
            c.Set = rights.value(0, QStringLiteral("F_set")).toBool();
            c.KHedit = rights.value(0, QStringLiteral("F_KHedit")).toBool();
            c.Price = rights.value(0, QStringLiteral("F_price")).toBool();
        }
    }
    c.PriceHidden = c.Price ? QString() : QStringLiteral("1");
    loginContext() = c;

    SetLimits();
    loadDatabaseOptions();
    if (m_main) {
        m_main->setOperatorPanel(c.OperName);
        m_main->updateClock();
    }
}

void TfrmOperLogin::SetLimits()
{
    if (m_main)
        app::SetLimits(*m_main);
}

void loadDatabaseOptions()
{
    SystemOptions &o = systemOptions();
    RowSet info;
    if (dmData->OpenQuery(QStringLiteral("SELECT F_Code, F_iAmount, F_iPrice, F_iTotal, F_b2 FROM SysInfo"), {}, info)
        && info.count() > 0) {
        o.CompanyName = info.text(0, QStringLiteral("F_Code"));
        o.AmountDecimals = info.value(0, QStringLiteral("F_iAmount")).toInt();
        o.PriceDecimals = info.value(0, QStringLiteral("F_iPrice")).toInt();
        o.TotalDecimals = info.value(0, QStringLiteral("F_iTotal")).toInt();
        o.AutoItemCode = info.value(0, QStringLiteral("F_b2")).toBool();
    }
    // Rows beyond the twelfth have no entry; entries without a row stay empty and hidden.
    o.CustomCaptions.fill(QString());
    o.CustomVisible.fill(false);
    RowSet keys;
    if (dmData->OpenQuery(QStringLiteral("SELECT F_Value, F_Flag FROM KeyValue ORDER BY F_ID"), {}, keys)) {
        for (int r = 0; r < keys.count() && r < int(o.CustomCaptions.size()); ++r) {
            o.CustomCaptions[size_t(r)] = keys.text(r, QStringLiteral("F_Value"));
            o.CustomVisible[size_t(r)] = keys.value(r, QStringLiteral("F_Flag")).toBool();
        }
    }
}

void SetLimits(TFrmMain &main)
{
    const bool super = loginContext().isSuper();
    // The rule of HasPermission (a PartLimit row for the role and the code), read in one
    // statement: a broken connection gives one message, not one per command.
    QSet<QString> granted;
    if (!super) {
        RowSet rows;
        if (dmData->OpenQuery(QStringLiteral("SELECT F_LmtCode FROM PartLimit WHERE F_PartCode = ?"),
                              {loginContext().PartCode}, rows))
            for (int r = 0; r < rows.count(); ++r)
                granted.insert(rows.text(r, QStringLiteral("F_LmtCode")));
    }
    std::map<int, bool> menuHasCommand;
    for (const CommandInfo &c : commandCatalogue()) {
        QAction *a = main.commandAction(c.code);
        if (!a)
            continue;
        const bool visible = super || granted.contains(QString::number(c.code));
        a->setVisible(visible);
        a->setEnabled(visible);
        menuHasCommand[c.code / 100] |= visible;
    }
    if (QMenu *imports = main.menuNamed(QStringLiteral("nImport")))
        imports->menuAction()->setVisible(super);
    for (int group = 1; group <= 5; ++group)
        if (QMenu *m = main.menuNamed(QStringLiteral("mi%1").arg(group * 100)))
            m->menuAction()->setVisible(menuHasCommand[group]);
}

bool ShowLoginDialog(bool relogin, TFrmMain *main)
{
    TfrmOperLogin dlg(relogin, main);
    return prompts().execDialog(dlg) == QDialog::Accepted && dlg.result() == QDialog::Accepted;
}

} // namespace tarvik::app
