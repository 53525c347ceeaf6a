#include "display/main/QtMessenger.h"

#include "display/main/ApplicationTitle.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageResult FromQt(int button)
{
    switch (button) {
    case QMessageBox::Cancel: return MessageResult::Cancel;
    case QMessageBox::Retry: return MessageResult::Retry;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    default: return MessageResult::Ok;
    }
}

} // namespace

MessageResult QtMessenger::ShowMessage(const MessageRequest& request)
{
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QString title = request.title.value_or(kApplicationTitle);
    // For an empty title the toolkit gives the window manager the application's name
    // instead; a single blank keeps the title bar empty, as the box asks.
    if (title.isEmpty())
        title = QStringLiteral(" ");
    // A dialog's frame: a title and a close box, nothing to minimise or maximise.
    QMessageBox box(ToQtIcon(request.icon), title, text, ToQtButtons(request.buttons), parent_,
                    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setTextFormat(Qt::PlainText);
    return FromQt(box.exec());
}
