#pragma once

#include <QList>

// The one program-wide random number generator. randomize() reseeds it from
// the clock (at the main window's creation and at every attempt start);
// random(n) is a uniform integer 0..n-1 (0 for n <= 0).
//
// Tests script the draws with setScript(): each random(n) then returns the
// next scripted value (taken modulo n), and randomize() does not disturb the
// script.
namespace ProgramRandom {
void randomize();
int random(int n);

void setScript(const QList<int> &values);
void clearScript();
} // namespace ProgramRandom
