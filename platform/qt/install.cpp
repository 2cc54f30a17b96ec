// Linked into the program only: the application object picks the Qt realisation in
// Initialize, while tests of the library stay headless unless they install one themselves.
#include "forms.h"
#include "qt_realisation.h"

namespace {

struct TInstallQt {
    TInstallQt() { InstallRealisation(&CreateQtRealisation); }
} installQt;

}  // namespace
