// A long open in the main window: the status bar's progress meter follows the decode and a
// line says that Esc calls it off. Meanwhile the window keeps painting, but the user's input
// goes nowhere except Esc, so nothing can act on the document that is being opened.
#pragma once

class QStatusBar;

// Installs the open's progress hooks over the program's progress meter and this status bar.
void InstallQtLoadProgress(QStatusBar& statusBar);
