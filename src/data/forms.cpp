#include "data/forms.h"

#include <QApplication>
#include <QScreen>

namespace tarvik {

namespace {
QPointer<QMdiArea> &hostRef()
{
    static QPointer<QMdiArea> area;
    return area;
}
QPointer<QWidget> &mainRef()
{
    static QPointer<QWidget> w;
    return w;
}
std::map<int, ScreenRegistry::Opener> &openers()
{
    static std::map<int, ScreenRegistry::Opener> map;
    return map;
}
} // namespace

void setChildHost(QMdiArea *area) { hostRef() = area; }
QMdiArea *childHost() { return hostRef(); }
void setMainWindow(QWidget *window) { mainRef() = window; }

QWidget *mainWindow()
{
    if (mainRef())
        return mainRef();
    return QApplication::activeWindow();
}

void showAsChild(QWidget *form)
{
    if (QMdiArea *area = childHost()) {
        QMdiSubWindow *sub = area->addSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(form->windowIcon());
        // A fixed-size form keeps its size inside the frame.
        sub->resize(sub->sizeHint().expandedTo(form->size() + QSize(16, 40)));
        if (QWidget *host = area->viewport()) {
            const QPoint at((host->width() - sub->width()) / 2, (host->height() - sub->height()) / 2);
            sub->move(QPoint(std::max(0, at.x()), std::max(0, at.y())));
        }
        sub->show();
        area->setActiveSubWindow(sub);
        form->setFocus();
        return;
    }
    form->show();
    form->activateWindow();
}

void bringToFront(QWidget *form)
{
    QWidget *frame = form;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
        frame = sub;
    if (frame->isMinimized())
        frame->showNormal();
    frame->show();
    frame->raise();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame); sub && childHost())
        childHost()->setActiveSubWindow(sub);
    else
        frame->activateWindow();
    form->setFocus();
}

void SetFormPlacement(QWidget *form, int mode)
{
    QScreen *screen = form->screen() ? form->screen() : QApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const bool wide = avail.width() > 1024;
    QWidget *main = mainWindow();
    const QRect around = (main && main != form) ? main->frameGeometry() : avail;
    auto centreOn = [&](const QRect &r) {
        form->move(r.x() + (r.width() - form->width()) / 2, r.y() + (r.height() - form->height()) / 2);
    };
    switch (mode) {
    case 0:
        form->resize(798, 572);
        wide ? centreOn(around) : form->move(avail.topLeft());
        break;
    case 1:
        centreOn(around);
        break;
    case 2:
        form->resize(1024, 738);
        wide ? centreOn(avail) : form->move(avail.topLeft());
        break;
    case 3:
        form->resize(1024, 737);
        wide ? centreOn(around) : form->move(avail.topLeft());
        break;
    default:
        break;
    }
}

void ScreenRegistry::setOpener(int code, Opener opener) { openers()[code] = std::move(opener); }
bool ScreenRegistry::has(int code) { return openers().count(code) > 0; }
void ScreenRegistry::clear() { openers().clear(); }

bool ScreenRegistry::open(int code)
{
    auto it = openers().find(code);
    if (it == openers().end() || !it->second)
        return false;
    it->second();
    return true;
}

} // namespace tarvik
