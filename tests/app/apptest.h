#pragma once

#include "app/appconfig.h"
#include "app/frmmain.h"
#include "app/frmoperlogin.h"
#include "data/forms.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace tarvik::test {

// A child window that logs its closing and may refuse it (unsaved work).
class ProbeForm : public QWidget {
    Q_OBJECT
public:
    ProbeForm() { setWindowTitle(QStringLiteral("原材料管理")); resize(300, 200); }
    static inline QStringList *closeLog = nullptr;
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (refuseClose) {
            e->ignore();
            return;
        }
        if (closeLog)
            closeLog->append(windowTitle());
        e->accept();
    }
};

class OtherProbeForm : public ProbeForm {
    Q_OBJECT
public:
    OtherProbeForm() { setWindowTitle(QStringLiteral("产成品管理")); }
};

// Types the given code and password attempts into the login dialog, pressing
// 确定 after each, and returns the dialog's result.
inline std::function<int(QDialog &)> typeLogin(QList<QPair<QString, QString>> attempts)
{
    return [attempts](QDialog &d) {
        auto &dlg = static_cast<app::TfrmOperLogin &>(d);
        for (const auto &[code, password] : attempts) {
            dlg.edtOperCode->setText(code);
            dlg.edtPassWord->setText(password);
            dlg.btnOk->click();
            if (dlg.result() == QDialog::Accepted)
                break;
        }
        return dlg.result();
    };
}

// An operator with a role and record rights; the password is stored scrambled.
inline void addOperator(Database &db, const QString &code, const QString &name, const QString &password,
                        const QString &role, bool rights = false, bool disabled = false)
{
    auto r = db.exec(QStringLiteral("INSERT INTO OperList (F_Code, F_Name, F_PassWord, F_PartCode, F_Flag, F_new, F_edit,"
                                    " F_del, F_check, F_set, F_KHedit, F_price) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {code, name, TdmData::ScramblePassword(password), role, disabled, rights, rights, rights, rights,
                      rights, rights, rights});
    ASSERT_TRUE(r.ok()) << r.error().detail.toStdString();
}

inline void grant(Database &db, const QString &role, const QStringList &codes)
{
    for (const QString &c : codes) {
        auto r = db.exec(QStringLiteral("INSERT INTO PartLimit (F_PartCode, F_LmtCode) VALUES (?, ?)"), {role, c});
        ASSERT_TRUE(r.ok()) << r.error().detail.toStdString();
    }
}

// A fresh database as the data module, a program folder of its own and a main window.
class AppTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(m_folder.isValid());
        app::setProgramFolder(m_folder.path());
        ScreenRegistry::clear();
        m_main = std::make_unique<app::TFrmMain>();
    }
    void TearDown() override
    {
        m_main.reset();
        ScreenRegistry::clear();
        app::setProgramFolder({});
        EngineTest::TearDown();
    }
    app::TFrmMain &main() { return *m_main; }
    QString folder() const { return m_folder.path(); }

    ScriptedPrompts m_prompts;
    QTemporaryDir m_folder;
    std::unique_ptr<app::TFrmMain> m_main;
};

} // namespace tarvik::test
