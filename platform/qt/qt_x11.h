#pragma once
// What Qt does not say about a window on an X desktop: its real size on the server, and
// whether the user still holds a mouse button (a window manager's drag in progress). Every
// call does nothing off X (the offscreen platform of the tests).
#include <optional>

#include <QSize>

class QWidget;

namespace X11 {

// The size the X server gives the window's client area now.
std::optional<QSize> ServerSize(QWidget* window);
// True while a mouse button is down anywhere on the screen.
bool ButtonsDown();
// Asks for that client size again, whatever Qt believes the window already has.
void RequestSize(QWidget* window, QSize size);

}  // namespace X11
