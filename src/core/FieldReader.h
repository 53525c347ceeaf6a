#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads a text file as a sequence of fields, the way the program's configuration, board
// program and data files are read: a field ends at a comma or a line end, leading blanks
// and tabs are skipped, a field that begins with a double quote runs to the closing quote
// (the quotes are dropped), and an empty line is an empty field.
class FieldReader {
public:
    explicit FieldReader(QByteArray content);

    // Opens a file; nullopt when it cannot be opened or read.
    static std::optional<FieldReader> FromFile(const QString& path);

    bool AtEnd() const { return pos_ >= data_.size(); }

    // The next field; raises error 62 ("Input past end of file") at the end.
    QString Next();

    // Counts the fields that remain without consuming them.
    qsizetype CountRemaining() const;

private:
    QByteArray data_;
    qsizetype pos_ = 0;
};
