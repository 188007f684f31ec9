// For the plug-in round-trip test only: with QUILLMOOR_TEST_PLUGIN_EDIT set, the program, once
// its message loop runs in plug-in mode, makes a known edit and confirms or cancels as the user
// would with OK or Cancel. "invert": every pixel inverted, then OK; "cancel": Cancel.
#pragma once

class TWKGraphicsEditor;

// True when the hook is active (the program then runs unattended).
bool InstallPluginTestHook(TWKGraphicsEditor& editor);
