// For the tests of an installed program only: with QUILLMOOR_TEST_STARTUP_REPORT naming a
// file, the program, once its message loop runs, writes there what it started with — the
// title, the open document's file and size, the number of languages and tool-bar images it
// found — and closes its main window as the user would.
#pragma once

class TWKGraphicsEditor;

// True when the hook is active (the program then runs unattended).
bool InstallStartupReport(TWKGraphicsEditor& editor);
