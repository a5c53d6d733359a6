#pragma once
// The program from start to end: the application object, the windows in their start-up order,
// the message loop.
#include <functional>

class QTranslator;

namespace tarnis::app {

class TForm1;

struct ProgramOptions {
  // The start-up benchmark leaves the splash out to measure the program's own start.
  bool show_splash = true;
  // Called once, right after the main window has been painted for the first time.
  std::function<void(TForm1&)> on_main_window_shown;
};

// Loads Qt's own Russian texts (file dialogs, standard buttons, context menus) into translator;
// false when the translation is not installed.
bool LoadQtRussianTexts(QTranslator& translator);

// The application's name and desktop entry, set once the application object exists.
void SetApplicationIdentity();

int RunProgram(int& argc, char** argv, const ProgramOptions& options = {});

}  // namespace tarnis::app
