#pragma once

#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace tarvik::app {

// The borderless start-up window with its one status line.
class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    QLabel *Label1;

    // Sets the status line and paints it at once (the event loop is not running yet).
    void setStatus(const QString &text);
    void repaintNow();
    // Every status the line has shown, in order.
    const QStringList &history() const { return m_history; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_history;
};

} // namespace tarvik::app
