#pragma once
// What Qt does not say about a window on an X desktop: the frame the window manager puts
// around it, its real size on the server, and whether the user still holds a mouse button
// (a window manager's drag in progress). Every call does nothing off X (the offscreen
// platform of the tests).
#include <optional>

#include <QMargins>
#include <QSize>

class QWidget;

namespace X11 {

// True when a window manager runs on the screen.
bool WindowManagerRunning();
// True once the window manager has taken the window on (placed and framed it).
bool Managed(QWidget* window);
// The frame the window manager draws around the window, as it announces it.
std::optional<QMargins> FrameExtents(QWidget* window);
// Asks the window manager for the frame it will draw around a window not shown yet, and
// waits a moment for the answer.
std::optional<QMargins> AskFrameExtents(QWidget* window);

// The size the X server gives the window's client area now.
std::optional<QSize> ServerSize(QWidget* window);
// True while a mouse button is down anywhere on the screen.
bool ButtonsDown();
// Asks for that client size again, whatever Qt believes the window already has.
void RequestSize(QWidget* window, QSize size);

}  // namespace X11
