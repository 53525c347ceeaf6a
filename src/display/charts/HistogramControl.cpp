#include "HistogramControl.h"

#include "ChartStyle.h"
#include "ReadoutGrid.h"
#include "ReplotPacer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>

namespace {

QString Worst(double max, double min)
{
    return QStringLiteral("%1/%2").arg(max, 0, 'f', 2).arg(min, 0, 'f', 2);
}

} // namespace

struct HistogramControl::Impl {
    QCustomPlot* plot = nullptr;
    ReplotPacer* pacer = nullptr;   // owned by the plot
    QCPBars* bars = nullptr;
    QCPGraph* inl = nullptr;
    QComboBox* viewBox = nullptr;
    QLabel *range = nullptr, *blocks = nullptr, *samples = nullptr, *outOfRange = nullptr, *perCode = nullptr,
           *missing = nullptr, *dnl = nullptr, *inlWorst = nullptr, *uncertainty = nullptr,
           *warning = nullptr;
    CodeHistogram histogram;
    int blockCount = 0;
    SineLinearity linearity;
    View view = View::Counts;
    int firstHit = 0, lastHit = 0;

    const CodeHistogram& Histogram() const { return histogram; }
    bool LinearityShown() const { return linearity.valid && linearity.enoughHits; }

    void ShowReadout()
    {
        const CodeHistogram& h = Histogram();
        range->setText(h.counts.empty() ? QStringLiteral("-")
                                        : QStringLiteral("%1..%2").arg(h.firstCode).arg(h.LastCode()));
        blocks->setText(QString::number(blockCount));
        samples->setText(QString::number(h.inRange));
        outOfRange->setText(QString::number(h.outOfRange));
        for (QLabel* l : {perCode, missing, dnl, inlWorst, uncertainty})
            l->setText(QStringLiteral("-"));
        warning->clear();
        if (!linearity.valid) {
            warning->setText(QString::fromStdString(linearity.reason));
            return;
        }
        perCode->setText(QString::number(linearity.leastExpectedHits, 'f', 1));
        if (!linearity.reachesBothEnds)
            warning->setText(QObject::tr("Sine short of the range ends: linearity between the codes where it turns"));
        // With fewer hits the counting noise alone makes codes look missing or wide.
        if (!linearity.enoughHits) {
            warning->setText(QObject::tr("Collecting: %1 hits per code of %2 needed")
                                 .arg(linearity.leastExpectedHits, 0, 'f', 1)
                                 .arg(SineLinearity::MinHitsPerCode));
            return;
        }
        missing->setText(QString::number(linearity.missingCodes));
        dnl->setText(Worst(linearity.dnlMax, linearity.dnlMin));
        inlWorst->setText(Worst(linearity.inlMax, linearity.inlMin));
        uncertainty->setText(QStringLiteral("\u00B1%1").arg(linearity.uncertaintyLsb, 0, 'f', 2));
    }

    void Draw()
    {
        const CodeHistogram& h = Histogram();
        if (h.counts.empty()) {
            bars->data()->clear();
            inl->data()->clear();
            plot->replot(QCustomPlot::rpQueuedReplot);
            return;
        }
        QVector<double> keys, values;
        const bool counts = view == View::Counts || !LinearityShown();
        if (counts) {
            keys.reserve(lastHit - firstHit + 1);
            values.reserve(lastHit - firstHit + 1);
            for (int code = firstHit; code <= lastHit; ++code) {
                keys << code;
                values << double(h.counts[std::size_t(code - h.firstCode)]);
            }
        } else {
            const std::vector<double>& series = view == View::Dnl ? linearity.dnl : linearity.inl;
            keys.reserve(qsizetype(series.size()));
            for (std::size_t i = 0; i < series.size(); ++i)
                keys << linearity.firstCode + int(i);
            values = QVector<double>(series.begin(), series.end());
        }
        // DNL as one impulse per code, INL as a line: a lone code (a missing one) stays
        // visible where thousands of bars share the width.
        const bool asLine = !counts;
        inl->setLineStyle(view == View::Dnl ? QCPGraph::lsImpulse : QCPGraph::lsLine);
        bars->setVisible(!asLine);
        inl->setVisible(asLine);
        if (asLine) {
            inl->setData(keys, values, true);
            bars->data()->clear();
        } else {
            bars->setData(keys, values, true);
            inl->data()->clear();
        }

        const QString sigma = QStringLiteral(" \u00B1%1").arg(linearity.uncertaintyLsb, 0, 'f', 2);
        plot->yAxis->setLabel(counts ? QObject::tr("Hits")
                              : view == View::Dnl ? QObject::tr("DNL (LSB)") + sigma
                                                  : QObject::tr("INL (LSB)") + sigma);
        // The codes that were hit, with a little room each side.
        const double pad = std::max(1.0, (lastHit - firstHit) * 0.02);
        plot->xAxis->setRange(firstHit - pad, lastHit + pad);
        if (counts) {
            const double top = values.isEmpty() ? 1 : *std::max_element(values.begin(), values.end());
            plot->yAxis->setRange(0, std::max(1.0, top * 1.05));
        } else {
            const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
            const double reach = std::max({0.5, std::abs(*lo), std::abs(*hi)}) * 1.1;
            plot->yAxis->setRange(-reach, reach);
        }
        pacer->Request();
    }

    void Update()
    {
        const CodeHistogram& h = Histogram();
        const auto first = std::find_if(h.counts.begin(), h.counts.end(), [](auto c) { return c > 0; });
        const auto last = std::find_if(h.counts.rbegin(), h.counts.rend(), [](auto c) { return c > 0; });
        if (first == h.counts.end()) {   // nothing in range: show the whole range
            firstHit = h.firstCode;
            lastHit = h.LastCode();
        } else {
            firstHit = h.firstCode + int(first - h.counts.begin());
            lastHit = h.LastCode() - int(last - h.counts.rbegin());
        }
        ShowReadout();
        Draw();
    }
};

HistogramControl::HistogramControl(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    d->plot = new QCustomPlot(this);
    d->pacer = new ReplotPacer(d->plot);
    ChartStyle::Apply(d->plot);
    d->plot->xAxis->setLabel(tr("Code"));
    d->plot->xAxis->grid()->setVisible(false);
    d->bars = new QCPBars(d->plot->xAxis, d->plot->yAxis);
    d->bars->setWidth(1.0);
    d->bars->setPen(Qt::NoPen);
    d->bars->setBrush(ChartStyle::Fill);
    d->bars->setAntialiased(false);
    d->inl = d->plot->addGraph();
    d->inl->setPen(QPen(ChartStyle::Trace, 1));
    layout->addWidget(d->plot, 1);

    auto* panel = new QWidget(this);
    panel->setFixedWidth(128);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 2, 4, 2);
    panelLayout->setSpacing(2);
    d->viewBox = new QComboBox(panel);
    d->viewBox->setObjectName(QStringLiteral("cboHistogramView"));
    d->viewBox->setFont(ReadoutGrid::SmallFont(font()));
    d->viewBox->addItems({tr("Code hits"), tr("DNL"), tr("INL")});
    panelLayout->addWidget(d->viewBox);
    auto* readout = new ReadoutGrid(panel);
    d->range = readout->AddRow(tr("Codes"), tr("Code range counted for this resolution"));
    d->blocks = readout->AddRow(tr("Blocks"), tr("Blocks summed since the last restart"));
    d->blocks->setObjectName(QStringLiteral("lblHistogramBlocks"));
    d->samples = readout->AddRow(tr("Hits"), tr("Samples within the code range"));
    d->outOfRange = readout->AddRow(tr("Outside"), tr("Samples outside the code range (not clamped)"));
    d->perCode = readout->AddRow(tr("Per code"), tr("Hits the least-visited inner code can expect for this sine; DNL and INL are shown from 16 on"));
    d->missing = readout->AddRow(tr("Missing"), tr("Inner codes never hit (DNL = -1)"));
    d->dnl = readout->AddRow(tr("DNL"), tr("Worst DNL, max/min in LSB, from the sine histogram"));
    d->inlWorst = readout->AddRow(tr("INL"), tr("Worst end-point INL, max/min in LSB, from the sine histogram"));
    d->uncertainty = readout->AddRow(tr("Uncert."), tr("Counting uncertainty (one sigma, LSB) of one code's DNL and INL"));
    panelLayout->addWidget(readout);
    d->warning = new QLabel(panel);
    d->warning->setObjectName(QStringLiteral("lblHistogramWarning"));
    d->warning->setWordWrap(true);
    d->warning->setFont(ReadoutGrid::SmallFont(font()));
    d->warning->setStyleSheet(QStringLiteral("color: #a05000"));
    panelLayout->addWidget(d->warning);
    auto* restart = new QToolButton(panel);
    restart->setObjectName(QStringLiteral("cmdRestartHistogram"));
    restart->setText(tr("Restart"));
    restart->setToolTip(tr("Empty the summed histogram; the next block starts it again"));
    restart->setFont(ReadoutGrid::SmallFont(font()));
    panelLayout->addWidget(restart);
    panelLayout->addStretch(1);
    layout->addWidget(panel);

    connect(d->viewBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetView(View(index)); });
    connect(restart, &QToolButton::clicked, this, &HistogramControl::Restart);
    d->Update();
}

HistogramControl::~HistogramControl()
{
    delete d;
}

void HistogramControl::Show(const CodeHistogram& histogram, int blocks, const SineLinearity& linearity)
{
    d->histogram = histogram;
    d->blockCount = blocks;
    d->linearity = linearity;
    d->Update();
}

void HistogramControl::SetView(View view)
{
    d->view = view;
    if (d->viewBox->currentIndex() != int(view))
        d->viewBox->setCurrentIndex(int(view));
    d->Draw();
}

const CodeHistogram& HistogramControl::Histogram() const
{
    return d->histogram;
}

int HistogramControl::Blocks() const
{
    return d->blockCount;
}

const SineLinearity& HistogramControl::Linearity() const
{
    return d->linearity;
}
