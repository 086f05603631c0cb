#pragma once

#include <QDialog>

class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tarvik {

// The category window: maintenance of one tree (modes 1 and 3) or the modal
// category chooser (modes 2 and 4).
class TFrmTreeCodeMan : public QDialog {
    Q_OBJECT
public:
    enum Mode { MaintainGoods = 1, ChooseGoods = 2, MaintainProducts = 3, ChooseProducts = 4 };

    explicit TFrmTreeCodeMan(int mode, QWidget *parent = nullptr);

    int mode() const { return m_mode; }
    QString flag() const { return m_flag; }
    bool choosing() const { return m_mode == ChooseGoods || m_mode == ChooseProducts; }

    // Selects and expands every node whose path equals `path` (the last one stays selected).
    void setPresetPath(const QString &path);
    QString chosenPath() const { return m_chosen; }

    // The category chooser: the chosen node's path, or `current` unchanged when cancelled.
    static QString choose(bool products, const QString &current);
    // The maintenance window of one tree, run modally.
    static void maintain(bool products);

    void reload();
    QTreeWidgetItem *selectedNode() const;
    void selectNode(QTreeWidgetItem *node);

    QTreeWidget *tvTree = nullptr;
    QPushButton *btnAddSibling = nullptr;
    QPushButton *btnAddChild = nullptr;
    QPushButton *btnEdit = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
    QWidget *pBottom = nullptr;
    QMenu *popup = nullptr;

public slots:
    void addSibling();
    void addChild();
    void changeNode();
    void deleteNode();
    void confirm();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void addNode(bool child);

    int m_mode;
    QString m_flag;
    QString m_caption;
    QString m_chosen;
};

} // namespace tarvik
