// A model that reaches for Qt: the layer check must reject it, since the models are also
// compiled for the browser, where there is no Qt.
#pragma once

#include <QString>
