#include "StatusBox.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace {

// Continuous sampling adds a line per block; the oldest lines go beyond this.
constexpr int MaxLines = 1000;

QColor FromBgr(std::uint32_t colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

struct StatusBox::Impl {
    QListWidget* list = nullptr;
    std::vector<std::uint32_t> colours;   // per line, 0 for the default colour
    bool display = true;
};

StatusBox::StatusBox(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->list = new QListWidget(this);
    d->list->setSelectionMode(QAbstractItemView::NoSelection);
    d->list->setFocusPolicy(Qt::NoFocus);
    // The boxes are narrow: a long line wraps rather than losing its end.
    d->list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->list->setWordWrap(true);
    QFont font = d->list->font();
    font.setPointSizeF(8);
    d->list->setFont(font);
    layout->addWidget(d->list);
}

StatusBox::~StatusBox()
{
    delete d;
}

void StatusBox::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    auto* item = new QListWidgetItem(text, d->list);
    item->setToolTip(text);
    if (colour)
        item->setForeground(FromBgr(*colour));
    d->colours.push_back(colour.value_or(0));
    if (d->list->count() > MaxLines) {
        delete d->list->takeItem(0);
        d->colours.erase(d->colours.begin());
    }
    d->list->scrollToBottom();
}

void StatusBox::ClearLines()
{
    d->list->clear();
    d->colours.clear();
}

void StatusBox::SetDisplay(bool on)
{
    // Off keeps the lines but shows an empty box.
    d->display = on;
    d->list->setVisible(on);
}

bool StatusBox::Display() const { return d->display; }

QStringList StatusBox::Lines() const
{
    QStringList lines;
    for (int i = 0; i < d->list->count(); ++i)
        lines << d->list->item(i)->text();
    return lines;
}

std::uint32_t StatusBox::LineColour(int index) const
{
    return index >= 0 && std::size_t(index) < d->colours.size() ? d->colours[std::size_t(index)] : 0;
}
