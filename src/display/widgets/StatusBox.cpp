#include "StatusBox.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

QColor FromBgr(std::uint32_t colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

struct StatusBox::Impl {
    QPlainTextEdit* text = nullptr;
    bool empty = true;       // the document's single first block is not yet a line
    bool display = true;
};

StatusBox::StatusBox(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // A plain-text document lays out only the lines in view and drops the oldest block
    // in constant time, unlike a list that re-measures every item.
    d->text = new QPlainTextEdit(this);
    d->text->setReadOnly(true);
    d->text->setFocusPolicy(Qt::NoFocus);
    d->text->setLineWrapMode(QPlainTextEdit::NoWrap);
    d->text->setUndoRedoEnabled(false);
    d->text->setMaximumBlockCount(MaxLines);
    d->text->setContextMenuPolicy(Qt::NoContextMenu);
    QFont font = d->text->font();
    font.setPointSizeF(8);
    d->text->setFont(font);
    d->text->viewport()->installEventFilter(this);   // a line's whole text as its tooltip
    layout->addWidget(d->text);
}

StatusBox::~StatusBox()
{
    delete d;
}

void StatusBox::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    QTextCursor cursor(d->text->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    if (colour)
        format.setForeground(FromBgr(*colour));
    if (!d->empty)
        cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(text, format);
    d->empty = false;
    d->text->document()->lastBlock().setUserState(int(colour.value_or(0)));
    QScrollBar* bar = d->text->verticalScrollBar();
    bar->setValue(bar->maximum());
    const int room = d->text->viewport()->width() - 2 * int(d->text->document()->documentMargin());
    if (d->text->fontMetrics().horizontalAdvance(text) > room)
        emit LineCut(text);
}

void StatusBox::ClearLines()
{
    d->text->clear();
    d->empty = true;
}

void StatusBox::SetDisplay(bool on)
{
    // Off keeps the lines but shows an empty box.
    d->display = on;
    d->text->setVisible(on);
}

bool StatusBox::Display() const { return d->display; }

QStringList StatusBox::Lines() const
{
    QStringList lines;
    if (d->empty)
        return lines;
    for (QTextBlock b = d->text->document()->firstBlock(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

std::uint32_t StatusBox::LineColour(int index) const
{
    const QTextBlock b = d->text->document()->findBlockByNumber(index);
    return d->empty || !b.isValid() ? 0 : std::uint32_t(b.userState());
}

QPlainTextEdit* StatusBox::View() const { return d->text; }

bool StatusBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->text->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QTextBlock b = d->text->cursorForPosition(help->pos()).block();
        if (!d->empty && b.isValid())
            QToolTip::showText(help->globalPos(), b.text(), d->text->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
