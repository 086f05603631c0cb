#include "data/prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace tarvik {

namespace {

WidgetPrompts &widgetPrompts()
{
    static WidgetPrompts p;
    return p;
}

Prompts *&current()
{
    static Prompts *p = nullptr;
    return p;
}

} // namespace

Prompts &prompts()
{
    return current() ? *current() : widgetPrompts();
}

void setPrompts(Prompts *responder)
{
    current() = responder;
}

QString msgCaption(int kind)
{
    switch (kind) {
    case MsgInfo: return QStringLiteral("提示信息");
    case MsgQuestion: return QStringLiteral("询问信息");
    case MsgWarning: return QStringLiteral("警示信息");
    case MsgError: return QStringLiteral("错误信息");
    default: return {};
    }
}

int ShowMsg(const QString &text, int kind, const QString &detail)
{
    return prompts().message(text, kind, detail);
}

QStringList filtersFromPairs(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        const QString pattern = parts[i + 1];
        // The label already names its pattern; keep the pattern as Qt expects it.
        if (!label.contains(QLatin1Char('(')))
            label += QStringLiteral(" (%1)").arg(pattern);
        else
            label = label.left(label.indexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (%1)").arg(pattern.toLower());
        out << label;
    }
    return out;
}

QWidget *activeOwner()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

int WidgetPrompts::message(const QString &text, int kind, const QString &detail)
{
    QMessageBox box(activeOwner());
    box.setWindowTitle(msgCaption(kind));
    box.setText(text);
    switch (kind) {
    case MsgInfo: box.setIcon(QMessageBox::Information); break;
    case MsgQuestion: box.setIcon(QMessageBox::Question); break;
    case MsgWarning: box.setIcon(QMessageBox::Warning); break;
    case MsgError: box.setIcon(QMessageBox::Critical); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if (kind == MsgQuestion)
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? static_cast<QAbstractButton *>(cancel) : ok);
    if (!detail.isEmpty())
        box.setDetailedText(QStringLiteral("详细信息：\n") + detail);
    box.exec();
    return (cancel && box.clickedButton() == cancel) ? MsgCancel : MsgOk;
}

QString WidgetPrompts::openFile(const QString &title, const QString &dir, const QStringList &filters)
{
    return QFileDialog::getOpenFileName(activeOwner(), title, dir, filters.join(QStringLiteral(";;")));
}

std::optional<Prompts::SaveChoice> WidgetPrompts::saveFile(const QString &title, const QString &dir,
                                                           const QString &defaultName, const QStringList &filters,
                                                           int filterIndex)
{
    QFileDialog dlg(activeOwner(), title, dir);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dlg.selectNameFilter(filters[filterIndex - 1]);
    dlg.selectFile(defaultName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    SaveChoice c;
    c.file = dlg.selectedFiles().first();
    c.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (c.filterIndex < 1)
        c.filterIndex = 1;
    return c;
}

QString WidgetPrompts::folder(const QString &title, const QString &dir)
{
    return QFileDialog::getExistingDirectory(activeOwner(), title, dir);
}

std::optional<QString> WidgetPrompts::text(const QString &title, const QString &label, const QString &initial,
                                           bool password)
{
    bool ok = false;
    const QString t = QInputDialog::getText(activeOwner(), title, label,
                                            password ? QLineEdit::Password : QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return t;
}

int WidgetPrompts::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

bool WidgetPrompts::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool WidgetPrompts::startProgram(const QString &program, const QStringList &args)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    return QProcess::startDetached(program, args);
}

} // namespace tarvik
