#include "display/main/WindowStateEcho.h"

#include "display/main/MainMenus.h"
#include "display/main/frmMainScreen.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/StatusBox.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>

namespace {

// "control <name> <enabled> <visible> <x> <y> <width> <height>", in screen pixels.
QString ControlLine(const QString& name, const QWidget* w)
{
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("control %1 %2 %3 %4 %5 %6 %7\n")
        .arg(name)
        .arg(w->isEnabled() ? 1 : 0)
        .arg(w->isVisible() ? 1 : 0)
        .arg(at.x())
        .arg(at.y())
        .arg(w->width())
        .arg(w->height());
}

} // namespace

void WindowStateEcho::StartIfAsked(frmMainScreen* window)
{
    const QString path = qEnvironmentVariable("KV2680_STATE_FILE");
    if (!path.isEmpty())
        new WindowStateEcho(window, path);
}

WindowStateEcho::WindowStateEcho(frmMainScreen* window, const QString& path)
    : QObject(window), window_(window), path_(path)
{
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &WindowStateEcho::WriteIfChanged);
    poll_.start();
}

QString WindowStateEcho::Snapshot() const
{
    frmMainScreen& w = *window_;
    auto control = [&](const char* objectName) { return w.findChild<const QWidget*>(QLatin1String(objectName)); };
    QString text = QStringLiteral("title ") + w.windowTitle() + u'\n';
    for (const QString& line : w.Status1().Lines())
        text += QStringLiteral("status1 ") + line + u'\n';
    for (const QString& line : w.Status2().Lines())
        text += QStringLiteral("status2 ") + line + u'\n';
    text += QStringLiteral("hint ") + w.findChild<const QLabel*>(QStringLiteral("lblZoomHint"))->text() + u'\n';
    text += QStringLiteral("display ") + w.findChild<const QComboBox*>(QStringLiteral("cboDisplayMode"))->currentText() + u'\n';
    const std::pair<const char*, const char*> controls[] = {
        {"Sample", "cmdSample"}, {"ContSamp", "cmdContSample"}, {"StopSamp", "cmdStopSampling"},
        {"Reset", "cmdReset"}, {"PowerDown", "cmdPowerDown"}, {"PowerUp", "cmdPowerUp"},
        {"Quit", "cmdQuit"}, {"FullView", "cmdFullView"}, {"Toggle", "ToggleButton1"},
        {"DisplayMode", "cboDisplayMode"}, {"ZoomHandles", "chkZoomHandles"},
        {"HoldZoom", "chkHoldZoom"}, {"Waveform", "stripDSO"}, {"Spectrum", "StripFFT"},
        {"Histogram", "VEXMHistogram1"},
    };
    for (const auto& [name, objectName] : controls)
        text += ControlLine(QLatin1String(name), control(objectName));
    if (const frmSetup* setup = w.Menus().SetupDialog(); setup && setup->isVisible()) {
        text += ControlLine(QStringLiteral("setup.fileConfig"), setup->fileConfig);
        text += ControlLine(QStringLiteral("setup.cmdLoad"), setup->cmdLoad);
        text += ControlLine(QStringLiteral("setup.cmdClose"), setup->cmdClose);
    }
    return text;
}

void WindowStateEcho::WriteIfChanged()
{
    const QString text = Snapshot();
    if (text == written_)
        return;
    // Written whole and renamed into place, so a reader never sees half a state.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(text.toUtf8());
    if (file.commit())
        written_ = text;
}
