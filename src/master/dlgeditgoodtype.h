#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace tarvik {

// "批量修改货品类型": picks the category that the selected materials (or products) get.
class TDlgEditGoodType : public QDialog {
    Q_OBJECT
public:
    explicit TDlgEditGoodType(bool products, QWidget *parent = nullptr);

    QString path() const;
    // The chosen category path, or empty when cancelled.
    static QString ask(bool products);

    QLineEdit *edtType = nullptr;
    QToolButton *sbType = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

public slots:
    void accept() override;
    void chooseType();

private:
    bool m_products;
};

} // namespace tarvik
