#include "files/StoredSettings.h"

#include "TempFiles.h"

#include <QLocale>

#include <functional>
#include <gtest/gtest.h>

namespace {

// A store in a scratch INI file, never the user's own.
struct IsolatedStore {
    TempFiles temp;
    QString path = temp.Path("store.ini");

    void Put(const QString& key, const QString& value)
    {
        QSettings(path, QSettings::IniFormat).setValue(key, value);
    }
    QSettings Ini() const { return QSettings(path, QSettings::IniFormat); }
};

} // namespace

TEST(StoredSettings, LowerCaseGetSaveRoundTripsInACommaDecimalLocale)
{
    IsolatedStore iso;
    const QLocale before;
    QLocale::setDefault(QLocale::German);
    Settings saved;
    saved.PartName = "KV2680, rev B";
    saved.EXEName = "ECB2.EXE";
    saved.InputVMax = 2.5;
    saved.InputVMin = -2.5;
    saved.SampleFreq = 1234567;
    saved.Max_Frequency = 3000000;
    saved.NumberOfBits = 16;
    saved.NumberOfSamples = 5;
    saved.DataFormat = 1;
    saved.DisplayMode = True;
    {
        SettingsStore store(iso.path);
        EXPECT_TRUE(SaveStoredSettings(store, "eval /get/save", {1440, 720.5, 12000, 8000}, saved));
    }
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
    EXPECT_EQ(std::tie(restored.PartName, restored.EXEName, restored.InputVMax, restored.InputVMin),
              std::tie(saved.PartName, saved.EXEName, saved.InputVMax, saved.InputVMin));
    EXPECT_EQ(std::tie(restored.SampleFreq, restored.Max_Frequency, restored.NumberOfBits,
                       restored.NumberOfSamples, restored.DataFormat, restored.DisplayMode),
              std::tie(saved.SampleFreq, saved.Max_Frequency, saved.NumberOfBits,
                       saved.NumberOfSamples, saved.DataFormat, saved.DisplayMode));
    EXPECT_EQ(restored.EchoComms, False);
}

TEST(StoredSettings, StoredTextsConvertOrFallBackToTheirDefaults)
{
    using Read = std::function<double(const Settings&, const WindowPosition&)>;
    const Read displayMode = [](const Settings& s, const WindowPosition&) { return s.DisplayMode; };
    const Read width = [](const Settings&, const WindowPosition& p) { return p.Width; };
    const Read bits = [](const Settings& s, const WindowPosition&) { return s.NumberOfBits; };
    const Read samples = [](const Settings& s, const WindowPosition&) { return s.NumberOfSamples; };
    const Read format = [](const Settings& s, const WindowPosition&) { return s.DataFormat; };
    const Read maxFrequency = [](const Settings& s, const WindowPosition&) { return s.Max_Frequency; };
    struct Case { const char* key; const char* text; Read read; double expected; };
    const Case cases[] = {
        {"Configuration/DisplayMode", "True", displayMode, True},
        {"Configuration/DisplayMode", "0", displayMode, False},
        {"Configuration/DisplayMode", "-1", displayMode, True},
        {"Configuration/DisplayMode", "maybe", displayMode, False},
        {"Position/Width", "wide", width, 9465},
        {"Position/Width", "8000", width, 8000},
        {"Configuration/NumberOfBits", "12.5", bits, 12},        // ties to even
        {"Configuration/NumberOfSamples", "3.5", samples, 4},
        {"Configuration/DataFormat", "70000", format, 0},        // does not fit 16 bits
        {"Configuration/Other", "1", maxFrequency, 250000},      // missing key
    };
    for (const Case& c : cases) {
        IsolatedStore iso;
        iso.Put(c.key, c.text);
        SettingsStore store(iso.path);
        Settings s;
        const auto position = LoadStoredSettings(store, "/GET", s);
        ASSERT_TRUE(position);
        EXPECT_EQ(c.read(s, *position), c.expected) << c.key << " " << c.text;
    }
}

TEST(StoredSettings, SaveThenDeleteLeavesNothingAndDeleteOnEmptyStoreIsHarmless)
{
    IsolatedStore iso;
    SettingsStore store(iso.path);
    EXPECT_TRUE(DeleteStoredSettings(store, "/DEL"));
    EXPECT_TRUE(SaveStoredSettings(store, "/save/del", WindowPosition{}, Settings{}));
    EXPECT_EQ(iso.Ini().allKeys().size(), 14);
    EXPECT_TRUE(DeleteStoredSettings(store, "/save/del"));
    EXPECT_TRUE(iso.Ini().allKeys().isEmpty());
}

TEST(StoredSettings, EchoAloneRestoresNothingAndWithoutSaveNothingIsWritten)
{
    IsolatedStore iso;
    iso.Put("Configuration/PartName", "stored");
    SettingsStore store(iso.path);
    Settings s;
    s.PartName = "start-up";
    EXPECT_FALSE(LoadStoredSettings(store, "/e", s));
    EXPECT_EQ(s.EchoComms, True);
    EXPECT_EQ(s.PartName, "start-up");

    EXPECT_TRUE(SaveStoredSettings(store, "/GET /E", WindowPosition{}, s));
    EXPECT_EQ(iso.Ini().allKeys(), QStringList{"Configuration/PartName"});
}
