#pragma once
// The seam between the forms and a screen: what the application asks of the toolkit that
// shows it. The Qt side (platform/qt/) and the headless one (headless.h) implement it.
#include <string>

class TComponent;
class TForm;

// What the application needs from a screen: widgets for its components, the toolkit's
// events, and the desktop services.
class TRealisation {
public:
    virtual ~TRealisation() = default;
    virtual bool Headless() const = 0;
    // Attaches peers to a component and everything it owns (called once per form).
    virtual void Attach(TComponent& component) = 0;
    // Delivers the toolkit's pending input to the components, without waiting; true when
    // any input reached them.
    virtual bool PumpEvents() = 0;
    // Waits until input arrives or timeoutMs passes (-1: no limit).
    virtual void WaitForEvents(int timeoutMs) = 0;
    virtual void ShowException(const std::string& message) = 0;
    // The whole desktop across all monitors, measured from 0.
    virtual int DesktopWidth() = 0;
    virtual int DesktopHeight() = 0;
    // Puts the form into the topmost band or takes it out; false when refused.
    virtual bool SetTopMost(TForm& form, bool topMost) = 0;
    // The folder chooser: true and the path when the user chose a folder.
    virtual bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path) = 0;
    // Opens a file or web address with the desktop's handler.
    virtual bool ShellOpen(TForm* owner, const std::string& target) = 0;
    // A modal form is shown: the realisation may run a script (headless) before the loop.
    virtual void ModalShown(TForm& form) = 0;
};
