#include "config/ConfigFile.h"

#include "config/ValueRanges.h"
#include "core/CaseInsensitivePath.h"
#include "core/EvalError.h"
#include "core/FieldReader.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"

#include <QFileInfo>
#include <cmath>
#include <vector>

namespace {

const QString kSource = QStringLiteral("ReadConfigFile");
const QString kSelectionError = QStringLiteral("File Selection Error");

// A value the file gives that the program cannot work with: the item, its line, and
// what the key allows.
struct OutOfRange {
    QString item;
    int line;
    QString allowed;
};

// A file that could not be read at all, and why.
struct Unread {
    FileProblem problem;
};

// The file's items after the header, with the line each began on.
struct ConfigItems {
    QStringList& items;
    std::vector<int> lines;

    // The index of the first item that mentions the keyword anywhere, in any letter case.
    int Find(const char* keyword) const
    {
        for (int i = 0; i < items.size(); ++i)
            if (items[i].toUpper().contains(QLatin1String(keyword)))
                return i;
        return -1;
    }
    const QString* Item(const char* keyword) const
    {
        const int i = Find(keyword);
        return i < 0 ? nullptr : &items[i];
    }
};

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

// Applies the key's conversion and refuses a number outside [low, high]. A value without
// a number reads as 0, as it always has.
template <typename Convert>
auto Checked(const ConfigItems& c, const char* keyword, double missing, double low, double high,
             const QString& allowed, Convert convert)
{
    const int i = c.Find(keyword);
    bool isNumber = false;
    const auto value = convert(i < 0 ? missing : Val(ValueOf(c.items[i]), &isNumber));
    if (isNumber && !InRange(value, low, high))
        throw OutOfRange{c.items[i], c.lines[size_t(i)], allowed};
    return value;
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
bool ReadItems(const QString& path, ConfigItems& c)
{
    c.items.clear();
    const TextFile file = ReadTextFile(ResolveCaseInsensitive(path), MaxConfigFileBytes);
    if (!file.Content)
        throw Unread{file.Problem};
    FieldReader reader(*file.Content);
    if (reader.AtEnd() || !reader.Next().toUpper().contains(QLatin1String("[EVAL-CONTROL BOARD]")))
        return false;
    c.lines.clear();
    while (!reader.AtEnd()) {
        c.items << reader.Next();
        c.lines.push_back(reader.Line());
    }
    return true;
}

// Applies the keys in their fixed order, each from its first matching item or from its
// default. Returns false, with the keys after it untouched, when no item names a program.
bool ApplyKeys(const ConfigItems& c, Settings& s, Latch& latch)
{
    using namespace ValueRange;
    const QString* part = c.Item("PARTNAME");
    s.PartName = part ? ValueOf(*part) : QStringLiteral("Unknown");
    const QString* program = c.Item("PROGRAMNAME");
    if (!program)
        return false;
    s.EXEName = ValueOf(*program);

    const QString hz = QStringLiteral("a frequency must be ") + RangeText(MinFrequency, MaxFrequency) + " Hz";
    s.SampleFreq = Checked(c, "SAMPLEFREQUENCY", 100000, MinFrequency, MaxFrequency, hz, ToInt32);
    s.Max_Frequency = Checked(c, "MAXSAMPLEFREQUENCY", 250000, MinFrequency, MaxFrequency, hz, ToInt32);
    s.NumberOfSamples = Checked(c, "SAMPLES", 256, MinExponent, MaxExponent,
                                QStringLiteral("the number of samples must be 256, 512, 1024, 2048, 4096 or 8192"),
                                SamplesExponent);

    latch.SetHiSupply(ToVBool(Mentions(c.Item("+/-15V"), "ON")));
    const QString* dvdd = c.Item("DVDD");
    latch.SetDVDD(ToVBool(dvdd && !Mentions(dvdd, "3")));
    latch.SetDigiON_OFF(ToVBool(Mentions(dvdd, "ON")));
    const QString* avdd = c.Item("AVDD");
    latch.SetAVDD(ToVBool(avdd && !Mentions(avdd, "3")));
    latch.SetAVDD_On_Off(ToVBool(Mentions(avdd, "ON")));
    latch.SetENA_QS(ToVBool(Mentions(c.Item("BUS"), "ON")));

    const QString* format = c.Item("DATAFORMAT");
    s.DataFormat = format && !Mentions(format, "BINARY") ? 1 : 0;
    s.NumberOfBits = Checked(c, "NUMBEROFBITS", 12, MinBits, MaxBits,
                             QStringLiteral("the number of bits must be ") + RangeText(MinBits, MaxBits), ToInt16);
    const auto volts = [](double v) { return v; };
    const QString range = QStringLiteral("a voltage must be ") + RangeText(-MaxVolts, MaxVolts) + " V";
    s.InputVMax = Checked(c, "INPUTVMAX", 5.0, -MaxVolts, MaxVolts, range, volts);
    s.InputVMin = Checked(c, "INPUTVMIN", 0.0, -MaxVolts, MaxVolts, range, volts);
    return true;
}

MessageRequest Exclamation(QString text, QString title, MessageButtons buttons = MessageButtons::Ok)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, buttons};
}

MessageRequest UnexpectedError(int number, const QString& cause = QString())
{
    return Exclamation(QStringLiteral("An Unexpected Error (Code:%1 Occurred.\r\n"
                                      "Please check the synthax of the .INI file.").arg(number) + cause,
                       QStringLiteral("Error"));
}

} // namespace

std::int16_t ReadConfigFile(const QString& path, Settings& s, Latch& latch,
                            QStringList& lstINI_File, Messenger& messages)
{
    ConfigItems items{lstINI_File, {}};
    try {
        // Retry reads the whole file again, so the user can fix it in between.
        for (;;) {
            if (!ReadItems(path, items)) {
                messages.ShowMessage(Exclamation(QStringLiteral("This is not a valid CFG file"),
                                                 kSelectionError));
                return 2;
            }
            if (ApplyKeys(items, s, latch))
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
    } catch (const OutOfRange& e) {
        messages.ShowMessage(Exclamation(
            QStringLiteral("%1, line %2: \"%3\" is out of range:\r\n%4.")
                .arg(QFileInfo(path).fileName()).arg(e.line).arg(e.item, e.allowed),
            QStringLiteral("Error")));
        return 2;
    } catch (const Unread& e) {
        // The classic message with the cause's number, and the cause on a line of its own.
        messages.ShowMessage(UnexpectedError(e.problem.Number, QStringLiteral("\r\n") + QFileInfo(path).fileName()
                                                                   + QStringLiteral(": ") + e.problem.Reason));
        return 2;
    } catch (const EvalError& e) {
        messages.ShowMessage(UnexpectedError(e.Number));
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
