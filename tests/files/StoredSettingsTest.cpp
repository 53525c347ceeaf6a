#include "files/StoredSettings.h"

#include "TempFiles.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// A store in a scratch INI file, never the user's own.
struct IsolatedStore {
    TempFiles temp;
    QString path = temp.Path("store.ini");

    void Put(const QString& key, const QString& value)
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(key, value);
    }
    QStringList Keys() const { return QSettings(path, QSettings::IniFormat).allKeys(); }
    QString Get(const QString& key) const
    {
        return QSettings(path, QSettings::IniFormat).value(key).toString();
    }
};

} // namespace

TEST(StoredSettings, LowerCaseGetRestoresPositionAndConfiguration)
{
    IsolatedStore iso;
    iso.Put("Position/Left", "120");
    iso.Put("Position/Height", "5000.5");
    iso.Put("Configuration/PartName", "KV2680");
    iso.Put("Configuration/SampleFreq", "2000000");
    iso.Put("Configuration/NumberOfBits", "12.5");
    iso.Put("Configuration/NumberOfSamples", "3.5");
    iso.Put("Configuration/DataFormat", "70000");

    SettingsStore store(iso.path);
    Settings s;
    const auto position = LoadStoredSettings(store, "eval.exe /get", s);
    ASSERT_TRUE(position);
    EXPECT_EQ(position->Left, 120);
    EXPECT_EQ(position->Top, 0);
    EXPECT_EQ(position->Width, 9465);
    EXPECT_EQ(position->Height, 5000.5);
    EXPECT_EQ(s.PartName, "KV2680");
    EXPECT_EQ(s.EXEName, "ECB.EXE");
    EXPECT_EQ(s.SampleFreq, 2000000);
    EXPECT_EQ(s.Max_Frequency, 250000);
    EXPECT_EQ(s.NumberOfBits, 12);     // ties to even
    EXPECT_EQ(s.NumberOfSamples, 4);
    EXPECT_EQ(s.DataFormat, 0);        // does not fit 16 bits: default
    EXPECT_EQ(s.InputVMax, 5);
    EXPECT_EQ(s.EchoComms, False);
}

TEST(StoredSettings, GetAndSaveRoundTripInACommaDecimalLocale)
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
    const WindowPosition closedAt{1440, 720.5, 12000, 8000};
    {
        SettingsStore store(iso.path);
        EXPECT_TRUE(SaveStoredSettings(store, "/GET/SAVE", closedAt, saved));
    }
    EXPECT_EQ(iso.Get("Configuration/InputVMax"), "2,5");
    EXPECT_EQ(iso.Get("Configuration/DisplayMode"), "True");
    EXPECT_EQ(iso.Get("Position/Width"), "12000");

    SettingsStore store(iso.path);
    Settings restored;
    const auto position = LoadStoredSettings(store, "/GET/SAVE", restored);
    QLocale::setDefault(before);
    ASSERT_TRUE(position);
    EXPECT_EQ(position->Left, 1440);
    EXPECT_EQ(position->Top, 720.5);
    EXPECT_EQ(position->Width, 12000);
    EXPECT_EQ(position->Height, 8000);
    for (auto field : {&Settings::PartName, &Settings::EXEName})
        EXPECT_EQ(restored.*field, saved.*field);
    EXPECT_EQ(restored.InputVMax, 2.5);
    EXPECT_EQ(restored.InputVMin, -2.5);
    EXPECT_EQ(restored.SampleFreq, 1234567);
    EXPECT_EQ(restored.Max_Frequency, 3000000);
    EXPECT_EQ(restored.NumberOfBits, 16);
    EXPECT_EQ(restored.NumberOfSamples, 5);
    EXPECT_EQ(restored.DataFormat, 1);
    EXPECT_EQ(restored.DisplayMode, True);
}

TEST(StoredSettings, SaveThenDeleteLeavesNothingAndDeleteOnEmptyStoreIsHarmless)
{
    IsolatedStore iso;
    SettingsStore store(iso.path);
    EXPECT_TRUE(DeleteStoredSettings(store, "/DEL"));
    EXPECT_TRUE(SaveStoredSettings(store, "/save/del", WindowPosition{}, Settings{}));
    EXPECT_EQ(iso.Keys().size(), 14);
    EXPECT_TRUE(DeleteStoredSettings(store, "/save/del"));
    EXPECT_TRUE(iso.Keys().isEmpty());
}

TEST(StoredSettings, EchoAloneRestoresNothingAndNoSaveSwitchWritesNothing)
{
    IsolatedStore iso;
    iso.Put("Configuration/PartName", "stored");
    SettingsStore store(iso.path);
    Settings s;
    s.PartName = "start-up";
    EXPECT_FALSE(LoadStoredSettings(store, "/e", s));
    EXPECT_EQ(s.EchoComms, True);
    EXPECT_EQ(s.PartName, "start-up");
    EXPECT_TRUE(LoadStoredSettings(store, "/GET", s).has_value());
    EXPECT_EQ(s.EchoComms, False);

    EXPECT_TRUE(SaveStoredSettings(store, "/GET", WindowPosition{}, s));
    EXPECT_EQ(iso.Keys(), QStringList{"Configuration/PartName"});
}

TEST(StoredSettings, DisplayModeAndUnreadableValues)
{
    struct Case { const char* key; const char* text; VBool displayMode; double width; };
    const Case cases[] = {
        {"Configuration/DisplayMode", "True", True, 9465},
        {"Configuration/DisplayMode", "false", False, 9465},
        {"Configuration/DisplayMode", "0", False, 9465},
        {"Configuration/DisplayMode", "-1", True, 9465},
        {"Configuration/DisplayMode", "maybe", False, 9465},
        {"Position/Width", "wide", False, 9465},
        {"Position/Width", "8000", False, 8000},
    };
    for (const Case& c : cases) {
        IsolatedStore iso;
        iso.Put(c.key, c.text);
        SettingsStore store(iso.path);
        Settings s;
        const auto position = LoadStoredSettings(store, "/GET", s);
        ASSERT_TRUE(position);
        EXPECT_EQ(s.DisplayMode, c.displayMode) << c.text;
        EXPECT_EQ(position->Width, c.width) << c.text;
    }
}
