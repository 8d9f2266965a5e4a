// How the windows move between each other and end the program: each window asks for another
// by its role, so that no window needs another window's class. The program's top,
// gui/app/window_registry.cpp, carries these out.
#pragma once

namespace dosavia::gui {

// Shows the main menu.
void ShowMainMenu();
// Loads the visual simulation's physics data, puts the visual screen into its opening state
// and shows it. Throws InputError as VisualSimulation::Init does (a data file missing or
// damaged), and then shows nothing.
void ShowVisualScreen();
// Prepares the non-visual screen (its file list read again) and shows it.
void ShowNonVisualScreen();
// Shows the spectrum page over the screens, or hides it.
void ShowSpectrumPage();
void HideSpectrumPage();
// Shows explanation page `number` (1..5, as their titles count them) over the others.
void ShowExplanationPage(int number);
// Shows the references page over the explanation pages.
void ShowReferencesPage();
// Shows the lesson sheets' window over the others.
void ShowLessonPage();

// Ends the program: deletes "Joken.dat" (ignoring any failure), stops a running visual batch
// after its current history, hides every form and leaves the event loop. Safe to call again
// while it runs (closing the windows calls it once more). False, with everything left as it
// was, when a run in Dosavia's console goes on and the user chose to keep it.
bool EndProgram();

// Ends the program once no window of it is shown any more (soon after a window closed), so
// that closing the last one, whichever it is, does not leave a process without a window.
void EndProgramIfNoWindowShown();

}  // namespace dosavia::gui
