#include "files/StoredSettings.h"

#include "core/BadInputs.h"
#include "files/StartupOptions.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>

namespace {

// A store in a scratch INI file, never the user's own.
struct IsolatedStore {
    QTemporaryDir dir;
    QString path = dir.filePath("store.ini");
    SettingsStore store{path};

    void Put(const QString& key, const QString& value) { Ini().setValue(key, value); }
    QSettings Ini() const { return QSettings(path, QSettings::IniFormat); }
};

auto StoredFields(const Settings& s)
{
    return std::tie(s.PartName, s.EXEName, s.NumberOfBits, s.InputVMax, s.InputVMin, s.SampleFreq,
                    s.NumberOfSamples, s.DataFormat, s.Max_Frequency, s.DisplayMode);
}

} // namespace

TEST(StoredSettings, LowerCaseGetSaveRoundTripsInACommaDecimalLocale)
{
    IsolatedStore iso;
    const QLocale before;
    QLocale::setDefault(QLocale::German);
    const Settings saved{.PartName = "KV2680, rev B", .EXEName = "ECB2.EXE", .NumberOfBits = 16,
                         .InputVMax = 2.5, .InputVMin = -2.5, .SampleFreq = 1234567, .NumberOfSamples = 5,
                         .DataFormat = 1, .Max_Frequency = 3000000, .DisplayMode = True};
    EXPECT_TRUE(SaveStoredSettings(iso.store, CommandLineSwitches::From("eval /get/save"), {1440, 720.5, 12000, 8000}, saved));
    EXPECT_EQ(iso.Ini().value("Configuration/InputVMax").toString(), "2,5");
    EXPECT_EQ(iso.Ini().value("Configuration/DisplayMode").toString(), "True");

    SettingsStore store(iso.path);
    Settings restored;
    const auto position = LoadStoredSettings(store, CommandLineSwitches::From("eval /get/save"), restored);
    QLocale::setDefault(before);
    ASSERT_TRUE(position);
    EXPECT_EQ(std::tie(position->Left, position->Top, position->Width, position->Height),
              std::make_tuple(1440.0, 720.5, 12000.0, 8000.0));
    EXPECT_EQ(StoredFields(restored), StoredFields(saved));
    EXPECT_EQ(restored.EchoComms, False);
}

TEST(StoredSettings, StoredTextsConvertOrFallBackToTheirDefaults)
{
    // A number outside what the program can work with is noted for the user.
    struct Case { const char* key; const char* text; double expected; const char* refused = ""; };
    const Case cases[] = {
        {"Configuration/DisplayMode", "0", False}, {"Configuration/DisplayMode", "-1", True},
        {"Configuration/DisplayMode", "maybe", False}, {"Position/Width", "wide", 9465},
        {"Position/Left", "1e30", 0, "Stored Left 1e+30 is not from -1000000 to 1000000; 0 is used"},
        {"Position/Width", "-10", 9465, "Stored Width -10 is not from 0 to 1000000; 9465 is used"},
        {"Configuration/NumberOfBits", "12.5", 12}, {"Configuration/NumberOfSamples", "3.5", 4},   // ties to even
        {"Configuration/NumberOfBits", "33", 12, "Stored NumberOfBits 33 is not from 1 to 16; 12 is used"},
        {"Configuration/NumberOfSamples", "6", 0, "Stored NumberOfSamples 6 is not from 0 to 5; 0 is used"},
        {"Configuration/DataFormat", "70000", 0, "Stored DataFormat 70000 is not from 0 to 1; 0 is used"},
        {"Configuration/SampleFreq", "0", 100000, "Stored SampleFreq 0 is not from 611 to 40000000; 100000 is used"},
        {"Configuration/Max_Frequency", "1e12", 250000,
         "Stored Max_Frequency 1000000000000 is not from 611 to 40000000; 250000 is used"},
        {"Configuration/InputVMax", "-5000", 5, "Stored InputVMax -5000 is not from -1000 to 1000; 5 is used"},
    };
    for (const Case& c : cases) {
        IsolatedStore iso;
        iso.Put(c.key, c.text);
        SettingsStore store(iso.path);
        Settings s;
        QStringList refused;
        const auto p = LoadStoredSettings(store, CommandLineSwitches::From("/GET"), s, &refused);
        ASSERT_TRUE(p);
        const std::map<QString, double> read = {
            {"DisplayMode", s.DisplayMode}, {"Width", p->Width}, {"Left", p->Left}, {"NumberOfBits", s.NumberOfBits},
            {"NumberOfSamples", s.NumberOfSamples}, {"DataFormat", s.DataFormat}, {"SampleFreq", s.SampleFreq},
            {"Max_Frequency", s.Max_Frequency}, {"InputVMax", s.InputVMax}};
        EXPECT_EQ(read.at(QString(c.key).section('/', 1)), c.expected) << c.key << " " << c.text;
        EXPECT_EQ(refused, *c.refused ? QStringList{c.refused} : QStringList{}) << c.key << " " << c.text;
    }
}

TEST(StoredSettings, BadStoreFilesRestoreNothingOrDefaultsAndAreNeverOpenedWhenNotFiles)
{
    BadInputs bad;
    struct Case { QString path; bool restored; const char* refused; bool saved; };
    const Case cases[] = {
        {bad.File("empty.ini", ""), true, "", true},
        // A store the settings library cannot parse is not overwritten; the user is told.
        {bad.File("garbage.ini", BadInputs::Garbage()), true, "", false},
        {bad.File("cut.ini", "[Configuration]\nNumberOfBi"), true, "could not be read in full; missing values are defaults", false},
        {bad.File("big.ini", "[Configuration]\nPartName=" + QByteArray(70000, 'x')), false,
         "was not used: It is 70025 bytes long; files of this kind are at most 64 KiB.", false},
    };
    for (const Case& c : cases) {
        SettingsStore store(c.path);
        Settings s;
        s.NumberOfBits = 7;
        QStringList refused;
        const auto p = LoadStoredSettings(store, CommandLineSwitches::From("/GET"), s, &refused);
        EXPECT_EQ(p.has_value(), c.restored) << c.path.toStdString();
        EXPECT_EQ(s.NumberOfBits, c.restored ? 12 : 7);
        EXPECT_EQ(refused.size(), *c.refused ? 1 : 0) << c.path.toStdString();
        EXPECT_TRUE(!*c.refused || refused.value(0).endsWith(c.refused)) << refused.value(0).toStdString();
        EXPECT_EQ(SaveStoredSettings(store, CommandLineSwitches::From("/SAVE"), WindowPosition{}, s), c.saved) << c.path.toStdString();
    }
}

TEST(CommandLineSwitches, FoundAsSubstringsOfTheUpperCasedLine)
{
    struct Case { QString line; bool get, save, del, echo; };
    const Case cases[] = {
        {"prog /Del /e", false, false, true, true},    {"/G E T /SAV", false, false, false, false},
        {"/DELETE/GETTER/e", true, false, true, true},
        {QString::fromLatin1(BadInputs::Garbage()), false, false, false, false},
        {QString(100000, u'x') + "/get", true, false, false, false},
    };
    for (const Case& c : cases) {
        const CommandLineSwitches sw = CommandLineSwitches::From(c.line);
        EXPECT_EQ(std::tie(sw.Get, sw.Save, sw.Delete, sw.Echo), std::tie(c.get, c.save, c.del, c.echo))
            << c.line.left(40).toStdString();
    }
}

TEST(StoredSettings, SwitchesDecideWhatIsRestoredWrittenAndDeleted)
{
    IsolatedStore iso;
    EXPECT_TRUE(DeleteStoredSettings(iso.store, CommandLineSwitches::From("/DEL")));   // on an empty store: harmless
    iso.Put("Configuration/PartName", "stored");
    Settings s;
    s.PartName = "start-up";
    EXPECT_FALSE(LoadStoredSettings(iso.store, CommandLineSwitches::From("/e"), s));     // echo alone restores nothing
    EXPECT_EQ(s.EchoComms, True);
    EXPECT_EQ(s.PartName, "start-up");
    EXPECT_TRUE(SaveStoredSettings(iso.store, CommandLineSwitches::From("/GET /E"), WindowPosition{}, s));   // without save: nothing written
    EXPECT_EQ(iso.Ini().allKeys(), QStringList{"Configuration/PartName"});

    EXPECT_TRUE(SaveStoredSettings(iso.store, CommandLineSwitches::From("/save/del"), WindowPosition{}, Settings{}));
    EXPECT_EQ(iso.Ini().allKeys().size(), 14);
    EXPECT_TRUE(DeleteStoredSettings(iso.store, CommandLineSwitches::From("/save/del")));
    EXPECT_TRUE(iso.Ini().allKeys().isEmpty());
}
