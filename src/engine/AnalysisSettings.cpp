#include "engine/AnalysisSettings.h"

#include "analysis/SpectrumAnalyzer.h"

#include <QSettings>
#include <algorithm>

namespace {

const QString Section = QStringLiteral("Analysis");

} // namespace

AnalysisSettings AnalysisSettings::Load(QSettings& store)
{
    AnalysisSettings s;
    store.beginGroup(Section);
    const QString window = store.value(QStringLiteral("Window")).toString();
    for (const WindowKind kind : AllWindows)
        if (window == QLatin1String(WindowName(kind)))
            s.metrics.window = kind;
    s.metrics.harmonics = std::clamp(store.value(QStringLiteral("Harmonics"), 5).toInt(), 2, 25);
    s.metrics.dcBins = std::clamp(store.value(QStringLiteral("DcBins"), 0).toInt(), 0, 64);
    s.averaging = std::clamp(store.value(QStringLiteral("Averaging"), 1).toInt(), 1, SpectrumAnalyzer::MaxAveraging);
    store.endGroup();
    return s;
}

void AnalysisSettings::Save(QSettings& store) const
{
    store.beginGroup(Section);
    store.setValue(QStringLiteral("Window"), QString::fromLatin1(WindowName(metrics.window)));
    store.setValue(QStringLiteral("Harmonics"), metrics.harmonics);
    store.setValue(QStringLiteral("DcBins"), metrics.dcBins);
    store.setValue(QStringLiteral("Averaging"), averaging);
    store.endGroup();
}

AnalysisSettings AnalysisSettings::Of(const SpectrumAnalyzer& analyzer)
{
    return {analyzer.Settings(), analyzer.Averaging()};
}

void AnalysisSettings::ApplyTo(SpectrumAnalyzer& analyzer) const
{
    analyzer.SetHarmonics(metrics.harmonics);
    analyzer.SetDcBins(metrics.dcBins);
    if (averaging != analyzer.Averaging())
        analyzer.SetAveraging(averaging);
    analyzer.SetWindow(metrics.window);
}
