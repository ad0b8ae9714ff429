/*
** single_precision.h: the two things every computation shares.
**
** Every result is stored as a float the moment it is named, and the next
** formula reads that float back: F() is that store.  The arithmetic in
** between is done in double.  2 pi is the decimal 6.283185307 in every
** formula, as the design equations were worked out with it.
*/
#ifndef TOLVARIN_ENGINE_SINGLE_PRECISION_H
#define TOLVARIN_ENGINE_SINGLE_PRECISION_H

inline constexpr double kTwoPi = 6.283185307;

/* Rounds an intermediate double to the float it is stored as. */
inline float F(double v) {
  return static_cast<float>(v);
}

#endif
