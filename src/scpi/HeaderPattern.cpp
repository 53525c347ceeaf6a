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
    const QByteArray word = mnemonics[at].toUpper();
    return (word == node.longForm || word == node.shortForm) && MatchFrom(n + 1, mnemonics, at + 1);
}

bool MnemonicMatches(const QString& choice, QByteArrayView mnemonic)
{
    const QByteArray word = mnemonic.toByteArray().toUpper();
    return word == choice.toUpper().toLatin1() || word == ShortForm(choice);
}
