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
