#pragma once

#include <QList>

// The one program-wide random number generator. Randomize() reseeds it from
// the clock (at the main window's creation and at every attempt start);
// Random(n) is a uniform integer 0..n-1 (0 for n <= 0).
//
// Tests script the draws with setScript(): each Random(n) then returns the
// next scripted value (taken modulo n), and Randomize() does not disturb the
// script.
namespace ProgramRandom {
void Randomize();
int Random(int n);

void setScript(const QList<int> &values);
void clearScript();
} // namespace ProgramRandom
