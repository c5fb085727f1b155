#pragma once

#include <QString>

namespace zelvo::db {

// Passwords are stored only as libsodium's Argon2id strings
// ("$argon2id$v=19$m=65536,t=2,p=1$<salt>$<hash>"). Salt and cost travel inside the string, so
// a hash made with an older cost stays verifiable. The password's UTF-8 bytes are hashed.

// The length of a new password, in characters: the limits users have always had (a hash has none,
// but the password window and the user commands keep them alike).
constexpr int shortestPassword = 5;
constexpr int longestPassword = 10;

// The characters a stored hash may need (libsodium's crypto_pwhash_STRBYTES less its NUL);
// the password column must be at least this wide.
constexpr int passwordHashWidth = 127;

// Hashes a password with a fresh random salt at the standard cost (libsodium's interactive
// limits: about 0.1 s and 64 MiB). Throws DbError when libsodium cannot, out of memory.
QString hashPassword(const QString& password);

// Checks a password against a stored hash, in constant time. A stored value that is no hash
// (empty, plain text, damaged) is never compared with the password: the check runs against a
// stand-in hash instead, so that it takes as long as a real one, and fails.
bool verifyPassword(const QString& stored, const QString& password);

// Whether a stored value is a hash this program verifies (Argon2id, or the older Argon2i).
bool isPasswordHash(const QString& stored);

// Whether a stored hash was made at the standard cost.
bool hasStandardCost(const QString& stored);

} // namespace zelvo::db
