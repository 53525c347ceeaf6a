// The board's command tree: configuration, block settings, power and reset, acquisition,
// the last block's data, the analysis settings, the data format and storing a block.
#include "scpi/CommandTable.h"
#include "scpi/Parameters.h"
#include "scpi/SafePath.h"

#include <cmath>

namespace {

using T = CommandEntry;
using Op = InstrumentState::Operation;

const QStringList kWindows = {"RECTangular", "HANN", "BH4", "BH7", "FLATtop"};
const QStringList kWindowNames = {"RECT", "HANN", "BH4", "BH7", "FLAT"};

bool RunConflict(InstrumentState& s, Call& c)
{
    if (!s.backend.Continuous())
        return false;
    c.Fail(ScpiError::SettingsConflict, QStringLiteral("a continuous run is on"));
    return true;
}

void Fail(Call& c, const BackendOutcome& outcome)
{
    if (outcome.error != 0)
        c.Fail(outcome.error, outcome.text);
}

QByteArray Quoted(const QString& text)
{
    return '"' + QString(text).replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
}

// The newest block, or -230 before the first.
std::shared_ptr<const BlockResult> Block(InstrumentState& s, Call& c)
{
    auto block = s.backend.LastBlock();
    if (!block)
        c.Fail(ScpiError::DataStale, QStringLiteral("no block taken yet"));
    return block;
}

CommandHandler Fetch(std::vector<double> BlockResult::*member)
{
    return [member](InstrumentState& s, Call& c) {
        if (const auto block = Block(s, c))
            c.response = FormatArray((*block).*member, s.format);
    };
}

void FetchMetrics(InstrumentState& s, Call& c)
{
    const auto block = Block(s, c);
    if (!block)
        return;
    QByteArrayList values;
    for (const BlockFigure& f : block->figures)
        values << FormatReal(f.valid ? f.value : std::nan(""));
    c.response = values.join(',');
}

// The file the first parameter names, resolved inside the one folder the command may use;
// nothing (the error reported) for a missing or disallowed name.
std::optional<QString> NamedFile(Call& c, ResolvedPath (*resolve)(const QString&, const QString&), const QString& root)
{
    const auto name = ToString(c.Param(0), c.error);
    if (!name)
        return std::nullopt;
    const ResolvedPath file = resolve(root, *name);
    if (file.error != 0) {
        c.Fail(file.error, *name);
        return std::nullopt;
    }
    return file.path;
}

void LoadConfiguration(InstrumentState& s, Call& c)
{
    if (RunConflict(s, c))
        return;
    if (const auto path = NamedFile(c, ResolveExistingFile, s.configDir))
        s.Start(Op::Load, [&] { s.backend.LoadConfiguration(*path); });
}

void SetFormat(InstrumentState& s, Call& c)
{
    const auto type = ToChoice(c.Param(0), {"ASCii", "INTeger", "REAL"}, c.error);
    if (!type)
        return;
    int length = *type == 2 ? 64 : *type == 1 ? 16 : 0;
    if (c.ParamCount() > 1) {
        const auto n = ToInteger(c.Param(1), {0, 64, 0}, c.error);
        if (!n)
            return;
        length = int(*n);
    }
    DataFormat f = s.format;
    if (*type == 0)
        f.type = DataFormat::Ascii;
    else if (*type == 1 && (length == 16 || length == 32))
        f.type = length == 16 ? DataFormat::Int16 : DataFormat::Int32;
    else if (*type == 2 && (length == 32 || length == 64))
        f.type = length == 32 ? DataFormat::Real32 : DataFormat::Real64;
    else
        return c.Fail(ScpiError::IllegalParameterValue, QStringLiteral("length %1").arg(length));
    s.format = f;
}

void StoreData(InstrumentState& s, Call& c)
{
    const auto path = NamedFile(c, ResolveNewFile, s.dataDir);
    if (path && Block(s, c))
        Fail(c, s.backend.StoreLastBlock(*path));
}

void AnalysisSetting(InstrumentState& s, const std::function<bool(AnalysisSettings&)>& change)
{
    AnalysisSettings a = s.backend.Analysis();
    if (change(a))
        s.backend.SetAnalysis(a);
}

// A block setting's number: refused while a run goes on, then a whole number in range.
std::optional<long long> BlockSetting(InstrumentState& s, Call& c, const NumericRange& range)
{
    if (RunConflict(s, c))
        return std::nullopt;
    return ToInteger(c.Param(0), range, c.error);
}

// An analysis setting held as a whole number: its command and its query.
void AddIntegerSetting(std::vector<CommandEntry>& t, const char* header, int AnalysisSettings::*member,
                       NumericRange range)
{
    t.push_back({HeaderPattern(header), false, 1, 1, T::Immediate, [member, range](InstrumentState& s, Call& c) {
                     AnalysisSetting(s, [&](AnalysisSettings& a) {
                         const auto n = ToInteger(c.Param(0), range, c.error);
                         if (n)
                             a.*member = int(*n);
                         return n.has_value();
                     });
                 }});
    t.push_back({HeaderPattern(header), true, 0, 0, T::Immediate, [member](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.backend.Analysis().*member);
                 }});
}

void AddBlockCommands(std::vector<CommandEntry>& t)
{
    t.push_back({HeaderPattern("CONFigure:FILE"), false, 1, 1, T::AfterOperation, LoadConfiguration});
    t.push_back({HeaderPattern("CONFigure:FILE"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     c.response = Quoted(s.backend.ConfigurationName());
                 }});
    t.push_back({HeaderPattern("[SENSe:]SAMPle:COUNt"), false, 1, 1, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     const auto n = BlockSetting(s, c, {256, 8192, 1024});
                     if (n && (*n & (*n - 1)) != 0)
                         return c.Fail(ScpiError::DataOutOfRange, QStringLiteral("256, 512, ... 8192"));
                     if (n)
                         Fail(c, s.backend.SetSampleCount(int(*n)));
                 }});
    t.push_back({HeaderPattern("[SENSe:]SAMPle:COUNt"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.backend.SampleCount());
                 }});
    t.push_back({HeaderPattern("[SENSe:]SAMPle:RATE"), false, 1, 1, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (const auto hz = BlockSetting(s, c, {1, 2147483647.0, 100000}))
                         Fail(c, s.backend.SetSampleRate(std::int32_t(*hz)));
                 }});
    t.push_back({HeaderPattern("[SENSe:]SAMPle:RATE"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.backend.SampleRate());
                 }});
    t.push_back({HeaderPattern("[SENSe:]SAMPle:RATE:LIST"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     QByteArrayList rates;
                     for (std::int32_t r : s.backend.RateList())
                         rates << QByteArray::number(r);
                     c.response = rates.join(',');
                 }});
}

void AddBoardControl(std::vector<CommandEntry>& t)
{
    t.push_back({HeaderPattern("SYSTem:POWer"), false, 1, 1, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (RunConflict(s, c))
                         return;
                     if (const auto on = ToBoolean(c.Param(0), c.error))
                         s.Start(Op::Power, [&] { s.backend.SetPower(*on); });
                 }});
    t.push_back({HeaderPattern("SYSTem:POWer"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     c.response = s.backend.PoweredOn() ? "1" : "0";
                 }});
    t.push_back({HeaderPattern("SYSTem:RESet"), false, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (!RunConflict(s, c))
                         s.Start(Op::Reset, [&] { s.backend.ResetBoard(); });
                 }});
    t.push_back({HeaderPattern("INITiate[:IMMediate]"), false, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (!RunConflict(s, c))
                         s.Start(Op::Block, [&] { s.backend.StartBlock(); });
                 }});
    t.push_back({HeaderPattern("INITiate:CONTinuous"), false, 1, 1, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     const auto on = ToBoolean(c.Param(0), c.error);
                     // The start is an operation until the run's first block is in:
                     // *OPC? and FETCh wait for it.
                     if (on && *on && !s.backend.Continuous())
                         s.Start(Op::Block, [&] { s.backend.StartContinuous(); });
                     else if (on && !*on)
                         s.backend.Abort();
                 }});
    t.push_back({HeaderPattern("INITiate:CONTinuous"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = s.backend.Continuous() ? "1" : "0";
                 }});
    t.push_back({HeaderPattern("ABORt"), false, 0, 0, T::Immediate, [](InstrumentState& s, Call&) { s.backend.Abort(); }});
}

void AddDataCommands(std::vector<CommandEntry>& t)
{
    t.push_back({HeaderPattern("FETCh:WAVeform"), true, 0, 0, T::AfterOperation, Fetch(&BlockResult::codes)});
    t.push_back({HeaderPattern("FETCh:VOLTage"), true, 0, 0, T::AfterOperation, Fetch(&BlockResult::volts)});
    t.push_back({HeaderPattern("FETCh:SPECtrum"), true, 0, 0, T::AfterOperation, Fetch(&BlockResult::spectrumDbfs)});
    t.push_back({HeaderPattern("FETCh:HISTogram"), true, 0, 0, T::AfterOperation, Fetch(&BlockResult::histogram)});
    t.push_back({HeaderPattern("FETCh:METRics"), true, 0, 0, T::AfterOperation, FetchMetrics});
    t.push_back({HeaderPattern("FETCh:METRics:JSON"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (const auto block = Block(s, c))
                         c.response = block->metricsJson;
                 }});
    t.push_back({HeaderPattern("READ:WAVeform"), true, 0, 0, T::AfterOperation, {}, {"INITiate", "FETCh:WAVeform?"}});
    t.push_back({HeaderPattern("READ:METRics"), true, 0, 0, T::AfterOperation, {}, {"INITiate", "FETCh:METRics?"}});
    t.push_back({HeaderPattern("MMEMory:STORe:DATA"), false, 1, 1, T::AfterOperation, StoreData});
    t.push_back({HeaderPattern("FORMat[:DATA]"), false, 1, 2, T::Immediate, SetFormat});
    t.push_back({HeaderPattern("FORMat[:DATA]"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = s.format.Name().toLatin1();
                 }});
    t.push_back({HeaderPattern("FORMat:BORDer"), false, 1, 1, T::Immediate, [](InstrumentState& s, Call& c) {
                     if (const auto order = ToChoice(c.Param(0), {"NORMal", "SWAPped"}, c.error))
                         s.format.swapped = *order == 1;
                 }});
    t.push_back({HeaderPattern("FORMat:BORDer"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = s.format.swapped ? "SWAP" : "NORM";
                 }});
}

void AddAnalysisCommands(std::vector<CommandEntry>& t)
{
    t.push_back({HeaderPattern("CALCulate:WINDow"), false, 1, 1, T::Immediate, [](InstrumentState& s, Call& c) {
                     AnalysisSetting(s, [&](AnalysisSettings& a) {
                         const auto w = ToChoice(c.Param(0), kWindows, c.error);
                         if (w)
                             a.window = AnalysisSettings::Window(*w);
                         return w.has_value();
                     });
                 }});
    t.push_back({HeaderPattern("CALCulate:WINDow"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = kWindowNames[s.backend.Analysis().window].toLatin1();
                 }});
    AddIntegerSetting(t, "CALCulate:HARMonics", &AnalysisSettings::harmonics, {2, 25, 5});
    AddIntegerSetting(t, "CALCulate:AVERage:COUNt", &AnalysisSettings::averageCount, {1, 256, 1});
    t.push_back({HeaderPattern("CALCulate:AVERage:CLEar"), false, 0, 0, T::Immediate,
                 [](InstrumentState& s, Call&) { s.backend.ClearAverage(); }});
}

} // namespace

std::vector<CommandEntry> BoardCommands()
{
    std::vector<CommandEntry> t;
    AddBlockCommands(t);
    AddBoardControl(t);
    AddDataCommands(t);
    AddAnalysisCommands(t);
    return t;
}
