#include "engine/BlockReport.h"

#include <QStringList>

namespace {

struct Figure {
    const char* key;
    const Metric* metric;
};

std::vector<Figure> Figures(const DynamicMetrics& m)
{
    return {{"signal_dbfs", &m.signalDbfs}, {"snr_db", &m.snrDb},       {"sinad_db", &m.sinadDb},
            {"thd_dbc", &m.thdDb},          {"sfdr_dbc", &m.sfdrDb},    {"enob_bits", &m.enob},
            {"noise_floor_dbfs", &m.noiseFloorDbfs}};
}

nlohmann::json MetricJson(const Metric& metric)
{
    return {{"value", metric.Valid() ? nlohmann::json(metric.value) : nlohmann::json(nullptr)},
            {"valid", metric.Valid()},
            {"reason", metric.reason}};
}

// Bins to Hz when the sample rate is known.
double Frequency(const BlockReport& r, double bin)
{
    return r.sampleRate > 0 ? bin * r.sampleRate / double(r.samples) : bin;
}

} // namespace

nlohmann::json ReportJson(const BlockReport& r)
{
    const DynamicMetrics& m = r.metrics;
    nlohmann::json metrics = nlohmann::json::object();
    for (const Figure& f : Figures(m))
        metrics[f.key] = MetricJson(*f.metric);
    const char* frequencyKey = r.sampleRate > 0 ? "fundamental_hz" : "fundamental_bin";
    Metric fundamental = m.frequencyBin;
    fundamental.value = Frequency(r, fundamental.value);
    metrics[frequencyKey] = MetricJson(fundamental);
    metrics["noise_dbfs"] = MetricJson(m.noiseDbfs);
    metrics["nsd_dbfs_per_hz"] = MetricJson(NoiseSpectralDensity(m, r.sampleRate));

    // A two-tone block: both tones and the intermodulation, null with the reason otherwise.
    const TwoToneMetrics& t = m.twoTone;
    Metric tone1 = t.tone1Bin, tone2 = t.tone2Bin;
    tone1.value = Frequency(r, tone1.value);
    tone2.value = Frequency(r, tone2.value);
    const char* unit = r.sampleRate > 0 ? "_hz" : "_bin";
    const std::pair<std::string, Metric> twoTone[] = {
        {std::string("tone1") + unit, tone1}, {std::string("tone2") + unit, tone2}, {"tone1_dbfs", t.tone1Dbfs},
        {"tone2_dbfs", t.tone2Dbfs}, {"imd2_dbc", t.imd2Dbc}, {"imd3_dbc", t.imd3Dbc}, {"imd2_dbfs", t.imd2Dbfs},
        {"imd3_dbfs", t.imd3Dbfs}};
    for (auto [key, metric] : twoTone) {
        if (!t.found)
            metric.reason = "one tone in the block";
        metrics[key] = MetricJson(metric);
    }

    nlohmann::json harmonics = nlohmann::json::array();
    for (const HarmonicMark& h : m.harmonics) {
        harmonics.push_back({{"order", h.order},
                             {r.sampleRate > 0 ? "frequency_hz" : "bin", Frequency(r, h.bin)},
                             {"level_dbfs", h.reason.empty() ? nlohmann::json(h.levelDbfs) : nlohmann::json(nullptr)},
                             {"valid", h.reason.empty()},
                             {"reason", h.reason}});
    }
    nlohmann::json products = nlohmann::json::array();
    for (const IntermodMark& p : t.products)
        products.push_back({{"order", p.order},
                            {"product", p.name},
                            {r.sampleRate > 0 ? "frequency_hz" : "bin", Frequency(r, p.bin)},
                            {"level_dbfs", p.reason.empty() ? nlohmann::json(p.levelDbfs) : nlohmann::json(nullptr)},
                            {"valid", p.reason.empty()},
                            {"reason", p.reason}});
    nlohmann::json out = {{"block", r.label.toStdString()}, {"samples", r.samples}, {"metrics", metrics},
                          {"harmonics", harmonics}, {"intermodulation", products}};
    if (r.sampleRate > 0)
        out["sample_rate_hz"] = r.sampleRate;
    return out;
}

QString ReportTableHeader()
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(QStringLiteral("block"), -24)
        .arg(QStringLiteral("fin"), 12)
        .arg(QStringLiteral("ain dBFS"), 9)
        .arg(QStringLiteral("SNR dB"), 8)
        .arg(QStringLiteral("SINAD dB"), 9)
        .arg(QStringLiteral("THD dBc"), 8)
        .arg(QStringLiteral("SFDR dBc"), 9)
        .arg(QStringLiteral("ENOB"), 6);
}

// An invalid figure shows as "-"; the JSON output carries its reason.
QString ReportTableRow(const BlockReport& r)
{
    const DynamicMetrics& m = r.metrics;
    const auto text = [](const Metric& metric, int decimals) {
        return metric.Valid() ? QString::number(metric.value, 'f', decimals) : QStringLiteral("-");
    };
    QString fin = QStringLiteral("-");
    if (m.frequencyBin.Valid())
        fin = r.sampleRate > 0 ? QStringLiteral("%1 Hz").arg(Frequency(r, m.frequencyBin.value), 0, 'f', 1)
                               : QStringLiteral("bin %1").arg(m.frequencyBin.value, 0, 'f', 2);
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(r.label, -24)
        .arg(fin, 12)
        .arg(text(m.signalDbfs, 2), 9)
        .arg(text(m.snrDb, 2), 8)
        .arg(text(m.sinadDb, 2), 9)
        .arg(text(m.thdDb, 2), 8)
        .arg(text(m.sfdrDb, 2), 9)
        .arg(text(m.enob, 2), 6);
}
