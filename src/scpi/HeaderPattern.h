#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

// A command header as the command table writes it: "[SENSe:]SAMPle:COUNt",
// "SYSTem:ERRor[:NEXT]", "*IDN". Upper-case letters are the short form; a node in
// brackets may be left out. A header matches in either form, in any letter case.
class HeaderPattern {
public:
    explicit HeaderPattern(const QString& pattern);

    bool Matches(const QList<QByteArray>& mnemonics) const;
    const QString& Text() const { return text_; }

private:
    struct Node {
        QByteArray longForm;    // upper case
        QByteArray shortForm;   // upper case
        bool optional = false;
    };
    bool MatchFrom(std::size_t node, const QList<QByteArray>& mnemonics, qsizetype at) const;

    QString text_;
    std::vector<Node> nodes_;
};

// Whether one mnemonic is the long or the short form of a choice written like a node
// ("ASCii", "FLATtop", "MAXimum").
bool MnemonicMatches(const QString& choice, QByteArrayView mnemonic);
