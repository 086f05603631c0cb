#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QDialog;
class QWidget;

namespace tarvik {

// Message kinds of ShowMsg.
enum MsgKind { MsgInfo = 0, MsgQuestion = 1, MsgWarning = 2, MsgError = 3 };
enum MsgResult { MsgOk = 1, MsgCancel = 2 };

// Every message box, file, folder and text prompt and every modal dialog of the
// program goes through one Prompts object, so tests can answer them.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Returns MsgOk or MsgCancel (only questions can give MsgCancel).
    virtual int message(const QString &text, int kind, const QString &detail) = 0;
    // Filters in Qt form ("Excel 文档 (*.xlsx)"); an empty result means cancelled.
    virtual QString openFile(const QString &title, const QString &dir, const QStringList &filters) = 0;
    struct SaveChoice {
        QString file;
        int filterIndex = 1; // 1-based, as the callers count filters
    };
    virtual std::optional<SaveChoice> saveFile(const QString &title, const QString &dir, const QString &defaultName,
                                               const QStringList &filters, int filterIndex) = 0;
    virtual QString folder(const QString &title, const QString &dir) = 0;
    virtual std::optional<QString> text(const QString &title, const QString &label, const QString &initial,
                                        bool password) = 0;
    // Runs a modal dialog and returns its result code.
    virtual int execDialog(QDialog &dialog) = 0;
    // Hands a file, web address or program to the desktop; false when nothing could open it.
    virtual bool openUrl(const QUrl &url) = 0;
    virtual bool startProgram(const QString &program, const QStringList &args) = 0;
};

// The real dialogs, owned by the active window.
class WidgetPrompts : public Prompts {
public:
    int message(const QString &text, int kind, const QString &detail) override;
    QString openFile(const QString &title, const QString &dir, const QStringList &filters) override;
    std::optional<SaveChoice> saveFile(const QString &title, const QString &dir, const QString &defaultName,
                                       const QStringList &filters, int filterIndex) override;
    QString folder(const QString &title, const QString &dir) override;
    std::optional<QString> text(const QString &title, const QString &label, const QString &initial,
                                bool password) override;
    int execDialog(QDialog &dialog) override;
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &args) override;
};

Prompts &prompts();
// Installs a responder (not owned); nullptr restores the real dialogs.
void setPrompts(Prompts *responder);

// The caption of a message kind: "提示信息", "询问信息", "警示信息", "错误信息".
QString msgCaption(int kind);

// Shows a message box of the given kind; returns MsgOk (1) or MsgCancel (2).
int ShowMsg(const QString &text, int kind, const QString &detail = {});

// Turns "Excel 文档 (*.xlsx)|*.XLSX|Text files (*.txt)|*.TXT" into Qt filter strings.
QStringList filtersFromPairs(const QString &pairs);

// The active window, the owner of message boxes and dialogs.
QWidget *activeOwner();

} // namespace tarvik
