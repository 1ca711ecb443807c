#pragma once

#include <QString>

// How results read wherever a person sees them in the program: the Ct and the Tm with exactly two
// decimals (halves away from zero), the Ct as "-" when there is none or it rounds to 0; the call
// as a word. A run that did not play to its end calls no curve negative: a curve without a Ct may
// only have lacked the cycles it needed.
namespace ResultText {

QString ct(double ct);
QString tm(double tm);
QString call(bool positive, bool runComplete);
// Said wherever an incomplete run's results are shown.
QString incompleteRun();
// A quantity in one form for every size, three significant digits ("1.52e+04"); "-" for none.
QString quantity(double value);
// How a fold change was computed ("ddcq", "efficiency"), as a person reads it.
QString foldMethod(const QString& code);
// A fold change as every table shows it: three decimals, or "-（why）" where there is none.
QString fold(double value, const QString& missing);

}
