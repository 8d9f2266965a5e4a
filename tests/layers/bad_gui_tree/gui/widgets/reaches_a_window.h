// A widget that knows a window built on it: the layers inside gui/ must reject it.
#pragma once

#include "gui/forms/menu_window.h"
