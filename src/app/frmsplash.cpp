#include "app/frmsplash.h"

#include "data/session.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace tarvik::app {

TfrmSplash::TfrmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("系统登录 splash 界面"));
    setFixedSize(463, 294);
    setAttribute(Qt::WA_DeleteOnClose, false);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    Label1->setFont(f);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    Label1->move(24, 264);
    Label1->resize(420, 20);
    setStatus(QStringLiteral("系统正在启动，请稍候 ....."));

    if (QScreen *s = QApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
}

void TfrmSplash::setStatus(const QString &text)
{
    Label1->setText(text);
    m_history << text;
    repaintNow();
}

void TfrmSplash::repaintNow()
{
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xE8, 0xF1, 0xFB));
    g.setColorAt(1, QColor(0xB9, 0xD3, 0xEE));
    p.fillRect(rect(), g);
    p.setPen(QColor(0x7A, 0x9C, 0xC6));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    QFont title(QStringLiteral("宋体"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x1F, 0x3F, 0x6E));
    p.drawText(QRect(0, 80, width(), 44), Qt::AlignCenter, kProductName);

    QFont sub(QStringLiteral("宋体"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(QColor(0x35, 0x55, 0x80));
    p.drawText(QRect(0, 128, width(), 26), Qt::AlignCenter, kVersion.trimmed());
    p.drawText(QRect(0, 160, width(), 26), Qt::AlignCenter, QStringLiteral("原材料 · 产成品 · 生产计划 · 销售"));
    p.fillRect(QRect(24, 252, width() - 48, 1), QColor(0x7A, 0x9C, 0xC6));
}

} // namespace tarvik::app
