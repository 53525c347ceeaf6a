#include "files/StoredSettings.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/CommandLineSwitches.h"

#include <QLocale>

namespace {

const QString ApplicationName = QStringLiteral("EvalControlBoard");
const QString PositionSection = QStringLiteral("Position");
const QString ConfigurationSection = QStringLiteral("Configuration");

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
// field's type gives the field's default.
class SectionReader {
public:
    SectionReader(QSettings& settings, const QString& section) : settings_(settings)
    {
        settings_.beginGroup(section);
    }
    ~SectionReader() { settings_.endGroup(); }

    QString Text(const char* key, const QString& fallback)
    {
        return settings_.value(QLatin1String(key), fallback).toString();
    }
    double Number(const char* key, double fallback)
    {
        return ParseNumber(Text(key, NumberText(fallback))).value_or(fallback);
    }
    float Single(const char* key, double fallback)
    {
        return static_cast<float>(Number(key, fallback));
    }
    std::int16_t Int16(const char* key, std::int16_t fallback)
    {
        std::int16_t value = fallback;
        RunStep([&] { value = ToInt16(Number(key, fallback)); });
        return value;
    }
    std::int32_t Int32(const char* key, std::int32_t fallback)
    {
        std::int32_t value = fallback;
        RunStep([&] { value = ToInt32(Number(key, fallback)); });
        return value;
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
    QSettings& settings_;
};

} // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            ApplicationName, ApplicationName))
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

std::optional<WindowPosition> LoadStoredSettings(SettingsStore& store, const QString& commandLine,
                                                 Settings& settings)
{
    const CommandLineSwitches switches = CommandLineSwitches::From(commandLine);
    std::optional<WindowPosition> restored;
    if (switches.Get) {
        const WindowPosition defaults;
        WindowPosition position;
        {
            SectionReader section(store.Store(), PositionSection);
            position.Left = section.Single("Left", defaults.Left);
            position.Top = section.Single("Top", defaults.Top);
            position.Width = section.Single("Width", defaults.Width);
            position.Height = section.Single("Height", defaults.Height);
        }
        restored = position;

        SectionReader section(store.Store(), ConfigurationSection);
        settings.DataFormat = section.Int16("DataFormat", 0);
        settings.DisplayMode = section.Boolean("DisplayMode", False);
        settings.EXEName = section.Text("EXEName", QStringLiteral("ECB.EXE"));
        settings.InputVMax = section.Number("InputVMax", 5);
        settings.InputVMin = section.Number("InputVMin", 0);
        settings.Max_Frequency = section.Int32("Max_Frequency", 250000);
        settings.NumberOfBits = section.Int16("NumberOfBits", 12);
        settings.NumberOfSamples = section.Int16("NumberOfSamples", 0);
        settings.PartName = section.Text("PartName", QStringLiteral("ECB"));
        settings.SampleFreq = section.Int32("SampleFreq", 100000);
    }
    settings.EchoComms = ToVBool(switches.Echo);
    return restored;
}

bool SaveStoredSettings(SettingsStore& store, const QString& commandLine,
                        const WindowPosition& position, const Settings& settings)
{
    if (!CommandLineSwitches::From(commandLine).Save)
        return true;
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

bool DeleteStoredSettings(SettingsStore& store, const QString& commandLine)
{
    if (!CommandLineSwitches::From(commandLine).Delete)
        return true;
    QSettings& s = store.Store();
    s.remove(PositionSection);
    s.remove(ConfigurationSection);
    s.sync();
    return s.status() == QSettings::NoError;
}
