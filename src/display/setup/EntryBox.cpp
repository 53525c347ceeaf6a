#include "display/setup/EntryBox.h"

#include <QKeyEvent>

EntryBox::EntryBox(KeyRule rule, QWidget* parent) : QLineEdit(parent), rule_(rule)
{
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        previous_ = current_;
        current_ = text;
    });
    connect(this, &QLineEdit::textEdited, this, &EntryBox::KeepOnlyAllowedInsertion);
}

// Text that arrives other than by typing (pasted, dropped, middle-clicked) meets the same
// rule as typed keys: the characters it would drop are taken out of what was inserted.
void EntryBox::KeepOnlyAllowedInsertion(const QString& text)
{
    const QString& before = previous_;
    qsizetype head = 0;
    while (head < before.size() && head < text.size() && before[head] == text[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < text.size() - head
           && before[before.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    const QString inserted = text.mid(head, text.size() - head - tail);
    QString kept;
    for (QChar c : inserted)
        if (rule_(c) == EntryKey::Keep)
            kept += c;
    if (kept == inserted)
        return;
    setText(text.left(head) + kept + text.right(tail));
    setCursorPosition(int(head + kept.size()));
}

void EntryBox::keyPressEvent(QKeyEvent* event)
{
    // Control shortcuts (paste, copy, undo...) edit rather than type; what they insert is
    // checked once it is in.
    const QString typed = event->text();
    const bool shortcut = event->modifiers() & Qt::ControlModifier;
    const EntryKey action = typed.isEmpty() || shortcut ? EntryKey::Keep : rule_(typed[0]);
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
