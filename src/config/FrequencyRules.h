#pragma once

#include "config/ClockSettings.h"
#include "config/Settings.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

// The setup dialog's rules for the sample frequency, the block length and the input
// range, over plain values so they work without widgets. Where a rule ends by selecting
// a list item, it returns the index and the dialog selects it, which runs the list's
// click handler just as a user's selection does.

// The items the frequency and sample-count lists start with.
QStringList SampleFrequencyItems();
QStringList SampleCountItems();

// Where Add_Frequency / SetMaxFreq put a frequency: the item to select, after inserting
// the frequency there in decimal when no item equals it.
struct FrequencyPlace {
    int index = 0;
    bool insert = false;
};
FrequencyPlace FindFrequencyPlace(const QStringList& items, std::int32_t frequency);

// The first item whose text is the frequency in decimal, or nullopt.
std::optional<int> MatchingFrequencyItem(const QStringList& items, std::int32_t frequency);

// The frequency list's click with the chosen item's text: takes it as the sample
// frequency, or the ceiling when it is above Max_Frequency, and sets the clock. A ceiling
// is handed to putCeiling (which puts it into the list and selects it) before the clock
// is set, and returned.
std::optional<std::int32_t> ChooseListFrequency(const QString& text, Settings& s, ClockSettings& clock,
                                                const std::function<void(std::int32_t)>& putCeiling = {});

// What leaving the other-frequency box changes on screen.
struct OtherFrequencyOutcome {
    QString otherText;                  // the box's text afterwards
    std::optional<QString> comboText;   // new text of the frequency list (nothing selected)
    bool selectCeiling = false;         // SetMaxFreq follows
};

// The other-frequency box losing the focus with text: a value above the ceiling becomes
// the ceiling, a negative one the list's first item, zero changes nothing. Raises
// EvalError when the text is not a number (13) or a step fails; `out` then holds what the
// steps before the failure did, and settings changed by them stay changed.
void EnterOtherFrequency(const QString& text, const QString& firstItem, Settings& s,
                         ClockSettings& clock, OtherFrequencyOutcome& out);

// The list index that shows a block-length exponent: exponents without an item are
// brought into the list's range.
int SampleCountIndex(std::int16_t numberOfSamples);

// The sample-count list's click: stores the index; true when it changed, so the caller
// resets the chart spans and clears Hold Zoom.
bool ChooseSampleCount(int index, Settings& s);

// An input-range box losing the focus: stores its leading number and returns the text
// the box then shows ("#0.0000").
QString EnterInputVoltage(const QString& text, double& field);

// What a typed character does in the entry boxes: digits are kept (and the decimal
// point in the voltage boxes), Enter ends the entry, every other printable character is
// dropped. Backspace and the editing shortcuts type nothing and are kept.
enum class EntryKey { Keep, Drop, EndEntry };
EntryKey FrequencyEntryKey(QChar c);
EntryKey VoltageEntryKey(QChar c);
