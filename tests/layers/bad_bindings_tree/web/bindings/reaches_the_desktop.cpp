// A browser binding that takes a desktop service: the bindings stand beside gui/, not on it.
#include "gui/base/language.h"
