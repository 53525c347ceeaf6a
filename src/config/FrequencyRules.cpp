#include "config/FrequencyRules.h"

#include "core/Numbers.h"

#include <algorithm>

QStringList SampleFrequencyItems()
{
    return {"50000", "100000", "150000", "200000", "250000", "300000",
            "350000", "400000", "450000", "500000", "550000", "580000"};
}

QStringList SampleCountItems()
{
    return {"256", "512", "1024", "2048", "4096", "8192"};
}

FrequencyPlace FindFrequencyPlace(const QStringList& items, std::int32_t frequency)
{
    // The place is the last item not above the frequency, or the first equal one; a new
    // item goes after it, so a value below every item still lands after the first.
    int place = 0;
    for (int i = 0; i < items.size(); ++i) {
        const double v = Val(items[i]);
        if (v == frequency)
            return {i, false};
        if (v <= frequency)
            place = i;
    }
    return {std::min(place + 1, int(items.size())), true};
}

std::optional<int> MatchingFrequencyItem(const QStringList& items, std::int32_t frequency)
{
    const qsizetype i = items.indexOf(QString::number(frequency));
    return i < 0 ? std::nullopt : std::optional<int>(int(i));
}

std::optional<std::int32_t> ChooseListFrequency(const QString& text, Settings& s, ClockSettings& clock,
                                                const std::function<void(std::int32_t)>& putCeiling)
{
    std::optional<std::int32_t> ceiling;
    // The ceiling also holds for the value taken, where it reads differently from the
    // leading number (a text that begins with a vertical tab, say).
    if (Val(text) <= s.Max_Frequency && StrictDouble(text) <= s.Max_Frequency) {
        s.SampleFreq = ToInt32(StrictDouble(text));
    } else {
        s.SampleFreq = s.Max_Frequency;
        ceiling = s.Max_Frequency;
        if (putCeiling)
            putCeiling(*ceiling);
    }
    clock.SetSampleFrequency(s.SampleFreq);
    return ceiling;
}

void EnterOtherFrequency(const QString& text, const QString& firstItem, Settings& s,
                         ClockSettings& clock, OtherFrequencyOutcome& out)
{
    out.otherText = text;
    // Every test below uses the value the box held on entry.
    const double f = StrictDouble(text.trimmed());
    if (f > s.Max_Frequency) {
        out.otherText = QString::number(s.Max_Frequency);
        s.SampleFreq = s.Max_Frequency;
        clock.SetSampleFrequency(s.SampleFreq);
        out.selectCeiling = true;
    }
    if (f < 0) {
        out.otherText = firstItem;
        s.SampleFreq = ToInt32(StrictDouble(firstItem));
        clock.SetSampleFrequency(s.SampleFreq);
    }
    if (f > 0 && f <= s.Max_Frequency) {
        s.SampleFreq = ToInt32(StrictDouble(text));
        out.comboText = text;
        clock.SetSampleFrequency(s.SampleFreq);
    }
}

int SampleCountIndex(std::int16_t numberOfSamples)
{
    return std::clamp(int(numberOfSamples), 0, int(SampleCountItems().size()) - 1);
}

bool ChooseSampleCount(int index, Settings& s)
{
    const bool changed = s.NumberOfSamples != index;
    s.NumberOfSamples = std::int16_t(index);
    return changed;
}

QString EnterInputVoltage(const QString& text, double& field)
{
    field = Val(text);
    return FormatFixed(field, 4);
}

namespace {
EntryKey EntryKeyFor(QChar c, bool decimalPoint)
{
    if (c == u'\r' || c == u'\n')
        return EntryKey::EndEntry;
    if (!c.isPrint() || (c >= u'0' && c <= u'9') || (decimalPoint && c == u'.'))
        return EntryKey::Keep;
    return EntryKey::Drop;
}
} // namespace

EntryKey FrequencyEntryKey(QChar c) { return EntryKeyFor(c, false); }
EntryKey VoltageEntryKey(QChar c) { return EntryKeyFor(c, true); }
