#include "files/StoredSettings.h"

#include "config/ValueRanges.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"
#include "files/StartupOptions.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

namespace {

const QString ApplicationName = QStringLiteral("EvalControlBoard");
const QString PositionSection = QStringLiteral("Position");
const QString ConfigurationSection = QStringLiteral("Configuration");
// A stored window edge or size beyond this (about 35 m) is not a real position.
constexpr double MaxTwips = 1000000;

// A stored number in the user's locale; a text written elsewhere with a full stop is
// accepted too.
std::optional<double> ParseNumber(const QString& text)
{
    for (QLocale locale : {QLocale(), QLocale::c()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(text.trimmed(), &ok);
        if (ok)
            return value;
    }
    return std::nullopt;
}

QString NumberText(double value)
{
    return PlainNumber(value).replace(u'.', QLocale().decimalPoint());
}

// Reads the keys of one section; a value that is missing or cannot be converted to its
// field's type gives the field's default, and so does a number outside the range the
// program can work with, which is noted for the user.
class SectionReader {
public:
    SectionReader(QSettings& settings, const QString& section, QStringList* refused)
        : settings_(settings), refused_(refused)
    {
        settings_.beginGroup(section);
    }
    ~SectionReader() { settings_.endGroup(); }

    QString Text(const char* key, const QString& fallback)
    {
        return settings_.value(QLatin1String(key), fallback).toString();
    }
    double Number(const char* key, double fallback, double low, double high)
    {
        return Checked(key, Raw(key, fallback), fallback, low, high);
    }
    // Integer fields round half to even; the ranges lie well inside their types.
    std::int16_t Int16(const char* key, std::int16_t fallback, double low, double high)
    {
        return std::int16_t(Checked(key, RoundHalfEven(Raw(key, fallback)), fallback, low, high));
    }
    std::int32_t Int32(const char* key, std::int32_t fallback, double low, double high)
    {
        return std::int32_t(Checked(key, RoundHalfEven(Raw(key, fallback)), fallback, low, high));
    }
    VBool Boolean(const char* key, VBool fallback)
    {
        const QString text = Text(key, QString::number(fallback)).trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return True;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return False;
        const auto number = ParseNumber(text);
        return number ? ToVBool(*number != 0) : fallback;
    }

private:
    double Raw(const char* key, double fallback)
    {
        return ParseNumber(Text(key, NumberText(fallback))).value_or(fallback);
    }
    double Checked(const char* key, double value, double fallback, double low, double high)
    {
        if (InRange(value, low, high))
            return value;
        if (refused_)
            *refused_ << QStringLiteral("Stored %1 %2 is not %3; %4 is used")
                             .arg(QLatin1String(key), PlainNumber(value), RangeText(low, high), PlainNumber(fallback));
        return fallback;
    }

    QSettings& settings_;
    QStringList* refused_;
};

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                    + QStringLiteral("/%1/%1.conf").arg(ApplicationName))
{
}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath)
{
    // A missing file (or folder) is an empty store that the first save creates.
    const FileProblem problem = CheckTextFile(iniPath, MaxStoreFileBytes);
    if (problem.Number == 0 || problem.Number == ErrorNumber::FileNotFound || problem.Number == ErrorNumber::PathNotFound)
        settings_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    else
        problem_ = QStringLiteral("The settings store %1 was not used: %2")
                       .arg(QDir::toNativeSeparators(iniPath), problem.Reason);
}

std::optional<WindowPosition> LoadStoredSettings(SettingsStore& store, const CommandLineSwitches& switches,
                                                 Settings& settings, QStringList* refused)
{
    using namespace ValueRange;
    std::optional<WindowPosition> restored;
    if (switches.Get && !store.Problem().isEmpty()) {
        // Nothing is restored: the start-up values and the centred window stay.
        if (refused)
            *refused << store.Problem();
    } else if (switches.Get) {
        const WindowPosition defaults;
        WindowPosition position;
        {
            SectionReader section(store.Store(), PositionSection, refused);
            position.Left = float(section.Number("Left", defaults.Left, -MaxTwips, MaxTwips));
            position.Top = float(section.Number("Top", defaults.Top, -MaxTwips, MaxTwips));
            position.Width = float(section.Number("Width", defaults.Width, 0, MaxTwips));
            position.Height = float(section.Number("Height", defaults.Height, 0, MaxTwips));
        }
        restored = position;

        SectionReader section(store.Store(), ConfigurationSection, refused);
        settings.DataFormat = section.Int16("DataFormat", 0, 0, 1);
        settings.DisplayMode = section.Boolean("DisplayMode", False);
        settings.EXEName = section.Text("EXEName", QStringLiteral("ECB.EXE"));
        settings.InputVMax = section.Number("InputVMax", 5, -MaxVolts, MaxVolts);
        settings.InputVMin = section.Number("InputVMin", 0, -MaxVolts, MaxVolts);
        settings.Max_Frequency = section.Int32("Max_Frequency", 250000, MinFrequency, MaxFrequency);
        settings.NumberOfBits = section.Int16("NumberOfBits", 12, MinBits, MaxBits);
        settings.NumberOfSamples = section.Int16("NumberOfSamples", 0, MinExponent, MaxExponent);
        settings.PartName = section.Text("PartName", QStringLiteral("ECB"));
        settings.SampleFreq = section.Int32("SampleFreq", 100000, MinFrequency, MaxFrequency);
        if (store.Store().status() != QSettings::NoError && refused)
            *refused << QStringLiteral("The settings store %1 could not be read in full; missing values are defaults")
                            .arg(QDir::toNativeSeparators(store.FileName()));
    }
    settings.EchoComms = ToVBool(switches.Echo);
    return restored;
}

bool SaveStoredSettings(SettingsStore& store, const CommandLineSwitches& switches,
                        const WindowPosition& position, const Settings& settings)
{
    if (!switches.Save)
        return true;
    if (!store.Problem().isEmpty())
        return false;
    QSettings& s = store.Store();
    s.beginGroup(PositionSection);
    s.setValue(QStringLiteral("Left"), NumberText(position.Left));
    s.setValue(QStringLiteral("Top"), NumberText(position.Top));
    s.setValue(QStringLiteral("Width"), NumberText(position.Width));
    s.setValue(QStringLiteral("Height"), NumberText(position.Height));
    s.endGroup();

    s.beginGroup(ConfigurationSection);
    s.setValue(QStringLiteral("DataFormat"), NumberText(settings.DataFormat));
    s.setValue(QStringLiteral("DisplayMode"),
               settings.DisplayMode ? QStringLiteral("True") : QStringLiteral("False"));
    s.setValue(QStringLiteral("EXEName"), settings.EXEName);
    s.setValue(QStringLiteral("InputVMin"), NumberText(settings.InputVMin));
    s.setValue(QStringLiteral("InputVMax"), NumberText(settings.InputVMax));
    s.setValue(QStringLiteral("Max_Frequency"), NumberText(settings.Max_Frequency));
    s.setValue(QStringLiteral("NumberOfBits"), NumberText(settings.NumberOfBits));
    s.setValue(QStringLiteral("NumberOfSamples"), NumberText(settings.NumberOfSamples));
    s.setValue(QStringLiteral("PartName"), settings.PartName);
    s.setValue(QStringLiteral("SampleFreq"), NumberText(settings.SampleFreq));
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

bool DeleteStoredSettings(SettingsStore& store, const CommandLineSwitches& switches)
{
    if (!switches.Delete)
        return true;
    if (!store.Problem().isEmpty())
        return false;
    QSettings& s = store.Store();
    s.remove(PositionSection);
    s.remove(ConfigurationSection);
    s.sync();
    return s.status() == QSettings::NoError;
}
