#pragma once

#include <QString>

// The program's own title: the main window's, and that of every message box that names
// none of its own.
inline const QString kApplicationTitle = QStringLiteral("KV2680 Evaluation Software");
