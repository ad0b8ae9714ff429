/*
** lyapunov.h: the continuous Lyapunov equation A X + X A^T = R.
*/
#ifndef TOLVARIN_SIM_ENGINE_LYAPUNOV_H
#define TOLVARIN_SIM_ENGINE_LYAPUNOV_H

#include <Eigen/Dense>

/* X for a real A whose eigenvalues all have negative real parts (no two
   of them sum to zero) and a real R.  The equation is brought to
   triangular form by A's complex Schur decomposition (Bartels and
   Stewart), so a stiff A costs no accuracy. */
Eigen::MatrixXd SolveLyapunov(const Eigen::MatrixXd& a, const Eigen::MatrixXd& r);

#endif
