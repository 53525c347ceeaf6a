#pragma once

#include "engine/EvalContext.h"

#include <QString>

// The once-per-run start-up of the board link: which system this is, which printer port
// the board is on, the port's idle control state and the start values of the settings
// (with the time-out of the start-up options).
void LinkStartUp(EvalContext& ctx);
void SelectPort(EvalContext& ctx);
QString GetWindowsVersion(EvalContext& ctx);
void ClaimPort(EvalContext& ctx);
void GetPortAddress(EvalContext& ctx);
void ShowStatus(EvalContext& ctx);
