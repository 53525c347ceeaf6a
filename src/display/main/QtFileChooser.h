#pragma once

#include "core/UserInterface.h"

class QWidget;

// The program's file dialogs as the desktop's own open and save dialogs.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}

    std::optional<QString> ChooseFile(const FileDialogRequest& request) override;

    // "DAT Files|*.dat|All Files|*.*" becomes "DAT Files (*.dat);;All Files (*.*)".
    static QString QtFilter(const QString& pipeFilter);

private:
    QWidget* parent_;
};
