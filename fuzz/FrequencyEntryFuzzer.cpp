// The setup dialog's frequency and input-range entry: the typed text (after the first two
// bytes, which pick the ceiling) goes through the key filter, the other-frequency rule,
// the list click and the voltage boxes. Failures are the documented numbered errors;
// anything else the rules do keeps the clock in step with the settings.
#include "FuzzSupport.h"
#include "config/FrequencyRules.h"
#include "core/EvalError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    Settings s;
    s.Max_Frequency = 1000 * (data[0] * 256 + data[1]);
    s.SampleFreq = 100000;
    ClockSettings clock;
    clock.SetCrystalFrequency(40000000);

    QString typed;
    for (const QChar c : text) {
        const EntryKey key = FrequencyEntryKey(c);
        if (key == EntryKey::EndEntry)
            break;
        if (key == EntryKey::Keep)
            typed += c;
    }

    for (const QString& entry : {text, typed}) {
        OtherFrequencyOutcome out;
        const std::int32_t before = s.SampleFreq;
        const int error = RunStep([&] { EnterOtherFrequency(entry, QStringLiteral("50000"), s, clock, out); });
        FUZZ_CHECK(error == 0 || error == 6 || error == 13 || error == 510);
        if (error == 0 && s.SampleFreq != before)
            FUZZ_CHECK(clock.SampleFrequency() == s.SampleFreq);

        const QStringList items = SampleFrequencyItems();
        const FrequencyPlace place = FindFrequencyPlace(items, s.SampleFreq);
        FUZZ_CHECK(place.index >= 0 && place.index <= items.size());

        const int listError = RunStep([&] { ChooseListFrequency(entry, s, clock); });
        FUZZ_CHECK(listError == 0 || listError == 6 || listError == 13 || listError == 510);
        if (listError == 0)
            FUZZ_CHECK(s.SampleFreq <= s.Max_Frequency || s.Max_Frequency <= 0);

        double volts = 0;
        const QString shown = EnterInputVoltage(entry, volts);
        FUZZ_CHECK(!shown.isEmpty());
    }
    return 0;
}
