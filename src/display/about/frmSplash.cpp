#include "display/about/frmSplash.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QLabel* AddLabel(QVBoxLayout* column, const char* name, const QString& text, int pointSize,
                 bool bold, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    column->addWidget(label);
    return label;
}

} // namespace

frmSplash::frmSplash(int& aboutAnimationFrame, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), AboutAnimationFrame(aboutAnimationFrame)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    for (int phase = 0; phase < 3; ++phase)
        Picture2[phase] = DrawAnimationFrame(phase);

    Frame1 = new QFrame;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1 = new QLabel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(Picture2[2]);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(6, 6, 6, 6);
    frameLayout->addWidget(Picture1);

    auto* text = new QVBoxLayout;
    const QColor ink(0x1b, 0x2a, 0x41), grey(0x6b, 0x72, 0x80);
    QLabel* product = AddLabel(text, "lblProductName", QStringLiteral("KV2680 Evaluation Board"), 16,
                               true, ink);
    AddLabel(text, "V", QStringLiteral("Version 2.0"), 11, false, ink);
    QLabel* label1 = AddLabel(text, "Label1",
                              QStringLiteral("Press any key, or click the picture or this text, to close."), 8,
                              false, grey);
    text->addStretch();
    QLabel* credit1 = AddLabel(text, "lblCredit1",
                               QStringLiteral("Acquisition, waveform, histogram and spectrum analysis"),
                               8, false, grey);
    QLabel* credit2 = AddLabel(text, "lblCredit2",
                               QStringLiteral("Written by the KV2680 evaluation team"), 8, false, grey);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 20, 16);
    layout->setSpacing(16);
    layout->addWidget(Frame1, 0, Qt::AlignTop);
    layout->addLayout(text);

    // A click on any of these closes the window.
    for (QWidget* w : std::initializer_list<QWidget*>{Frame1, Picture1, product, label1, credit1, credit2})
        w->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();

    CentreOnScreen();
}

void frmSplash::CentreOnScreen()
{
    adjustSize();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void frmSplash::Timer1_Timer()
{
    AboutAnimationFrame = AboutAnimationFrame + 1;
    if (AboutAnimationFrame > 2)
        AboutAnimationFrame = 0;
    Picture1->setPixmap(Picture2[AboutAnimationFrame]);
}

void frmSplash::keyPressEvent(QKeyEvent*)
{
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSplash::paintEvent(QPaintEvent*)
{
    // Without a title bar the window draws its own edge.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xf7, 0xf8, 0xfa));
    painter.setPen(QColor(0x1b, 0x2a, 0x41));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

QPixmap frmSplash::DrawAnimationFrame(int phase)
{
    constexpr int W = 107, H = 98;
    QPixmap pixmap(W, H);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, H);
    sky.setColorAt(0, QColor(0x24, 0x39, 0x5a));
    sky.setColorAt(1, QColor(0x12, 0x1c, 0x2e));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0.5, 0.5, W - 1, H - 1), 8, 8);

    // The analogue input: a sine that moves on by a third of its period from one frame to
    // the next past fixed sample instants; the one above the chip is being converted.
    const double mid = 26, amplitude = 15, period = 60, heldX = 53, spacing = 12;
    auto sine = [&](double x) {
        return mid - amplitude * std::sin(2 * M_PI * ((x - heldX) / period + phase / 3.0));
    };
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(6, mid), QPointF(W - 6, mid));
    QPainterPath wave;
    wave.moveTo(6, sine(6));
    for (double x = 6; x <= W - 6; x += 0.5)
        wave.lineTo(x, sine(x));
    p.setPen(QPen(QColor(0x5f, 0xd3, 0xf3), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);

    for (double x = heldX - 3 * spacing; x <= W - 8; x += spacing) {
        const bool current = x == heldX;
        const QColor amber = current ? QColor(0xff, 0xc8, 0x57) : QColor(0xff, 0xb3, 0x47, 150);
        const double radius = current ? 3.2 : 2.0;
        p.setPen(QPen(amber, 1.2));
        p.drawLine(QPointF(x, mid), QPointF(x, sine(x)));
        p.setPen(Qt::NoPen);
        p.setBrush(amber);
        p.drawEllipse(QPointF(x, sine(x)), radius, radius);
    }
    const double heldValue = (mid - sine(heldX)) / amplitude;

    // The converter: a chip with pins, fed by the held sample.
    const QRectF chip(30, 56, 46, 32);
    p.setPen(QPen(QColor(0xff, 0xc8, 0x57), 1, Qt::DashLine));
    p.drawLine(QPointF(heldX, sine(heldX) + 4), QPointF(chip.center().x(), chip.top() - 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb8, 0xc0, 0xcc));
    for (int pin = 0; pin < 4; ++pin) {
        const double y = chip.top() + 5 + pin * 7.3;
        p.drawRect(QRectF(chip.left() - 5, y, 5, 3));
        p.drawRect(QRectF(chip.right(), y, 5, 3));
    }
    for (int pin = 0; pin < 5; ++pin)
        p.drawRect(QRectF(chip.left() + 5 + pin * 8.5, chip.top() - 4, 3, 4));
    p.setBrush(QColor(0x2f, 0x31, 0x3a));
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa3), 1));
    p.drawRoundedRect(chip, 3, 3);
    p.setBrush(QColor(0x8a, 0x93, 0xa3));
    p.drawEllipse(QPointF(chip.left() + 5, chip.bottom() - 5), 1.5, 1.5);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(chip, Qt::AlignCenter, QStringLiteral("ADC"));

    // The output code of the held sample as three lit bits.
    const int code = std::clamp(int(std::lround((heldValue + 1) / 2 * 7)), 0, 7);
    for (int bit = 2; bit >= 0; --bit) {
        const bool on = code & (1 << bit);
        const QPointF centre(W - 12, chip.top() + 6 + (2 - bit) * 10);
        p.setPen(QPen(QColor(0x0f, 0x3d, 0x22), 1));
        p.setBrush(on ? QColor(0x7c, 0xfc, 0x98) : QColor(0x1d, 0x4a, 0x2e));
        p.drawEllipse(centre, 3.5, 3.5);
    }
    return pixmap;
}
