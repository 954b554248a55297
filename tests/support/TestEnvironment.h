#pragma once
// Everything a window needs under test: a program folder of its own in a
// temporary directory, settings on a temporary file, scripted prompts, a
// scripted scanner and a scripted camera.

#include "ScriptedCamera.h"
#include "ScriptedDialogs.h"
#include "ScriptedScanner.h"
#include "Services.h"
#include "SettingsStore.h"

#include <QTemporaryDir>

// True in the sanitizer build, where pictures take many times as long: the
// measurements over many pages then look at a few, as a check of memory
// and behaviour, and leave their shares to the normal build.
inline bool SanitizedRun()
{
    return qEnvironmentVariableIsSet("RITRAX_SANITIZED");
}

class TestEnvironment {
public:
    TestEnvironment();

    QString programFolder() const { return programDir_.path(); }
    // A file name inside the program folder.
    QString file(const QString& name) const { return programDir_.filePath(name); }
    QString settingsFile() const { return settingsDir_.filePath(QStringLiteral("Kelm.ini")); }

    SettingsStore& settings() { return settings_; }
    ScriptedDialogs& dialogs() { return dialogs_; }
    ScriptedScanner& scanner() { return scanner_; }
    ScriptedCamera& camera() { return camera_; }
    Services services() { return services_; }

private:
    QTemporaryDir programDir_;
    QTemporaryDir settingsDir_;
    SettingsStore settings_;
    ScriptedDialogs dialogs_;
    ScriptedScanner scanner_;
    ScriptedCamera camera_;
    Services services_;
};
