#pragma once
class TfrmMain;
// Creates the main window's controls and menu as laid out, and wires their events.
void LayoutMainForm(TfrmMain& form);
