#pragma once
// What every window is handed when it is made: the settings store, the
// operator's prompts, the scanner, the camera and the program's folders.
// main.cpp builds the real ones; tests build their own.

#include "ProgramFolders.h"

class CameraBackend;
class OperatorDialogs;
class ScannerLayer;
class SettingsStore;

struct Services {
    SettingsStore& settings;
    OperatorDialogs& dialogs;
    ScannerLayer& scanner;
    CameraBackend& camera;
    ProgramFolders folders;
};
