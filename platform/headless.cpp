#include "headless.h"

bool THeadless::SetTopMost(TForm&, bool topMost)
{
    TopMostCalls.push_back(topMost);
    return !RefuseTopMost;
}

bool THeadless::BrowseForFolder(TForm*, const std::string& title, std::string& path)
{
    FolderTitles.push_back(title);
    if (FolderAnswers.empty())
        return false;
    std::optional<std::string> answer = FolderAnswers.front();
    FolderAnswers.pop_front();
    if (!answer)
        return false;
    path = *answer;
    return true;
}

bool THeadless::ShellOpen(TForm*, const std::string& target)
{
    ShellOpened.push_back(target);
    return true;
}

void THeadless::ModalShown(TForm& form)
{
    if (OnModal)
        OnModal(form);
}
