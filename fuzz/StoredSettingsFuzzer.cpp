// Stored settings with the command-line switches: the first line of the input is the
// command line, the rest the settings store's file. Whatever the store holds, a restore
// gives values the program can work with and a window whose title bar can be reached.
#include "FuzzSupport.h"
#include "config/ValueRanges.h"
#include "files/CommandLineSwitches.h"
#include "files/StoredSettings.h"
#include "files/WindowPlacement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QString commandLine = QString::fromLatin1(input.left(lineEnd < 0 ? input.size() : lineEnd));
    const QByteArray store = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);
    const QString path = WriteInput(QStringLiteral("store.ini"),
                                     reinterpret_cast<const std::uint8_t*>(store.constData()), std::size_t(store.size()));

    SettingsStore settingsStore(path);
    Settings s;
    QStringList refused;
    const auto position = LoadStoredSettings(settingsStore, commandLine, s, &refused);
    const CommandLineSwitches switches = CommandLineSwitches::From(commandLine);
    FUZZ_CHECK(position.has_value() == (switches.Get && settingsStore.Problem().isEmpty()));
    FUZZ_CHECK(s.EchoComms == (switches.Echo ? True : False));
    if (!position)
        return 0;

    using namespace ValueRange;
    FUZZ_CHECK(s.NumberOfBits >= MinBits && s.NumberOfBits <= MaxBits);
    FUZZ_CHECK(s.NumberOfSamples >= MinExponent && s.NumberOfSamples <= MaxExponent);
    FUZZ_CHECK(InRange(s.SampleFreq, MinFrequency, MaxFrequency));
    FUZZ_CHECK(InRange(s.Max_Frequency, MinFrequency, MaxFrequency));
    FUZZ_CHECK(InRange(s.InputVMax, -MaxVolts, MaxVolts) && InRange(s.InputVMin, -MaxVolts, MaxVolts));
    FUZZ_CHECK(s.DataFormat == 0 || s.DataFormat == 1);

    // Twips to pixels at 15 twips a pixel, as on a 96 dpi screen.
    const QRect frame(int(position->Left / 15), int(position->Top / 15), std::max(1, int(position->Width / 15)),
                      std::max(1, int(position->Height / 15)));
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, -200, 1280, 1024)};
    const QRect placed = ReachableFrame(frame, 30, screens);
    const QRect titleBar(placed.topLeft(), QSize(placed.width(), 30));
    FUZZ_CHECK(screens[0].contains(titleBar) || screens[1].contains(titleBar));
    return 0;
}
