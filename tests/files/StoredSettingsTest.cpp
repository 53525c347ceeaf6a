#include "files/StoredSettings.h"

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
    EXPECT_TRUE(SaveStoredSettings(iso.store, "eval /get/save", {1440, 720.5, 12000, 8000}, saved));
    EXPECT_EQ(iso.Ini().value("Configuration/InputVMax").toString(), "2,5");
    EXPECT_EQ(iso.Ini().value("Configuration/DisplayMode").toString(), "True");
    EXPECT_EQ(iso.Ini().value("Position/Width").toString(), "12000");

    SettingsStore store(iso.path);
    Settings restored;
    const auto position = LoadStoredSettings(store, "eval /get/save", restored);
    QLocale::setDefault(before);
    ASSERT_TRUE(position);
    EXPECT_EQ(std::tie(position->Left, position->Top, position->Width, position->Height),
              std::make_tuple(1440.0, 720.5, 12000.0, 8000.0));
    EXPECT_EQ(StoredFields(restored), StoredFields(saved));
    EXPECT_EQ(restored.EchoComms, False);
}

TEST(StoredSettings, StoredTextsConvertOrFallBackToTheirDefaults)
{
    struct Case { const char* key; const char* text; const char* field; double expected; };
    const Case cases[] = {
        {"Configuration/DisplayMode", "True", "DisplayMode", True},
        {"Configuration/DisplayMode", "0", "DisplayMode", False},
        {"Configuration/DisplayMode", "-1", "DisplayMode", True},
        {"Configuration/DisplayMode", "maybe", "DisplayMode", False},
        {"Position/Width", "wide", "Width", 9465},
        {"Position/Width", "8000", "Width", 8000},
        {"Configuration/NumberOfBits", "12.5", "NumberOfBits", 12},        // ties to even
        {"Configuration/NumberOfSamples", "3.5", "NumberOfSamples", 4},
        {"Configuration/DataFormat", "70000", "DataFormat", 0},            // does not fit 16 bits
        {"Configuration/Other", "1", "Max_Frequency", 250000},             // missing key
    };
    for (const Case& c : cases) {
        IsolatedStore iso;
        iso.Put(c.key, c.text);
        SettingsStore store(iso.path);
        Settings s;
        const auto p = LoadStoredSettings(store, "/GET", s);
        ASSERT_TRUE(p);
        const std::map<std::string, double> read = {
            {"DisplayMode", s.DisplayMode}, {"Width", p->Width}, {"NumberOfBits", s.NumberOfBits},
            {"NumberOfSamples", s.NumberOfSamples}, {"DataFormat", s.DataFormat},
            {"Max_Frequency", s.Max_Frequency}};
        EXPECT_EQ(read.at(c.field), c.expected) << c.key << " " << c.text;
    }
}

TEST(StoredSettings, SaveThenDeleteLeavesNothingAndDeleteOnEmptyStoreIsHarmless)
{
    IsolatedStore iso;
    EXPECT_TRUE(DeleteStoredSettings(iso.store, "/DEL"));
    EXPECT_TRUE(SaveStoredSettings(iso.store, "/save/del", WindowPosition{}, Settings{}));
    EXPECT_EQ(iso.Ini().allKeys().size(), 14);
    EXPECT_TRUE(DeleteStoredSettings(iso.store, "/save/del"));
    EXPECT_TRUE(iso.Ini().allKeys().isEmpty());
}

TEST(StoredSettings, EchoAloneRestoresNothingAndWithoutSaveNothingIsWritten)
{
    IsolatedStore iso;
    iso.Put("Configuration/PartName", "stored");
    Settings s;
    s.PartName = "start-up";
    EXPECT_FALSE(LoadStoredSettings(iso.store, "/e", s));
    EXPECT_EQ(s.EchoComms, True);
    EXPECT_EQ(s.PartName, "start-up");

    EXPECT_TRUE(SaveStoredSettings(iso.store, "/GET /E", WindowPosition{}, s));
    EXPECT_EQ(iso.Ini().allKeys(), QStringList{"Configuration/PartName"});
}
