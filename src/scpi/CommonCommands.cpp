// IEEE 488.2 common commands and the SYSTem error and version queries.
#include "scpi/CommandTable.h"
#include "scpi/Parameters.h"

namespace {

using T = CommandEntry;
const NumericRange kMask{0, 255, 0};

void SetMask(Call& c, const std::function<void(int)>& set)
{
    if (const auto v = ToInteger(c.Param(0), kMask, c.error))
        set(int(*v));
}

void Reset(InstrumentState& s, Call&)
{
    // The run was stopped before this ran; the board itself is left as it is.
    s.backend.SetSampleCount(s.resetSampleCount);
    if (s.resetSampleRate > 0)
        s.backend.SetSampleRate(s.resetSampleRate);
    s.backend.SetAnalysis(AnalysisSettings{});
    s.backend.ClearAverage();
    s.format = DataFormat{};
}

} // namespace

std::vector<CommandEntry> CommonCommands()
{
    std::vector<CommandEntry> t;
    t.push_back({HeaderPattern("*IDN"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QStringLiteral("KV2680,%1,%2,%3")
                                      .arg(s.backend.Model(), s.backend.SerialNumber(), s.version).toUtf8();
                 }});
    t.push_back({HeaderPattern("*RST"), false, 0, 0, T::AbortThenWait, Reset});
    t.push_back({HeaderPattern("*CLS"), false, 0, 0, T::Immediate, [](InstrumentState& s, Call&) {
                     s.errors.Clear();
                     s.status.Clear();
                     s.opcArmed = false;
                 }});
    t.push_back({HeaderPattern("*ESE"), false, 1, 1, T::Immediate, [](InstrumentState& s, Call& c) {
                     SetMask(c, [&](int v) { s.status.SetEse(v); });
                 }});
    t.push_back({HeaderPattern("*ESE"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.status.Ese());
                 }});
    t.push_back({HeaderPattern("*ESR"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.status.ReadAndClearEsr());
                 }});
    t.push_back({HeaderPattern("*SRE"), false, 1, 1, T::Immediate, [](InstrumentState& s, Call& c) {
                     SetMask(c, [&](int v) { s.status.SetSre(v); });
                 }});
    t.push_back({HeaderPattern("*SRE"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.status.Sre());
                 }});
    t.push_back({HeaderPattern("*STB"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.status.Stb(s.errors.Count() > 0, false));
                 }});
    t.push_back({HeaderPattern("*OPC"), false, 0, 0, T::Immediate, [](InstrumentState& s, Call&) {
                     if (s.Busy())
                         s.opcArmed = true;
                     else
                         s.status.SetEvent(StatusRegisters::OperationComplete);
                 }});
    t.push_back({HeaderPattern("*OPC"), true, 0, 0, T::AfterOperation, [](InstrumentState&, Call& c) {
                     c.response = "1";
                 }});
    t.push_back({HeaderPattern("*WAI"), false, 0, 0, T::AfterOperation, [](InstrumentState&, Call&) {}});
    t.push_back({HeaderPattern("*TST"), true, 0, 0, T::AfterOperation, {}, {"SYSTem:TEST:STARt", "SYSTem:TEST:RESult?"}});
    t.push_back({HeaderPattern("SYSTem:TEST:STARt"), false, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     if (s.backend.Continuous())
                         return c.Fail(ScpiError::SettingsConflict, QStringLiteral("a continuous run is on"));
                     s.Start(InstrumentState::Operation::SelfTest, [&] { s.backend.SelfTest(); });
                 }});
    t.push_back({HeaderPattern("SYSTem:TEST:RESult"), true, 0, 0, T::AfterOperation, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(s.selfTestResult);
                 }});
    t.push_back({HeaderPattern("SYSTem:ERRor[:NEXT]"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = FormatErrorResponse(s.errors.Pop()).toUtf8();
                 }});
    t.push_back({HeaderPattern("SYSTem:ERRor:COUNt"), true, 0, 0, T::Immediate, [](InstrumentState& s, Call& c) {
                     c.response = QByteArray::number(qulonglong(s.errors.Count()));
                 }});
    t.push_back({HeaderPattern("SYSTem:VERSion"), true, 0, 0, T::Immediate, [](InstrumentState&, Call& c) {
                     c.response = "1999.0";
                 }});
    return t;
}
