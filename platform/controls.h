#pragma once
// All the controls in one include, for the forms and the realisation: the component base
// (component.h), the control base with alignment (control.h), the simple controls
// (stdctrls.h) and the paint box (paintbox.h).
#include "component.h"
#include "control.h"
#include "paintbox.h"
#include "stdctrls.h"
