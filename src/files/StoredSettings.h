#pragma once

#include "config/Settings.h"
#include "files/StartupOptions.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The per-user store that keeps the main window's position and the configuration between
// runs: application "EvalControlBoard", sections "Position" and "Configuration", every
// value a string.
// A store file that is not a regular file (a folder, a named pipe, a device) or is larger
// than MaxStoreFileBytes is never opened: nothing is restored from it or written to it.
class SettingsStore {
public:
    // The user's store: EvalControlBoard/EvalControlBoard.conf in the user's configuration
    // folder.
    SettingsStore();
    // An INI file at iniPath, so tests and portable installs keep their own store.
    explicit SettingsStore(const QString& iniPath);

    // Only while Problem() is empty.
    QSettings& Store() { return *settings_; }
    const QString& FileName() const { return path_; }
    // Why the store cannot be used, or empty.
    const QString& Problem() const { return problem_; }

private:
    QString path_;
    QString problem_;
    std::unique_ptr<QSettings> settings_;
};

// A real store holds a few hundred bytes.
constexpr qint64 MaxStoreFileBytes = 64 * 1024;

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
// then sets EchoComms from "/E". A missing or unreadable value takes its default, and so
// does a number outside what the program can work with (bits 1 to 16, block exponent 0
// to 5, frequencies and voltages as in ValueRanges.h, positions within a million twips);
// each of those adds a line for the user to *refused.
std::optional<WindowPosition> LoadStoredSettings(SettingsStore& store, const CommandLineSwitches& switches,
                                                 Settings& settings, QStringList* refused = nullptr);

// Shut-down: with "/SAVE" stores the window position and the configuration. Returns false
// when the store could not be written.
bool SaveStoredSettings(SettingsStore& store, const CommandLineSwitches& switches,
                        const WindowPosition& position, const Settings& settings);

// Shut-down, after the save: with "/DEL" deletes both sections. Returns false when the
// store could not be written.
bool DeleteStoredSettings(SettingsStore& store, const CommandLineSwitches& switches);
