#pragma once

// Splits one line of a template into words, key=value pairs and quoted strings.

#include <QList>
#include <QString>
#include <QStringView>

namespace zelvo::report::detail {

struct Token {
    enum class Type { Word, Pair, String };
    Type type = Type::Word;
    QString key;   // Word and Pair: the word, lower case
    QString value; // Pair and String
    int column = 0;
    int valueColumn = 0;
    QList<int> valueColumns; // source column of every character of `value`
};

// The tokens of line number `line` up to a '#' or ';' comment. Throws ParseFailure.
QList<Token> tokenizeLine(QStringView text, int line);

// Source column of position `pos` inside a token value whose characters stand at `columns`;
// a position past the end is placed just after the last character.
int columnAt(const QList<int>& columns, qsizetype pos);

} // namespace zelvo::report::detail
