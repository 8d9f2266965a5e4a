// The registry of the program's windows: each window is created on first use and afterwards
// only shown and hidden, never destroyed, so it keeps its state between visits. The registry
// also carries out gui/base/navigation.h, through which the windows move between each other
// and end the program without knowing each other's classes.
#pragma once

#include "gui/base/navigation.h"

namespace dosavia::gui {

class MenuWindow;
class VisualScreen;
class SpectrumPage;
class EngineScreen;
class ExplanationPage;
class ReferencesPage;
class LessonPage;

MenuWindow& GetMenuWindow();
VisualScreen& GetVisualScreen();
SpectrumPage& GetSpectrumPage();
EngineScreen& GetEngineScreen();
// Explanation page `number` (1..5, as their titles count them).
ExplanationPage& GetExplanationPage(int number);
ReferencesPage& GetReferencesPage();
LessonPage& GetLessonPage();
}  // namespace dosavia::gui
