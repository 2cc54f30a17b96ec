#pragma once
// The Qt side of the realisation, for code that may include Qt (the realisation itself and
// the tests that drive its widgets).
#include <functional>
#include <memory>
#include <string>

#include <QSize>

#include "forms.h"
#include "qt_realisation.h"

class QAction;
class QEvent;
class QMenuBar;
class QWidget;
class TFrameCache;

class TQtRealisation : public TRealisation {
public:
    TQtRealisation();
    ~TQtRealisation() override;

    bool Headless() const override { return false; }
    void Attach(TComponent& component) override;
    bool PumpEvents() override;
    void WaitForEvents(int timeoutMs) override;
    void ShowException(const std::string& message) override;
    int DesktopWidth() override;
    int DesktopHeight() override;
    bool SetTopMost(TForm& form, bool topMost) override;
    bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path) override;
    bool ShellOpen(TForm* owner, const std::string& target) override;
    void ModalShown(TForm& form) override;

    // When set, an exception report goes here instead of the message box (a modal box would
    // stall an unattended test).
    std::function<void(const std::string&)> ExceptionHook;

private:
    class TKeyFilter;
    std::unique_ptr<TKeyFilter> keys_;
    // The frames (what the window system adds around a client area) the forms share.
    std::shared_ptr<TFrameCache> frames_;
};

// The widget that shows a component: a form's top-level window, a control's widget (for a
// scroll box the QScrollArea); null for menus and for components without a widget.
QWidget* WidgetOf(const TComponent& component);
// A form's client area, the parent of its controls' widgets.
QWidget* ClientOf(const TForm& form);
// A form's menu bar, or null when the form has no menu.
QMenuBar* MenuBarOf(const TForm& form);
// The action of a menu item (for an item with sub-items, its menu's action).
QAction* ActionOf(const TMenuItem& item);
