#pragma once

#include "engine/EvalContext.h"
#include "link/PortLibrary.h"
#include "support/FakeUi.h"

#include <QString>
#include <QStringList>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

// Lets test failures print call logs as text rather than as lists of characters.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Message boxes compare as a whole: text, title, icon and buttons.
inline bool operator==(const MessageRequest& a, const MessageRequest& b)
{
    return a.text == b.text && a.title == b.title && a.icon == b.icon && a.buttons == b.buttons;
}
inline void PrintTo(const MessageRequest& m, std::ostream* out)
{
    *out << '"' << m.text.toStdString() << "\" title " << (m.title ? '"' + m.title->toStdString() + '"' : "none")
         << " icon " << int(m.icon) << " buttons " << int(m.buttons);
}

// A port library with scripted claim and info results and plain registers: every call is
// logged in order, register reads return what was last written (or preset) at that address.
class FakePort : public PortLibrary {
public:
    std::int32_t GetParallelPortCount() override { calls << "GetParallelPortCount"; return 1; }
    std::int16_t ClaimParallelPort(std::int32_t port, std::int32_t flags) override
    {
        calls << QStringLiteral("ClaimParallelPort(%1,%2)").arg(port).arg(flags);
        return claimResult;
    }
    std::int16_t GetParallelPortInfo(std::int32_t port, PortInfo& info) override
    {
        calls << QStringLiteral("GetParallelPortInfo(%1,size %2)").arg(port).arg(info.Size);
        if (infoResult != 0)
            info.BaseAddress = baseAddress;
        return infoResult;
    }
    std::int32_t InByte(std::int32_t address) override
    {
        calls << QStringLiteral("InByte(%1)").arg(address);
        return registers[address];
    }
    std::int32_t OutByte(std::int32_t address, std::int32_t value) override
    {
        calls << QStringLiteral("OutByte(%1,%2)").arg(address).arg(value);
        registers[address] = value;
        return 0;
    }
    std::int16_t ReleaseParallelPort(std::int32_t port) override
    {
        calls << QStringLiteral("ReleaseParallelPort(%1)").arg(port);
        return -1;
    }

    std::int16_t claimResult = -1;
    std::int16_t infoResult = -1;
    std::int32_t baseAddress = 888;
    std::map<std::int32_t, std::int32_t> registers;
    QStringList calls;
};

// A fresh application object wired to a fake port, system, messenger and front end.
struct LinkTestRig {
    explicit LinkTestRig(OsVersionInfo version, const QString& commandLine = QString())
    {
        os.version = std::move(version);
        os.commandLine = commandLine;
        ctx.Options = StartupOptions::Parse(commandLine);
        ctx.Link.Port = &port;
        ctx.Os = &os;
        ctx.Messages = &messages;
        ctx.Listener = &listener;
    }
    EvalContext ctx;
    FakePort port;
    FakeOs os;
    ScriptedMessenger messages;
    RecordingListener listener;
};
