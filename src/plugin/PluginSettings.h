// Names the plug-in and the application agree on, and the plug-in's about box.
#pragma once

#include <string>

// Default value: the full path of the application's executable (written by the installer).
inline constexpr const char* kApplicationKey = "SOFTWARE\\Marrowby\\Photo Plugins\\Quillmoor";
// Created by both deliverables while they run.
inline constexpr const char* kInUseMutexName = "QuillmoorMutexName";
inline constexpr const char* kAboutCaption = "About Quillmoor Plug-in";

// "Quillmoor Plug-in" and "Version: " with the build's version, one per line.
std::string PluginAboutText();

// The installation's own configuration folder, where installing put the application's path:
// found from the plug-in's file, the same relative way up as the install layout has it
// (<prefix>/<libdir>/quillmoor/plugins -> <prefix>/etc/xdg). Empty when the file is unknown.
std::string InstallationConfigFolder();
// The application's path: the registry value from the user's and the system's configuration
// folders, else from the installation's own folder; empty when none holds it.
std::string ReadApplicationPath();
