#pragma once

#include "generation/StrengthAdvice.h"
#include "generation/StrengthModel.h"

#include <QString>

namespace lexiglow {

// What the suggestions window says of the strength, in plain words first
// and the bits after: the average time to guess a password at 10 guesses a
// second (a login that does not limit tries) and at 10 billion a second (a
// stolen file of fast-hashed passwords), for an attacker who knows the lists
// and settings, and the guesses that find one password in ten.
QString strengthSentences(const StrengthFigures &figures);

// The changes that would make the passwords stronger, each with the bits and
// the time at 10 guesses a second it gives; and with letter replacement on,
// what it adds. Empty when there is nothing to say. largeList is the large
// list's path, named by its file's name.
QString adviceSentences(const StrengthAdvice &advice, const StrengthFigures &now, const QString &largeList);

// A number of guesses as a person reads it: three figures, the rest zeros,
// grouped by thousands ("108,000").
QString guessCount(double guesses);

} // namespace lexiglow
