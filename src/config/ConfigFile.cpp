#include "config/ConfigFile.h"

#include "core/CaseInsensitivePath.h"
#include "core/EvalError.h"
#include "core/FieldReader.h"
#include "core/Numbers.h"

#include <cmath>

namespace {

const QString kSource = QStringLiteral("ReadConfigFile");
const QString kSelectionError = QStringLiteral("File Selection Error");

// The first item that mentions the keyword anywhere, in any letter case.
const QString* FindItem(const QStringList& items, const char* keyword)
{
    for (const QString& item : items)
        if (item.toUpper().contains(QLatin1String(keyword)))
            return &item;
    return nullptr;
}

// Everything after the first colon, untrimmed; the whole item when there is no colon.
QString ValueOf(const QString& item)
{
    const qsizetype colon = item.indexOf(u':');
    return colon < 0 ? item : item.mid(colon + 1);
}

bool Mentions(const QString* item, const char* marker)
{
    return item && item->toUpper().contains(QLatin1String(marker));
}

double NumberOr(const QStringList& items, const char* keyword, double missing)
{
    const QString* item = FindItem(items, keyword);
    return item ? Val(ValueOf(*item)) : missing;
}

// The block-length exponent for a sample count: log2(n / 256), rounded.
std::int16_t SamplesExponent(double n)
{
    const double blocks = n / 256.0;
    if (!(blocks > 0))
        throw EvalError(5, kSource, QStringLiteral("Invalid procedure call or argument"));
    return ToInt16(std::log2(blocks));
}

// Reads the file's items after the header; false when the first field is not the header.
bool ReadItems(const QString& path, QStringList& items)
{
    items.clear();
    auto reader = FieldReader::FromFile(ResolveCaseInsensitive(path));
    if (!reader)
        throw EvalError(ErrorNumber::FileNotFound, kSource, QStringLiteral("File not found"));
    if (!reader->Next().toUpper().contains(QLatin1String("[EVAL-CONTROL BOARD]")))
        return false;
    while (!reader->AtEnd())
        items << reader->Next();
    return true;
}

// Applies the keys in their fixed order, each from its first matching item or from its
// default. Returns false, with the keys after it untouched, when no item names a program.
bool ApplyKeys(const QStringList& items, Settings& s, Latch& latch)
{
    const QString* part = FindItem(items, "PARTNAME");
    s.PartName = part ? ValueOf(*part) : QStringLiteral("Unknown");
    const QString* program = FindItem(items, "PROGRAMNAME");
    if (!program)
        return false;
    s.EXEName = ValueOf(*program);

    s.SampleFreq = ToInt32(NumberOr(items, "SAMPLEFREQUENCY", 100000));
    s.Max_Frequency = ToInt32(NumberOr(items, "MAXSAMPLEFREQUENCY", 250000));
    const QString* samples = FindItem(items, "SAMPLES");
    s.NumberOfSamples = samples ? SamplesExponent(Val(ValueOf(*samples))) : 0;

    latch.SetHiSupply(ToVBool(Mentions(FindItem(items, "+/-15V"), "ON")));
    const QString* dvdd = FindItem(items, "DVDD");
    latch.SetDVDD(ToVBool(dvdd && !Mentions(dvdd, "3")));
    latch.SetDigiON_OFF(ToVBool(Mentions(dvdd, "ON")));
    const QString* avdd = FindItem(items, "AVDD");
    latch.SetAVDD(ToVBool(avdd && !Mentions(avdd, "3")));
    latch.SetAVDD_On_Off(ToVBool(Mentions(avdd, "ON")));
    latch.SetENA_QS(ToVBool(Mentions(FindItem(items, "BUS"), "ON")));

    const QString* format = FindItem(items, "DATAFORMAT");
    s.DataFormat = format && !Mentions(format, "BINARY") ? 1 : 0;
    s.NumberOfBits = ToInt16(NumberOr(items, "NUMBEROFBITS", 12));
    s.InputVMax = NumberOr(items, "INPUTVMAX", 5.0);
    s.InputVMin = NumberOr(items, "INPUTVMIN", 0.0);
    return true;
}

MessageRequest Exclamation(QString text, QString title, MessageButtons buttons = MessageButtons::Ok)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, buttons};
}

} // namespace

std::int16_t ReadConfigFile(const QString& path, Settings& s, Latch& latch,
                            QStringList& lstINI_File, Messenger& messages)
{
    try {
        // Retry reads the whole file again, so the user can fix it in between.
        for (;;) {
            if (!ReadItems(path, lstINI_File)) {
                messages.ShowMessage(Exclamation(QStringLiteral("This is not a valid CFG file"),
                                                 kSelectionError));
                return 2;
            }
            if (ApplyKeys(lstINI_File, s, latch))
                return 0;
            const MessageResult answer = messages.ShowMessage(Exclamation(
                QStringLiteral("This file does not contian an EXE filename to load.\r\n"
                               "Please select a valid INI file."),
                kSelectionError, MessageButtons::RetryCancel));
            if (answer != MessageResult::Retry) {
                s.PartName = QString();
                return 0;
            }
        }
    } catch (const EvalError& e) {
        messages.ShowMessage(Exclamation(
            QStringLiteral("An Unexpected Error (Code:%1 Occurred.\r\n"
                           "Please check the synthax of the .INI file.").arg(e.Number),
            QStringLiteral("Error")));
        return 2;
    }
}

void ShowConfigurationStatus(const Settings& s, StatusLines& status2)
{
    status2.ClearLines();
    status2.SetDisplay(true);
    status2.AddLine(QStringLiteral("Configuration:"), Colour::Blue);
    status2.AddLine(QStringLiteral("Part:") + s.PartName);
    status2.AddLine(QStringLiteral("Program:") + s.EXEName);
    status2.AddLine(QStringLiteral("Bits:") + QString::number(s.NumberOfBits));
    status2.AddLine(s.DataFormat != 0 ? QStringLiteral("Code: 2's Comp") : QStringLiteral("Code: Binary"));
}
