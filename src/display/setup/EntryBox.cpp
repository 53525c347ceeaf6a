#include "display/setup/EntryBox.h"

#include <QKeyEvent>

EntryBox::EntryBox(KeyRule rule, QWidget* parent) : QLineEdit(parent), rule_(rule) {}

void EntryBox::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const EntryKey action = typed.isEmpty() ? EntryKey::Keep : rule_(typed[0]);
    if (action == EntryKey::Keep) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();   // dropped here, so Enter does not reach the dialog's default button
    if (action == EntryKey::EndEntry)
        emit EntryEnded();
}

void EntryBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Switching to another window or opening a popup does not end an entry.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit LostFocus();
}
