/*
** segment_chain.h: the exponential of one switch segment as a chain of
** doublings, and the segment's energy integral from it.
**
** On a segment the augmented state z = [x; 1] obeys z' = M z.  Its
** propagator over a length h is exp(M h); the engine needs it as
** F = exp(M h) - I, the change of the state, which keeps the precision
** of a slow state (a large choke changes by a millionth a period) that
** exp(M h) would drown in the rounding of its unit diagonal.  F comes
** from a short step tau0 = h / 2^L, where M tau0 is small enough for a
** short series, and L doublings: F(2 tau) = F(tau) (F(tau) + 2 I).
**
** The integral of z z^T over the segment, W, doubles along the same
** chain: W(2 tau) = W(tau) + E(tau) W(tau) E(tau)^T with E = I + F, a sum
** of positive semidefinite terms that loses nothing however stiff the
** segment (a closed switch of a few milliohms across a capacitor).  W is
** linear in z0 z0^T, so two segments of one system and one length (a
** rising and a falling ramp step) double their summed first steps once.
*/
#ifndef TOLVARIN_SIM_ENGINE_SEGMENT_CHAIN_H
#define TOLVARIN_SIM_ENGINE_SEGMENT_CHAIN_H

#include <Eigen/Dense>

/* The largest augmented state the engine holds: its matrices live on the
   stack (or in a workspace) at this size, never on the heap per call. */
enum { kMaxAugmented = 16 };

using ChainMatrix =
    Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, kMaxAugmented, kMaxAugmented>;
using ChainVector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, kMaxAugmented, 1>;
using ChainRow = Eigen::Matrix<double, 1, Eigen::Dynamic, Eigen::RowMajor, 1, kMaxAugmented>;

/* How many doublings bring M h down to the series' reach. */
int ChainLevels(const ChainMatrix& m, double h);

/* exp(M h) - I by the chain of `levels` doublings.  When `chain` is given
   it receives each level's F, level j over a length h 2^(j - levels),
   j = 0 .. levels, as consecutive column-major n x n blocks. */
void ChainExpm1(const ChainMatrix& m, double h, int levels, ChainMatrix& f,
                double* chain = nullptr);

/* The integral of z z^T over a segment of length h, summed over the
   `starts` segments (at least one) that begin at z0[0] .. z0[starts - 1],
   on the chain ChainExpm1 stored for M and h. */
void ChainMoment(const ChainMatrix& m, double h, int levels, const double* chain,
                 const ChainVector* z0, int starts, ChainMatrix& w);

#endif
