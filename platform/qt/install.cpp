// Puts the program on the screen: the entry point's Initialize picks this realisation.
#include "forms.h"
#include "qt_realisation.h"

namespace {
struct Install {
    Install() { InstallRealisation(&CreateQtRealisation); }
} install;
}  // namespace
