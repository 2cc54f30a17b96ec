#pragma once
// Desktop services: window stacking, the folder chooser and opening documents.
#include <string>

class TForm;
class TControl;

// Puts the window into the topmost band (HWND_TOPMOST) or back into the normal one, without
// moving or sizing it. False when the window manager refused.
bool SetWindowTopMost(TForm& form, bool topMost);

// The desktop's folder chooser, modal to owner, starting at the top of the file system.
// True and the chosen folder's full path, or false when cancelled.
bool BrowseForFolder(TForm* owner, const std::string& title, std::string& path);

// Opens a file or web address with the desktop's handler. The result reports only whether
// the request was handed on.
bool ShellExecute(TForm* owner, const std::string& operation, const std::string& file);

// Registers the control's window for dropped files: drops arrive as WM_DROPFILES.
void DragAcceptFiles(TControl& control, bool accept);
