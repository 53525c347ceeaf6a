#pragma once

#include <QByteArray>
#include <QString>

// Reads a text file as a sequence of fields, the way the program's configuration, board
// program and data files are read: a field ends at a comma or a line end, leading blanks
// and tabs are skipped, a field that begins with a double quote runs to the closing quote
// (the quotes are dropped), and an empty line is an empty field.
class FieldReader {
public:
    explicit FieldReader(QByteArray content);

    bool AtEnd() const { return pos_ >= data_.size(); }

    // The next field; raises error 62 ("Input past end of file") at the end.
    QString Next();

    // The line (from 1) on which the field last returned by Next() began.
    int Line() const { return line_; }

    // Counts the fields that remain without consuming them.
    qsizetype CountRemaining() const;

private:
    QByteArray data_;
    qsizetype pos_ = 0;
    qsizetype counted_ = 0;   // line ends before this position are in lineEnds_
    int lineEnds_ = 0;
    int line_ = 0;
};
