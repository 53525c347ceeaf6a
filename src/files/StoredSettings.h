#pragma once

#include "config/Settings.h"

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

// The per-user store that keeps the main window's position and the configuration between
// runs: application "EvalControlBoard", sections "Position" and "Configuration", every
// value a string.
class SettingsStore {
public:
    // The operating system's per-user store.
    SettingsStore();
    // An INI file at iniPath, so tests and portable installs keep their own store.
    explicit SettingsStore(const QString& iniPath);

    QSettings& Store() { return *settings_; }

private:
    std::unique_ptr<QSettings> settings_;
};

// The main window's geometry in twips; the defaults are those of a restore from an empty
// store.
struct WindowPosition {
    double Left = 0;
    double Top = 0;
    double Width = 9465;
    double Height = 7170;
};

// Start-up: with "/GET" restores the configuration fields of settings and returns the
// window position to apply (the caller then rewrites the configuration status lines);
// then sets EchoComms from "/E". A missing or unreadable value takes its default.
std::optional<WindowPosition> LoadStoredSettings(SettingsStore& store, const QString& commandLine,
                                                 Settings& settings);

// Shut-down: with "/SAVE" stores the window position and the configuration. Returns false
// when the store could not be written.
bool SaveStoredSettings(SettingsStore& store, const QString& commandLine,
                        const WindowPosition& position, const Settings& settings);

// Shut-down, after the save: with "/DEL" deletes both sections. Returns false when the
// store could not be written.
bool DeleteStoredSettings(SettingsStore& store, const QString& commandLine);
