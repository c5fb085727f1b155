#include "db/sqlfunctions.h"

#include "core/money.h"
#include "core/turkishtext.h"

#include <QString>
#include <sqlite3.h>

namespace zelvo::db {

namespace money = zelvo::core::money;

namespace {

QString textArgument(sqlite3_value* value)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(value));
}

// The amount an argument stands for, in kuruş, whatever its storage class.
std::optional<qint64> kurusArgument(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(value) * 100;
    case SQLITE_FLOAT:
        return core::money::kurusFromDouble(sqlite3_value_double(value));
    case SQLITE_NULL:
        return std::nullopt;
    default:
        return core::money::parseKurus(textArgument(value));
    }
}

void resultText(sqlite3_context* context, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void trfold(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    resultText(context, core::turkishLower(textArgument(argv[0])));
}

void dec2(sqlite3_context* context, int, sqlite3_value** argv)
{
    const auto kurus = kurusArgument(argv[0]);
    if (!kurus) {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
            sqlite3_result_null(context);
        else
            sqlite3_result_error(context, "dec2: not a number", -1);
        return;
    }
    resultText(context, core::money::plainText(*kurus));
}

void share(sqlite3_context* context, int, sqlite3_value** argv)
{
    const auto amount = kurusArgument(argv[0]);
    if (!amount || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QString percent;
    if (sqlite3_value_type(argv[1]) == SQLITE_FLOAT)
        percent = core::money::decimalText(sqlite3_value_double(argv[1]));
    else
        percent = textArgument(argv[1]);
    const auto result = core::money::percentOf(*amount, percent);
    if (!result) {
        sqlite3_result_error(context, "share: the percentage is not a number", -1);
        return;
    }
    resultText(context, core::money::plainText(*result));
}

} // namespace

void registerSqlFunctions(sqlite3* handle)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(handle, "trfold", 1, flags, nullptr, trfold, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(handle, "dec2", 1, flags, nullptr, dec2, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(handle, "share", 2, flags, nullptr, share, nullptr, nullptr,
                               nullptr);
}

} // namespace zelvo::db
