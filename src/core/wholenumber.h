// Reading a whole number from a text a user typed or a server sent, the one way the program
// reads one, with the one message a text that is none stops a step with.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zelvo::core {

// An optional sign and ASCII digits, nothing else (no blanks, no grouping); nullopt for any
// other text and for a number beyond 64 bits.
std::optional<qlonglong> wholeNumber(QStringView text);

// The number, or core::Error with notWholeNumberMessage.
qlonglong requireWholeNumber(QStringView text);

// "'<text>' geçerli bir tam sayı değil"
QString notWholeNumberMessage(QStringView text);

} // namespace zelvo::core
