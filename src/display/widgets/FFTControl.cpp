#include "FFTControl.h"

#include "AnalysisSettingsDialog.h"
#include "display/charts/ReadoutGrid.h"
#include "display/charts/StripChart.h"
#include "analysis/SpectrumAnalyzer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString FrequencyText(double bin, std::size_t n, std::optional<std::int32_t> fs)
{
    if (!fs || *fs <= 0)
        return QStringLiteral("bin %1").arg(bin, 0, 'f', 1);
    const double hz = bin * double(*fs) / double(n);
    if (hz >= 1e6)
        return QStringLiteral("%1 MHz").arg(hz / 1e6, 0, 'f', 4);
    if (hz >= 1e3)
        return QStringLiteral("%1 kHz").arg(hz / 1e3, 0, 'f', 3);
    return QStringLiteral("%1 Hz").arg(hz, 0, 'f', 1);
}

QString WindowDescription(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Rectangular: return QObject::tr("Rectangular: coherent sampling only");
    case WindowKind::Hann: return QObject::tr("Hann");
    case WindowKind::BlackmanHarris7: return QObject::tr("7-term Blackman-Harris: 16-bit parts");
    case WindowKind::FlatTop: return QObject::tr("Flat top: amplitude between bins");
    case WindowKind::BlackmanHarris4: break;
    }
    return QObject::tr("4-term Blackman-Harris: up to 14 bits");
}

QString Decibels(double db, const char* unit = "dB")
{
    return QStringLiteral("%1 %2").arg(db, 0, 'f', 1).arg(QLatin1String(unit));
}

// One read-out row: its value label and what the tooltip says while the value is valid.
struct Row {
    QLabel* value = nullptr;
    QString description;

    void Show(const Metric& m, const QString& text) const
    {
        value->setEnabled(m.Valid());
        value->setText(m.Valid() ? text : QStringLiteral("-"));
        value->setToolTip(m.Valid() ? description : QObject::tr("Not shown: %1").arg(QString::fromStdString(m.reason)));
    }
};

} // namespace

struct FFTControl::Impl {
    DynamicMetrics metrics;
    std::size_t blockLength = 0;
    AnalysisSettings settings;
    QComboBox* window = nullptr;
    Row frequency, signal, snr, sinad, thd, sfdr, enob, floor, nsd;
    Row tone1, tone2, imd2, imd3;   // shown for a two-tone block only
    ReadoutGrid* readout = nullptr;
    QLabel* averaged = nullptr;
    std::optional<std::int32_t> sampleFrequency;
    QPointer<StripChart> chart;

    void ShowMetrics()
    {
        const DynamicMetrics& m = metrics;
        frequency.Show(m.frequencyBin, FrequencyText(m.frequencyBin.value, blockLength, sampleFrequency));
        snr.Show(m.snrDb, Decibels(m.snrDb.value));
        sinad.Show(m.sinadDb, Decibels(m.sinadDb.value));
        thd.Show(m.thdDb, Decibels(m.thdDb.value, "dBc"));
        sfdr.Show(m.sfdrDb, Decibels(m.sfdrDb.value, "dBc"));
        // ENOB is referred to full scale; the level it was measured at stands next to it.
        enob.Show(m.enob, QStringLiteral("%1 bits").arg(m.enob.value, 0, 'f', 2));
        signal.Show(m.signalDbfs, Decibels(m.signalDbfs.value, "dBFS"));
        floor.Show(m.noiseFloorDbfs, Decibels(m.noiseFloorDbfs.value, "dBFS"));
        const Metric density = NoiseSpectralDensity(m, sampleFrequency.value_or(0));
        nsd.Show(density, Decibels(density.value, "dBFS/Hz"));
        const TwoToneMetrics& t = m.twoTone;
        for (const Row* r : {&tone1, &tone2, &imd2, &imd3})
            readout->SetRowVisible(r->value, t.found);
        if (t.found) {
            tone1.Show(t.tone1Bin, FrequencyText(t.tone1Bin.value, blockLength, sampleFrequency)
                                       + QStringLiteral(" %1").arg(t.tone1Dbfs.value, 0, 'f', 1));
            tone2.Show(t.tone2Bin, FrequencyText(t.tone2Bin.value, blockLength, sampleFrequency)
                                       + QStringLiteral(" %1").arg(t.tone2Dbfs.value, 0, 'f', 1));
            imd2.Show(t.imd2Dbc, Decibels(t.imd2Dbc.value, "dBc"));
            imd3.Show(t.imd3Dbc, Decibels(t.imd3Dbc.value, "dBc"));
        }
        MarkChart();
    }

    void MarkChart()
    {
        if (!chart)
            return;
        const DynamicMetrics& m = metrics;
        std::vector<ChartMarker> marks;
        if (m.twoTone.found) {
            const TwoToneMetrics& t = m.twoTone;
            marks.push_back({t.tone1Bin.value, t.tone1Dbfs.value, QStringLiteral("f1: %1").arg(t.tone1Dbfs.value, 0, 'f', 1), false, true});
            marks.push_back({t.tone2Bin.value, t.tone2Dbfs.value, QStringLiteral("f2: %1").arg(t.tone2Dbfs.value, 0, 'f', 1), false, true});
            for (const IntermodMark& p : t.products)
                marks.push_back({p.bin, p.levelDbfs, QStringLiteral("%1: %2").arg(QString::fromStdString(p.name)).arg(p.levelDbfs, 0, 'f', 1),
                                 m.worstSpur.found && std::abs(m.worstSpur.bin - p.bin) < 0.5});
            if (m.worstSpur.found && std::none_of(t.products.begin(), t.products.end(),
                                                  [&](const IntermodMark& p) { return std::abs(m.worstSpur.bin - p.bin) < 0.5; }))
                marks.push_back({m.worstSpur.bin, m.worstSpur.levelDbfs,
                                 QObject::tr("spur: %1").arg(m.worstSpur.levelDbfs, 0, 'f', 1), true});
        } else if (m.frequencyBin.Valid()) {
            marks.push_back({m.frequencyBin.value, m.signalDbfs.value,
                             QStringLiteral("1: %1").arg(m.signalDbfs.value, 0, 'f', 1), false, true});
            for (const HarmonicMark& h : m.harmonics)
                marks.push_back({h.bin, h.levelDbfs, QStringLiteral("%1: %2").arg(h.order).arg(h.levelDbfs, 0, 'f', 1),
                                 m.worstSpur.order == h.order});
            if (m.worstSpur.found && m.worstSpur.order == 0)
                marks.push_back({m.worstSpur.bin, m.worstSpur.levelDbfs,
                                 QObject::tr("spur: %1").arg(m.worstSpur.levelDbfs, 0, 'f', 1), true});
        }
        chart->SetMarkers(marks);
    }
};

FFTControl::FFTControl(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);   // room for the longest read-out, "-115.4 dBFS/Hz"
    layout->setSpacing(2);

    d->window = new QComboBox(this);
    d->window->setObjectName(QStringLiteral("cboWindow"));
    d->window->setToolTip(tr("Analysis window"));
    d->window->setFont(ReadoutGrid::SmallFont(font()));
    for (const WindowKind kind : AllWindows) {
        d->window->addItem(QString::fromLatin1(WindowName(kind)), int(kind));
        d->window->setItemData(d->window->count() - 1, WindowDescription(kind), Qt::ToolTipRole);
    }
    d->window->setCurrentIndex(d->window->findData(int(DefaultWindow)));
    layout->addWidget(d->window);

    auto* readout = new ReadoutGrid(this);
    auto row = [&](const QString& name, const QString& description) {
        return Row{readout->AddRow(name, description), description};
    };
    d->frequency = row(tr("Fin"), tr("Fundamental frequency"));
    d->snr = row(tr("SNR"), tr("Signal to noise ratio (harmonics 2 to H left out)"));
    d->sinad = row(tr("SINAD"), tr("Signal to noise and distortion ratio"));
    d->thd = row(tr("THD"), tr("Total harmonic distortion, harmonics 2 to H"));
    d->sfdr = row(tr("SFDR"), tr("Spurious-free dynamic range: fundamental over the worst spur, each with its whole window lobe"));
    d->enob = row(tr("ENOB"), tr("Effective number of bits referred to full scale, (SINAD - signal dBFS - 1.76) / 6.02, at the signal level below"));
    d->signal = row(tr("Ain"), tr("Signal level: the fundamental relative to a full-scale sine"));
    d->floor = row(tr("Floor"), tr("Noise floor per bin (mean of the noise bins, spurs left out)"));
    d->nsd = row(tr("NSD"), tr("Noise spectral density: all the noise in the band over fs/2"));
    d->tone1 = row(tr("F1"), tr("Two-tone test: the lower tone and its level in dBFS"));
    d->tone2 = row(tr("F2"), tr("Two-tone test: the upper tone and its level in dBFS"));
    d->imd2 = row(tr("IMD2"), tr("Second-order intermodulation (f1+f2, f2-f1) to the larger tone"));
    d->imd3 = row(tr("IMD3"), tr("Third-order intermodulation (2f1-f2, 2f2-f1, 2f1+f2, 2f2+f1) to the larger tone"));
    d->readout = readout;
    d->averaged = readout->AddRow(tr("Avg"), tr("Blocks in the power average / blocks chosen"));
    d->averaged->setObjectName(QStringLiteral("lblAveraged"));
    layout->addWidget(readout);

    auto* buttons = new QHBoxLayout;
    auto* restart = new QToolButton(this);
    restart->setObjectName(QStringLiteral("cmdRestartAveraging"));
    restart->setText(tr("Restart"));
    restart->setToolTip(tr("Start the spectrum average again"));
    restart->setFont(ReadoutGrid::SmallFont(font()));
    auto* settings = new QToolButton(this);
    settings->setObjectName(QStringLiteral("cmdAnalysisSettings"));
    settings->setText(tr("Settings..."));
    settings->setToolTip(tr("Window, harmonics, DC bins, averaging and coherent input frequencies"));
    settings->setFont(ReadoutGrid::SmallFont(font()));
    buttons->addWidget(restart);
    buttons->addWidget(settings);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(d->window, &QComboBox::currentIndexChanged, this, [this] {
        d->settings.metrics.window = Window();
        emit BHWindow();
    });
    connect(restart, &QToolButton::clicked, this, &FFTControl::RestartAveraging);
    connect(settings, &QToolButton::clicked, this, &FFTControl::ShowSettingsDialog);
    d->averaged->setText(QStringLiteral("0/1"));
    d->ShowMetrics();
}

FFTControl::~FFTControl()
{
    delete d;
}

void FFTControl::Show(const SpectrumAnalyzer& analysis, std::optional<std::int32_t> sampleFrequency)
{
    d->sampleFrequency = sampleFrequency;
    d->metrics = analysis.Metrics();
    d->blockLength = analysis.BlockLength();
    ShowSettings(AnalysisSettings::Of(analysis));
    d->averaged->setText(QStringLiteral("%1/%2").arg(analysis.AveragedBlocks()).arg(analysis.Averaging()));
    d->ShowMetrics();
}

void FFTControl::ShowSettings(const AnalysisSettings& settings)
{
    d->settings = settings;
    const QSignalBlocker quiet(d->window);
    d->window->setCurrentIndex(d->window->findData(int(settings.metrics.window)));
}

WindowKind FFTControl::Window() const
{
    return WindowKind(d->window->currentData().toInt());
}

const DynamicMetrics& FFTControl::Metrics() const
{
    return d->metrics;
}

void FFTControl::AttachChart(StripChart* chart)
{
    d->chart = chart;
}

void FFTControl::ShowSettingsDialog()
{
    auto* dialog = new AnalysisSettingsDialog(d->settings, d->sampleFrequency, d->blockLength, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const AnalysisSettings chosen = dialog->Settings();
        ShowSettings(chosen);
        emit SettingsChosen(chosen);
    });
    dialog->open();
}
