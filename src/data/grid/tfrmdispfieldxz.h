#pragma once

#include <QDialog>
#include <QVector>

class QListWidget;
class QPushButton;

namespace tarvik {

// The column chooser "字段列表": one ticked line per grid column.
class TFrmDispFieldXZ : public QDialog {
    Q_OBJECT
public:
    TFrmDispFieldXZ(const QStringList &titles, const QVector<bool> &visible, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QVector<bool> ticks() const;
    void setTick(int line, bool ticked);

    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    QListWidget *m_list;
};

} // namespace tarvik
