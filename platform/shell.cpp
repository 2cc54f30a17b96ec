#include "shell.h"

#include "forms.h"

bool SetWindowTopMost(TForm& form, bool topMost)
{
    return Application->Realisation().SetTopMost(form, topMost);
}

bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path)
{
    return Application->Realisation().BrowseForFolder(owner, title, path);
}

bool ShellExecute(TForm* owner, const std::string& operation, const std::string& file)
{
    if (operation != "open")
        return false;
    return Application->Realisation().ShellOpen(owner, file);
}

void DragAcceptFiles(TControl& control, bool accept)
{
    control.SetAcceptsDroppedFiles(accept);
}
