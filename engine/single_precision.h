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

/* Angular frequency in rad/s of one MHz.  The product is the decimal
   6283185.307 itself, so a formula that reads it gives what one with that
   literal would. */
inline constexpr double kTwoPiPerMHz = kTwoPi * 1e6;
static_assert(kTwoPiPerMHz == 6283185.307);

/* Rounds an intermediate double to the float it is stored as. */
inline float F(double v) {
  return static_cast<float>(v);
}

#endif
