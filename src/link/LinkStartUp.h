#pragma once

#include "link/EvalContext.h"

#include <QString>

// The once-per-run start-up of the board link: which system this is, which printer port
// the board is on, the port's idle control state and the start values of the settings.
void LinkStartUp(EvalContext& ctx);
void SelectPort(EvalContext& ctx);
QString GetWindowsVersion(EvalContext& ctx);
void ClaimPort(EvalContext& ctx);
void GetPortAddress(EvalContext& ctx);
void ShowStatus(EvalContext& ctx);
void ReadTimeOutSwitch(EvalContext& ctx);
// Control register AND 0xD4 OR 0x20: strobes released, data lines released for input.
void SetIdleControlRegister(EvalContext& ctx);
