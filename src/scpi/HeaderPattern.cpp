#include "scpi/HeaderPattern.h"

#include <QRegularExpression>

namespace {

QByteArray ShortForm(const QString& node)
{
    QByteArray out;
    for (QChar c : node) {
        if (!c.isUpper() && !c.isDigit() && c != u'*')
            break;
        out += char(c.unicode());
    }
    return out;
}

// Equal in any letter case, without building an upper-case copy: headers are matched
// against every table entry.
bool SameWord(QByteArrayView word, const QByteArray& upper)
{
    return word.size() == upper.size() && qstrnicmp(word.data(), word.size(), upper.constData(), upper.size()) == 0;
}

} // namespace

HeaderPattern::HeaderPattern(const QString& pattern) : text_(pattern)
{
    static const QRegularExpression node(QStringLiteral("(\\[?):?([*A-Za-z0-9]+)\\]?"));
    for (auto it = node.globalMatch(pattern); it.hasNext();) {
        const auto m = it.next();
        nodes_.push_back({m.captured(2).toUpper().toLatin1(), ShortForm(m.captured(2)), !m.captured(1).isEmpty()});
    }
}

bool HeaderPattern::Matches(const QList<QByteArray>& mnemonics) const
{
    return MatchFrom(0, mnemonics, 0);
}

bool HeaderPattern::MatchFrom(std::size_t n, const QList<QByteArray>& mnemonics, qsizetype at) const
{
    if (n == nodes_.size())
        return at == mnemonics.size();
    const Node& node = nodes_[n];
    if (node.optional && MatchFrom(n + 1, mnemonics, at))
        return true;
    if (at == mnemonics.size())
        return false;
    return (SameWord(mnemonics[at], node.longForm) || SameWord(mnemonics[at], node.shortForm)) &&
           MatchFrom(n + 1, mnemonics, at + 1);
}

bool MnemonicMatches(const QString& choice, QByteArrayView mnemonic)
{
    return SameWord(mnemonic, choice.toUpper().toLatin1()) || SameWord(mnemonic, ShortForm(choice));
}
