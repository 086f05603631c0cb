#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tarvik {

// The one-line entry dialog of the category window ("节点名称").
class TDLGenterCaption : public QDialog {
    Q_OBJECT
public:
    explicit TDLGenterCaption(const QString &caption, const QString &text = {}, QWidget *parent = nullptr);

    // The text as typed (not trimmed).
    QString text() const;

    // Runs the dialog; the entered text, or an empty text when cancelled.
    static QString ask(const QString &caption, const QString &initial = {});

    QLineEdit *edtCaption = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

public slots:
    void accept() override;
};

} // namespace tarvik
