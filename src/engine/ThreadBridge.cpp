#include "engine/ThreadBridge.h"

#include <QMetaObject>
#include <QThread>

namespace {

bool OnThreadOf(const QObject* home)
{
    return !home || QThread::currentThread() == home->thread();
}

} // namespace

bool CrossThreadStatus::OnHomeThread() const { return OnThreadOf(home_); }

void CrossThreadStatus::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    if (OnHomeThread())
        return target_.AddLine(text, colour);
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target, text, colour] { target->AddLine(text, colour); }, Qt::QueuedConnection);
}

void CrossThreadStatus::ClearLines()
{
    if (OnHomeThread())
        return target_.ClearLines();
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target] { target->ClearLines(); }, Qt::QueuedConnection);
}

void CrossThreadStatus::SetDisplay(bool on)
{
    if (OnHomeThread())
        return target_.SetDisplay(on);
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target, on] { target->SetDisplay(on); }, Qt::QueuedConnection);
}

MessageResult CrossThreadMessenger::ShowMessage(const MessageRequest& request)
{
    if (OnThreadOf(home_))
        return target_.ShowMessage(request);
    MessageResult result = MessageResult::Cancel;
    Messenger* target = &target_;
    QMetaObject::invokeMethod(home_, [&] { result = target->ShowMessage(request); }, Qt::BlockingQueuedConnection);
    return result;
}
