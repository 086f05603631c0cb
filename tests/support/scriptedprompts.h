#pragma once

#include "data/prompts.h"

#include <QDialog>
#include <QList>

#include <deque>
#include <functional>
#include <optional>

namespace tarvik::test {

// Answers every prompt from a script and records what was shown. A prompt
// without a scripted answer is recorded as unexpected and answered with Cancel.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        int kind;
        QString detail;
    };

    ScriptedPrompts() { setPrompts(this); }
    ~ScriptedPrompts() override { setPrompts(nullptr); }

    // Scripts.
    void answerMessages(std::initializer_list<int> answers) { m_messageAnswers.insert(m_messageAnswers.end(), answers); }
    void answerAllMessages(int answer) { m_defaultMessage = answer; }
    void answerFile(const QString &file) { m_fileAnswers.push_back(file); }
    void answerSave(const QString &file, int filterIndex) { m_saveAnswers.push_back(SaveChoice{file, filterIndex}); }
    void answerFolder(const QString &folder) { m_folderAnswers.push_back(folder); }
    void answerText(std::optional<QString> text) { m_textAnswers.push_back(std::move(text)); }
    // A dialog handler gets the dialog (already built, not yet shown) and returns its result code.
    void answerDialog(std::function<int(QDialog &)> handler) { m_dialogAnswers.push_back(std::move(handler)); }

    // Records.
    QList<Shown> shown;
    QStringList unexpected;
    QStringList fileDialogs;   // titles of file dialogs
    QList<QUrl> openedUrls;
    QStringList startedPrograms;
    bool urlOpens = true;
    bool programsStart = true;

    QStringList texts() const
    {
        QStringList t;
        for (const auto &s : shown)
            t << s.text;
        return t;
    }
    void clear()
    {
        shown.clear();
        unexpected.clear();
    }

    int message(const QString &text, int kind, const QString &detail) override
    {
        shown.append({text, kind, detail});
        if (!m_messageAnswers.empty()) {
            int a = m_messageAnswers.front();
            m_messageAnswers.pop_front();
            return a;
        }
        if (kind == MsgQuestion && !m_defaultMessage)
            unexpected << QStringLiteral("question: ") + text;
        return m_defaultMessage.value_or(kind == MsgQuestion ? MsgCancel : MsgOk);
    }
    QString openFile(const QString &title, const QString &, const QStringList &) override
    {
        fileDialogs << title;
        if (m_fileAnswers.empty()) {
            unexpected << QStringLiteral("open file: ") + title;
            return {};
        }
        QString f = m_fileAnswers.front();
        m_fileAnswers.pop_front();
        return f;
    }
    std::optional<SaveChoice> saveFile(const QString &title, const QString &, const QString &, const QStringList &,
                                       int) override
    {
        fileDialogs << title;
        if (m_saveAnswers.empty()) {
            unexpected << QStringLiteral("save file: ") + title;
            return std::nullopt;
        }
        auto c = m_saveAnswers.front();
        m_saveAnswers.pop_front();
        if (c.file.isEmpty())
            return std::nullopt;
        return c;
    }
    QString folder(const QString &title, const QString &) override
    {
        if (m_folderAnswers.empty()) {
            unexpected << QStringLiteral("folder: ") + title;
            return {};
        }
        QString f = m_folderAnswers.front();
        m_folderAnswers.pop_front();
        return f;
    }
    std::optional<QString> text(const QString &title, const QString &, const QString &, bool) override
    {
        if (m_textAnswers.empty()) {
            unexpected << QStringLiteral("text: ") + title;
            return std::nullopt;
        }
        auto t = m_textAnswers.front();
        m_textAnswers.pop_front();
        return t;
    }
    int execDialog(QDialog &dialog) override
    {
        if (m_dialogAnswers.empty()) {
            unexpected << QStringLiteral("dialog: ") + dialog.windowTitle();
            return QDialog::Rejected;
        }
        auto h = std::move(m_dialogAnswers.front());
        m_dialogAnswers.pop_front();
        return h(dialog);
    }
    bool openUrl(const QUrl &url) override
    {
        openedUrls << url;
        return urlOpens;
    }
    bool startProgram(const QString &program, const QStringList &) override
    {
        startedPrograms << program;
        return programsStart;
    }

    bool allAnswersUsed() const
    {
        return m_messageAnswers.empty() && m_fileAnswers.empty() && m_saveAnswers.empty() && m_folderAnswers.empty()
            && m_textAnswers.empty() && m_dialogAnswers.empty();
    }

private:
    std::deque<int> m_messageAnswers;
    std::optional<int> m_defaultMessage;
    std::deque<QString> m_fileAnswers;
    std::deque<SaveChoice> m_saveAnswers;
    std::deque<QString> m_folderAnswers;
    std::deque<std::optional<QString>> m_textAnswers;
    std::deque<std::function<int(QDialog &)>> m_dialogAnswers;
};

} // namespace tarvik::test
