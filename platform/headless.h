#pragma once
// Running without a screen: the desktop services answer from a script that a test sets, and
// everything the program asked of them is recorded for the test to inspect.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "realisation.h"
#include "types.h"

class THeadless : public TRealisation {
public:
    bool Headless() const override { return true; }
    void Attach(TComponent&) override {}
    bool PumpEvents() override { return false; }
    void WaitForEvents(int) override {}
    void ShowException(const std::string& message) override { Exceptions.push_back(message); }
    int DesktopWidth() override { return Desktop.Width(); }
    int DesktopHeight() override { return Desktop.Height(); }
    bool SetTopMost(TForm& form, bool topMost) override;
    bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path) override;
    bool ShellOpen(TForm* owner, const std::string& target) override;
    void ModalShown(TForm& form) override;

    TRect Desktop{0, 0, 1920, 1080};
    std::vector<std::string> Exceptions;
    // Answers of the folder chooser, first to last; no answer (or an empty queue) cancels.
    std::deque<std::optional<std::string>> FolderAnswers;
    std::vector<std::string> FolderTitles;
    std::vector<std::string> ShellOpened;
    bool RefuseTopMost = false;
    std::vector<bool> TopMostCalls;
    // Runs inside a modal form's loop; a modal form still open afterwards is cancelled.
    std::function<void(TForm&)> OnModal;
};

// The headless realisation of the running application, or null when it runs on a screen
// (defined with the application, in forms.cpp).
THeadless* HeadlessScreen();
