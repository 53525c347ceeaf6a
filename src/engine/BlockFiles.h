#pragma once

#include "core/UserInterface.h"

#include <QString>
#include <vector>

// The file procedures ask the user for a name; the tool has it already.
class PresetFileChooser : public FileChooser {
public:
    explicit PresetFileChooser(QString path) : path_(std::move(path)) {}
    std::optional<QString> ChooseFile(const FileDialogRequest&) override { return path_; }

private:
    QString path_;
};

// Reads a raw data file in the program's own format; raises a file failure naming why.
std::vector<double> ReadRawBlock(const QString& path);
// A block written as a raw data file, through the same procedure as the window's save.
void WriteRawBlock(const QString& path, const std::vector<double>& codes);
// A block as CSV: index, code and volts per sample.
void WriteCsvBlock(const QString& path, const std::vector<double>& codes, const std::vector<double>& volts);
