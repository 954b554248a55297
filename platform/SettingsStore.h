#pragma once
// The per-user settings store: text values under application "Kelm",
// section "Ritrax". On Linux this is the INI file Kelm.ini in the user's
// configuration folder. Reading never creates anything; a missing file,
// section or key gives the default. An unreadable file reads as empty and a
// failed write is dropped silently: the store never stops the program.

#include <QString>

#include <memory>

class QSettings;

class SettingsStore {
public:
    // The store on the INI file at filePath.
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // <user configuration folder>/Kelm.ini
    static QString DefaultFilePath();

    QString read(const QString& key, const QString& defaultValue = QString()) const;
    void write(const QString& key, const QString& value);

    // The value read leniently as a number (see Numbers::LenientNumber).
    double readNumber(const QString& key, const QString& defaultValue) const;

    QString filePath() const;

private:
    std::unique_ptr<QSettings> settings_;
};
