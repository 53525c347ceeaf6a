#pragma once

#include "scpi/InstrumentBackend.h"
#include "scpi/ResponseFormat.h"
#include "scpi/ScpiError.h"
#include "scpi/StatusRegisters.h"

#include <QString>
#include <cstdint>
#include <functional>

// What the instrument keeps between messages, shared by the command handlers.
struct InstrumentState {
    enum class Operation { None, Load, Power, Reset, Block, SelfTest };

    InstrumentState(InstrumentBackend& b, const QString& config, const QString& data, const QString& ver)
        : backend(b), configDir(config), dataDir(data), version(ver) {}

    InstrumentBackend& backend;
    QString configDir;
    QString dataDir;
    QString version;

    ErrorQueue errors;
    StatusRegisters status;
    DataFormat format;

    // What *RST brings back: the start-up values, then those of the last configuration loaded.
    int resetSampleCount = 0;
    std::int32_t resetSampleRate = 0;

    Operation pending = Operation::None;
    bool opcArmed = false;      // *OPC sent while an operation ran
    int selfTestResult = 0;

    void Queue(int code, const QString& detail = QString())
    {
        errors.Push(code, detail);
        status.SetEvent(StatusRegisters::EventBitFor(code));
    }
    // Marks the operation pending, then starts it (a backend may finish inside the call).
    void Start(Operation op, const std::function<void()>& start)
    {
        pending = op;
        start();
    }
    bool Busy() const { return pending != Operation::None; }
};
