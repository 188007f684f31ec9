// Hooks of the test program (quillmoor-test) only; the shipped program is built without them and
// knows none of their variables.
//   QUILLMOOR_TEST_PLUGIN_EDIT: once the message loop runs in plug-in mode, the program makes a
//     known edit and confirms or cancels as the user would with OK or Cancel: "invert" (every
//     pixel inverted, then OK) or "cancel".
//   QUILLMOOR_TEST_QUIT_AFTER_START: message boxes are written to standard error (answered No
//     or OK) instead of waiting for the user; once the message loop runs, the program writes
//     "opened: W x H" or "opened: none" there and closes its main window.
#pragma once
