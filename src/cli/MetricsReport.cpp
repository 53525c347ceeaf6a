#include "cli/MetricsReport.h"

#include <QStringList>

namespace {

struct Figure {
    const char* key;
    double value;
};

QStringList FigureTexts(const DynamicMetrics& m)
{
    const double figures[] = {m.fundamentalDbfs, m.snrDb, m.sinadDb, m.thdDb, m.sfdrDb};
    QStringList texts;
    for (double f : figures)
        texts << (m.valid ? QString::number(f, 'f', 2) : QStringLiteral("-"));
    texts << (m.valid ? QString::number(m.enob, 'f', 2) : QStringLiteral("-"));
    return texts;
}

} // namespace

nlohmann::json ReportJson(const BlockReport& r)
{
    const DynamicMetrics& m = r.metrics;
    const QString reason = m.valid ? QString() : QStringLiteral("no tone in the block, or too few samples");
    nlohmann::json metrics = nlohmann::json::object();
    const Figure figures[] = {{"signal_dbfs", m.fundamentalDbfs}, {"snr_db", m.snrDb},
                              {"sinad_db", m.sinadDb},            {"thd_dbc", m.thdDb},
                              {"sfdr_dbc", m.sfdrDb},             {"enob_bits", m.enob}};
    for (const Figure& f : figures) {
        metrics[f.key] = {{"value", m.valid ? nlohmann::json(f.value) : nlohmann::json(nullptr)},
                          {"valid", m.valid},
                          {"reason", reason.toStdString()}};
    }
    nlohmann::json out = {{"block", r.label.toStdString()}, {"samples", r.samples}, {"metrics", metrics}};
    if (r.sampleRate > 0) {
        out["sample_rate_hz"] = r.sampleRate;
        out["fundamental_hz"] = m.fundamentalBin * r.sampleRate / double(r.samples);
    } else {
        out["fundamental_bin"] = m.fundamentalBin;
    }
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

QString ReportTableRow(const BlockReport& r)
{
    const DynamicMetrics& m = r.metrics;
    QString fin = QStringLiteral("-");
    if (m.valid)
        fin = r.sampleRate > 0 ? QStringLiteral("%1 Hz").arg(m.fundamentalBin * r.sampleRate / double(r.samples), 0, 'f', 1)
                               : QStringLiteral("bin %1").arg(m.fundamentalBin, 0, 'f', 2);
    const QStringList f = FigureTexts(m);
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(r.label, -24)
        .arg(fin, 12)
        .arg(f[0], 9)
        .arg(f[1], 8)
        .arg(f[2], 9)
        .arg(f[3], 8)
        .arg(f[4], 9)
        .arg(f[5], 6);
}
