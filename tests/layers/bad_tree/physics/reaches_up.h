// A physics header that reaches up into the interactive program: the check must fail.
#include "gui/forms/menu_window.h"
