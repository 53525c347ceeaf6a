#include "FFTControl.h"

#include "ReadoutGrid.h"
#include "analysis/SpectrumAnalyzer.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>


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

} // namespace

struct FFTControl::Impl {
    SpectrumAnalyzer ownAnalyzer;
    SpectrumAnalyzer* analyzer = &ownAnalyzer;
    QComboBox* window = nullptr;
    QLabel *frequency = nullptr, *amplitude = nullptr, *snr = nullptr, *sinad = nullptr,
           *thd = nullptr, *sfdr = nullptr, *enob = nullptr;
    std::optional<std::int32_t> sampleFrequency;

    void ShowMetrics()
    {
        const DynamicMetrics& m = analyzer->Metrics();
        QLabel* const values[] = {frequency, amplitude, snr, sinad, thd, sfdr, enob};
        if (!m.valid) {
            for (QLabel* v : values)
                v->setText(QStringLiteral("-"));
            return;
        }
        frequency->setText(FrequencyText(m.fundamentalBin, analyzer->BlockLength(), sampleFrequency));
        amplitude->setText(Decibels(m.fundamentalDbfs, "dBFS"));
        snr->setText(Decibels(m.snrDb));
        sinad->setText(Decibels(m.sinadDb));
        thd->setText(Decibels(m.thdDb, "dBc"));
        sfdr->setText(Decibels(m.sfdrDb, "dBc"));
        enob->setText(QStringLiteral("%1 bits").arg(m.enob, 0, 'f', 2));
    }
};

FFTControl::FFTControl(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);

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
    d->frequency = readout->AddRow(tr("Fin"), tr("Fundamental frequency"));
    d->amplitude = readout->AddRow(tr("Ain"), tr("Fundamental amplitude relative to full scale"));
    d->snr = readout->AddRow(tr("SNR"), tr("Signal to noise ratio (harmonics 2 to 6 left out)"));
    d->sinad = readout->AddRow(tr("SINAD"), tr("Signal to noise and distortion ratio"));
    d->thd = readout->AddRow(tr("THD"), tr("Total harmonic distortion, harmonics 2 to 6"));
    d->sfdr = readout->AddRow(tr("SFDR"), tr("Spurious-free dynamic range"));
    d->enob = readout->AddRow(tr("ENOB"), tr("Effective number of bits, (SINAD - 1.76) / 6.02"));
    layout->addWidget(readout);
    layout->addStretch(1);

    connect(d->window, &QComboBox::currentIndexChanged, this, [this] {
        d->analyzer->SetWindow(WindowKind(d->window->currentData().toInt()));
        emit BHWindow();
    });
}

FFTControl::~FFTControl()
{
    delete d;
}

void FFTControl::ComputeSpectrum(const std::vector<double>& input, std::vector<double>& output,
                                 std::optional<std::int32_t> sampleFrequency)
{
    d->sampleFrequency = sampleFrequency;
    d->analyzer->Analyse(input);
    d->analyzer->SpectrumDb(output);
    d->ShowMetrics();
}

void FFTControl::AttachAnalyzer(SpectrumAnalyzer& analyzer)
{
    analyzer.SetWindow(d->analyzer->Window());
    analyzer.SetResolution(d->analyzer->Resolution());
    d->analyzer = &analyzer;
}

void FFTControl::SetResolution(int bits)
{
    d->analyzer->SetResolution(bits);
}

WindowKind FFTControl::Window() const
{
    return d->analyzer->Window();
}

void FFTControl::SetWindow(WindowKind kind)
{
    const QSignalBlocker quiet(d->window);
    d->window->setCurrentIndex(d->window->findData(int(kind)));
    d->analyzer->SetWindow(kind);
}

const DynamicMetrics& FFTControl::Metrics() const
{
    return d->analyzer->Metrics();
}
