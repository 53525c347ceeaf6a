#pragma once

#include <QString>

// A file name a client sent, resolved under the one folder it may name files in.
struct ResolvedPath {
    QString path;     // absolute, inside the folder; empty on error
    int error = 0;    // -257 for a name that reaches outside (absolute, "..", a link
                      // leading out, a control character), -256 for a file that is missing
};

// A file to read: it must exist inside root, after following links.
ResolvedPath ResolveExistingFile(const QString& root, const QString& name);
// A file to write: its folder must exist inside root; the file itself may not be a link.
ResolvedPath ResolveNewFile(const QString& root, const QString& name);
