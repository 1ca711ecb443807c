#pragma once

#include <QString>

// How results read wherever a person sees them in the program: the Ct to two decimals (halves
// away from zero) in its shortest form, "-" when there is none or it rounds to 0; the Tm with
// exactly two decimals; the call as a word.
namespace ResultText {

QString ct(double ct);
QString tm(double tm);
QString call(bool positive);

}
