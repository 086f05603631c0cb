#pragma once

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

namespace tarvik {

// Where child windows live: the main window's MDI area (none in tests that
// show screens on their own; then child windows are plain top-level windows).
void setChildHost(QMdiArea *area);
QMdiArea *childHost();
// The main window (or the active window when there is none); dialogs are centred on it.
QWidget *mainWindow();
void setMainWindow(QWidget *window);

// The open child window of exactly class T, or nullptr.
template <typename T>
T *findChildForm()
{
    if (QMdiArea *area = childHost()) {
        for (QMdiSubWindow *sub : area->subWindowList())
            if (sub->widget() && sub->widget()->metaObject() == &T::staticMetaObject)
                return static_cast<T *>(sub->widget());
        return nullptr;
    }
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->metaObject() == &T::staticMetaObject && !w->testAttribute(Qt::WA_DontShowOnScreen))
            return static_cast<T *>(w);
    return nullptr;
}

void showAsChild(QWidget *form);   // adds a new form to the MDI area (or shows it) and activates it
void bringToFront(QWidget *form);  // restores a minimised form, shows and activates it

// One window per class: a second open brings the first to the front.
template <typename T>
T *ShowChildForm(const std::function<T *()> &create = [] { return new T; })
{
    if (T *open = findChildForm<T>()) {
        bringToFront(open);
        return open;
    }
    T *form = create();
    form->setAttribute(Qt::WA_DeleteOnClose);
    showAsChild(form);
    return form;
}

// Placement modes: 0 798x572 centred on the main window (top-left on narrow
// screens), 1 centred on the main window, 2 1024x738 centred on the screen,
// 3 1024x737 centred on the main window; other values leave the window alone.
void SetFormPlacement(QWidget *form, int mode);

// Screens the main window opens outside the command catalogue (registered by the layer that owns them).
inline constexpr int kScreenDesktop = 900; // "导航图": the picture-button desktop TFrmBtnImage
inline constexpr int kScreenAbout = 901;   // "关于我们": the about box TfrmAboutInfo

// The commands of the main window, filled by each layer with the screens it owns.
class ScreenRegistry {
public:
    using Opener = std::function<void()>;
    static void setOpener(int code, Opener opener);
    static bool has(int code);
    static bool open(int code); // false when no screen is registered for the code
    static void clear();
};

} // namespace tarvik
