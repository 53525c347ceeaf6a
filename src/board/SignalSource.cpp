#include "board/SignalSource.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

struct Key {
    const char* name;
    const char* help;
    std::function<bool(InputSignal&, double)> set;   // false: the value is out of range
};

double FromDbfs(double dbfs)
{
    return std::pow(10.0, dbfs / 20.0);
}

const std::vector<Key>& Keys()
{
    static const std::vector<Key> keys = {
        {"tone", "=HZ  the tone's frequency in Hz",
         [](InputSignal& s, double hz) { s.frequencyHz = hz; return hz > 0; }},
        {"level", "=DBFS  the tone's level, 0 dBFS at full scale",
         [](InputSignal& s, double db) { s.amplitude = FromDbfs(db); return db <= 0; }},
        {"tone2", "=HZ  a second tone's frequency in Hz (a two-tone test)",
         [](InputSignal& s, double hz) { s.tone2Hz = hz; return hz > 0; }},
        {"level2", "=DBFS  the second tone's level (default: the first's)",
         [](InputSignal& s, double db) { s.amplitude2 = FromDbfs(db); return db <= 0; }},
        {"noise", "=LSB  white noise added, rms in LSB",
         [](InputSignal& s, double lsb) { s.noiseLsbRms = lsb; return lsb >= 0; }},
        {"h2", "=DBFS  the 2nd harmonic's level",
         [](InputSignal& s, double db) { s.harmonic2Dbfs = db; return db <= 0; }},
        {"h3", "=DBFS  the 3rd harmonic's level",
         [](InputSignal& s, double db) { s.harmonic3Dbfs = db; return db <= 0; }},
    };
    return keys;
}

} // namespace

std::optional<InputSignal> ParseSignalSource(const QString& list, QString* error, const InputSignal& start)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    InputSignal signal = start;
    bool level2Given = false;
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        const QString name = item.section(u'=', 0, 0).trimmed().toLower();
        const auto key = std::find_if(Keys().begin(), Keys().end(), [&](const Key& k) { return name == QLatin1String(k.name); });
        if (key == Keys().end())
            return fail(QStringLiteral("Unknown signal setting \"%1\".").arg(name));
        bool ok = item.contains(u'=');
        const double value = item.section(u'=', 1).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value) || !key->set(signal, value))
            return fail(QStringLiteral("The signal setting \"%1\" needs a valid value.").arg(name));
        level2Given = level2Given || name == QLatin1String("level2");
    }
    if (signal.tone2Hz > 0 && !level2Given)
        signal.amplitude2 = signal.amplitude;
    if (signal.amplitude + (signal.tone2Hz > 0 ? signal.amplitude2 : 0.0) > 1.0 + 1e-9)
        return fail(QStringLiteral("The tones together exceed full scale; lower their levels (two equal tones: at most -6 dBFS each)."));
    return signal;
}

QString SignalSourceHelp()
{
    QStringList lines;
    for (const Key& k : Keys())
        lines << QStringLiteral("%1%2").arg(QLatin1String(k.name), QLatin1String(k.help));
    return lines.join(u'\n');
}
