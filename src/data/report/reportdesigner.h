#pragma once

#include "data/report/report.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QPrintPreviewWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvik {

// The template designer: the template source with highlighting, the fields of
// both datasets and the variables (double-click inserts one), a live preview,
// and saving back into Qr/<name>.html.
class ReportDesigner : public QDialog {
    Q_OBJECT
public:
    explicit ReportDesigner(Report &report, QWidget *parent = nullptr);
    ~ReportDesigner() override;

    QPlainTextEdit *sourceEdit() const { return m_source; }
    QTreeWidget *fieldTree() const { return m_fields; }
    QAction *saveAction() const { return m_save; }
    QString errorText() const;
    int previewPageCount() const;
    bool isModified() const;

    bool save();        // false (after a message) when the file cannot be written
    void refreshNow();  // re-renders the live preview at once
    void insertField(QTreeWidgetItem *item);
    void goToLine(int line);
    // Replaces the {{> partial}} on the cursor's line by the partial's text.
    bool expandPartial();

protected:
    void done(int result) override;

private:
    void fillFields();
    void showError();

    Report &m_report;
    QString m_saved;
    std::unique_ptr<ReportDocument> m_doc;
    QPrinter m_printer;
    QPlainTextEdit *m_source = nullptr;
    QTreeWidget *m_fields = nullptr;
    QPrintPreviewWidget *m_view = nullptr;
    QLabel *m_error = nullptr;
    QLabel *m_file = nullptr;
    QLabel *m_position = nullptr;
    QTimer *m_timer = nullptr;
    QAction *m_save = nullptr;
};

} // namespace tarvik
