#include "engine/SessionStartUp.h"

#include "core/Numbers.h"
#include "link/CommsFunctions.h"

#include <algorithm>

namespace {

constexpr std::int32_t kPortNumber = 1;
constexpr std::int16_t kLpt1Address = 888;   // 0x378

// Platform 1 is the 95 family, told apart by minor version; platform 2 the NT family,
// told apart by major version.
QString WindowsFamilyName(const OsVersionInfo& v)
{
    if (v.PlatformId == 1) {
        switch (v.MinorVersion) {
        case 0: return QStringLiteral("Windows 95");
        case 10: return QStringLiteral("Windows 98");
        default: return QString();
        }
    }
    switch (v.MajorVersion) {
    case 3: return QStringLiteral("Windows NT 3.51");
    case 4: return QStringLiteral("Windows NT 4.0");
    case 5: return QStringLiteral("Windows 2000");
    default: return QString();
    }
}

// A system the version table does not know is shown by its own name. The name must
// never contain "95" or "98", or the port selection would take the path that claims no
// port; a name that does (a kernel release such as 5.10.98) loses everything from its
// first digit on.
QString ForeignSystemName(const QString& name)
{
    QString shown = name;
    if (shown.contains(u"95") || shown.contains(u"98")) {
        const auto firstDigit = std::find_if(shown.begin(), shown.end(),
                                             [](QChar c) { return c.isDigit(); });
        shown.truncate(firstDigit - shown.begin());
        shown = shown.trimmed();
    }
    return QStringLiteral("None (%1)").arg(shown);
}

} // namespace

void LinkStartUp(EvalContext& ctx)
{
    SelectPort(ctx);
    SetIdleControlRegister(ctx.Link);

    Settings& s = ctx.CurrentSettings;
    s.SampleFreq = 100000;
    s.NumberOfSamples = 0;
    s.Max_Frequency = 500000;
    s.NumberOfBits = 12;
    s.DisplayMode = False;
    s.DataLoaded = False;
    s.InputVMin = 0.0;
    s.InputVMax = 5.0;
    s.TimeOut = 1000;

    ctx.SampleClock.SetCrystalFrequency(40000000);
    ctx.SampleClock.SetSampleFrequency(s.SampleFreq);
    ctx.BoardLatch.SetValue(144);   // 0x90: every supply and switch off

    if (ctx.Options.TimeOut)
        s.TimeOut = *ctx.Options.TimeOut;
    ctx.SelectedConfigIndex = -1;
}

void SelectPort(EvalContext& ctx)
{
    ctx.WindowsVersionName = GetWindowsVersion(ctx);
    if (ctx.WindowsVersionName.contains(u"95") || ctx.WindowsVersionName.contains(u"98")) {
        // The 95 family reaches the port directly; it is taken to be LPT1.
        ctx.Link.PortBaseAddress = kLpt1Address;
    } else {
        ClaimPort(ctx);
        GetPortAddress(ctx);
    }
    SetIdleControlRegister(ctx.Link);
    ShowStatus(ctx);
}

QString GetWindowsVersion(EvalContext& ctx)
{
    const OsVersionInfo v = ctx.Os->GetVersion();
    if (v.PlatformId == 1 || v.PlatformId == 2)
        return WindowsFamilyName(v);
    if (v.Name.isEmpty())
        return QStringLiteral("Failed");
    return ForeignSystemName(v.Name);
}

void ClaimPort(EvalContext& ctx)
{
    ctx.Link.Port->GetParallelPortCount();
    if (ctx.Link.Port->ClaimParallelPort(kPortNumber, -1) == 0)
        ctx.Messages->ShowMessage({QStringLiteral("claim parallel port failed"), std::nullopt,
                                   MessageIcon::None, MessageButtons::Ok});
}

void GetPortAddress(EvalContext& ctx)
{
    PortInfo info;
    info.Size = 12;
    if (ctx.Link.Port->GetParallelPortInfo(kPortNumber, info) == 0) {
        ctx.Messages->ShowMessage({QStringLiteral("This PC does not appear to have a Printer Port"),
                                   QStringLiteral("GetPortAddress Error"), MessageIcon::Exclamation,
                                   MessageButtons::Ok});
        return;
    }
    // Keep the low 16 bits, so a port card above 0x7FFF still gets its own address.
    ctx.Link.PortBaseAddress = static_cast<std::int16_t>(static_cast<std::uint16_t>(info.BaseAddress));

    if (ctx.Listener)
        ctx.Listener->PortClaimed(ctx.Link.PortBaseAddress);
}

void ShowStatus(EvalContext& ctx)
{
    if (!ctx.Options.ShowStatus)
        return;
    const QString text = QStringLiteral("Windows Version:") + ctx.WindowsVersionName + u'\r'
                         + QStringLiteral("Port Address:0x") + Hex16(ctx.Link.PortBaseAddress);
    ctx.Messages->ShowMessage({text, QStringLiteral("Show Status"), MessageIcon::Information,
                               MessageButtons::Ok});
}
