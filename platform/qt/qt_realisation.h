#pragma once
// The realisation on Qt Widgets: windows for forms, widgets for controls, Qt's event loop
// under the application's message pump. Plain C++, so the entry point needs no Qt headers.
#include <memory>

class TRealisation;

std::unique_ptr<TRealisation> CreateQtRealisation();
