#include "link/LinkStartUp.h"

#include "core/Numbers.h"
#include "link/PortAccess.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int32_t kPortNumber = 1;
constexpr std::int16_t kLpt1Address = 888;   // 0x378
constexpr std::int16_t kLpt2Address = 632;   // 0x278
constexpr std::int16_t kPrnAddress = 956;    // 0x3BC

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
    SetIdleControlRegister(ctx);

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

    ReadTimeOutSwitch(ctx);

    ctx.Ui->AddDisplayModeItem(QStringLiteral("Integers"));
    ctx.Ui->AddDisplayModeItem(QStringLiteral("Volts"));
    ctx.SelectedConfigIndex = -1;
}

void SelectPort(EvalContext& ctx)
{
    ctx.WindowsVersionName = GetWindowsVersion(ctx);
    if (ctx.WindowsVersionName.contains(u"95") || ctx.WindowsVersionName.contains(u"98")) {
        // The 95 family reaches the port directly; it is taken to be LPT1.
        ctx.PortBaseAddress = kLpt1Address;
    } else {
        ClaimPort(ctx);
        GetPortAddress(ctx);
    }
    SetIdleControlRegister(ctx);
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
    ctx.Port->GetParallelPortCount();
    if (ctx.Port->ClaimParallelPort(kPortNumber, -1) == 0)
        ctx.Messages->ShowMessage({QStringLiteral("claim parallel port failed"), std::nullopt,
                                   MessageIcon::None, MessageButtons::Ok});
}

void GetPortAddress(EvalContext& ctx)
{
    PortInfo info;
    info.Size = 12;
    if (ctx.Port->GetParallelPortInfo(kPortNumber, info) == 0) {
        ctx.Messages->ShowMessage({QStringLiteral("This PC does not appear to have a Printer Port"),
                                   QStringLiteral("GetPortAddress Error"), MessageIcon::Exclamation,
                                   MessageButtons::Ok});
        return;
    }
    // Keep the low 16 bits, so a port card above 0x7FFF still gets its own address.
    ctx.PortBaseAddress = static_cast<std::int16_t>(static_cast<std::uint16_t>(info.BaseAddress));

    // Only the menu entry of the claimed port stays available.
    const auto disable = [&](PortMenuEntry a, PortMenuEntry b) {
        ctx.Ui->SetPortMenuEntryEnabled(a, false);
        ctx.Ui->SetPortMenuEntryEnabled(b, false);
    };
    switch (ctx.PortBaseAddress) {
    case kLpt1Address: disable(PortMenuEntry::LPT2, PortMenuEntry::PRN); break;
    case kLpt2Address: disable(PortMenuEntry::LPT1, PortMenuEntry::PRN); break;
    case kPrnAddress: disable(PortMenuEntry::LPT1, PortMenuEntry::LPT2); break;
    default: break;
    }
}

void ShowStatus(EvalContext& ctx)
{
    if (!ctx.HasSwitch(QStringLiteral("/SS")))
        return;
    const QString text = QStringLiteral("Windows Version:") + ctx.WindowsVersionName + u'\r'
                         + QStringLiteral("Port Address:0x") + Hex16(ctx.PortBaseAddress);
    ctx.Messages->ShowMessage({text, QStringLiteral("Show Status"), MessageIcon::Information,
                               MessageButtons::Ok});
}

void ReadTimeOutSwitch(EvalContext& ctx)
{
    static const QString kSwitch = QStringLiteral("/T:");
    // Digits are the same in either case, so the value is read from the upper-cased line.
    const QString line = ctx.UpperCommandLine();
    const qsizetype at = line.indexOf(kSwitch);
    if (at < 0)
        return;
    qsizetype end = at + kSwitch.size();
    while (end < line.size() && line[end] >= u'0' && line[end] <= u'9')
        ++end;
    const qsizetype digits = end - (at + kSwitch.size());
    const double value = digits == 0 ? 1.0 : Val(QStringView(line).mid(at + kSwitch.size(), digits));
    // A run of digits too long for 32 bits asks for the longest time-out there is.
    constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
    ctx.CurrentSettings.TimeOut = value > kLargest ? std::numeric_limits<std::int32_t>::max()
                                                   : ToInt32(value);
}

void SetIdleControlRegister(EvalContext& ctx)
{
    const std::int16_t control = static_cast<std::int16_t>(ctx.PortBaseAddress + 2);
    const std::int16_t value = ReadPortByte(ctx, control);
    WritePortByte(ctx, control, static_cast<std::int16_t>((value & 0xD4) | 0x20));
}
