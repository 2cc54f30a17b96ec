#pragma once
// The folder chooser: Qt's own file dialog in its folder mode, titled with the program's
// instruction, taking a typed path exactly as typed.
#include <QString>

class QWidget;

// True and the chosen folder's path when the user chose one; false when cancelled.
bool ChooseFolder(QWidget* parent, const QString& title, QString& path);
