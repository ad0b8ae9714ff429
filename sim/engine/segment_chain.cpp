/*
** segment_chain.cpp: exp(M h) - I and the integral of z z^T over a
** segment, by a short series on a small step and doublings (see the
** header).  Eigen has the exponential but not its difference from the
** identity nor the integrals along it; both come from the same few
** products of small matrices, with no allocation.
*/
#include "sim/engine/segment_chain.h"

#include <array>
#include <cassert>
#include <cmath>
#include <utility>

namespace {

/* The series runs on steps whose M tau0 has a 1-norm of at most this. */
const double kSeriesReach = 0.125;

/* 1 / k for the series' factorials and the moment's 1 / (i + j + 1):
   a product where a division costs several times as much. */
constexpr int kInverses = 2 * kMaxAugmented;
constexpr std::array<double, kInverses> Inverses() {
  std::array<double, kInverses> inv{};
  for (int k = 1; k < kInverses; k++) inv[k] = 1.0 / k;
  return inv;
}
constexpr auto kInverse = Inverses();

/* Terms of the series for a step of 1-norm nu: the first left out,
   nu^(k+1) / (k+1)!, is below the rounding of the sum (about nu). */
int SeriesTerms(double nu) {
  int k = 1;
  double term = nu;
  while (k < kInverses - 2 && term > 1e-17 * std::max(nu, 1e-300)) {
    k++;
    term *= nu / k;
  }
  return k;
}

/* The chain and the moment at a size N known when compiled: Eigen
   unrolls and vectorises the products of small fixed-size matrices,
   several times faster than the same products at a size read at run
   time.  The sizes of the program's topologies (up to kFixedSizes) have
   their own instances; a larger circuit takes the run-time size
   (N = Eigen::Dynamic). */
const int kFixedSizes = 14;

template <int N>
using Square = Eigen::Matrix<double, N, N, 0, N == Eigen::Dynamic ? int(kMaxAugmented) : N,
                             N == Eigen::Dynamic ? int(kMaxAugmented) : N>;

template <int N>
void Expm1Of(const ChainMatrix& m, double h, int levels, ChainMatrix& out, double* chain) {
  using Fixed = Square<N>;
  const Eigen::Index n = m.rows();
  const Fixed g = m * std::ldexp(h, -levels);
  const int terms = SeriesTerms(g.cwiseAbs().colwise().sum().maxCoeff());
  /* exp(g) - I = g (I + g/2 (I + g/3 (...))), from the inside out. */
  Fixed f = g * kInverse[terms], gf(n, n);
  for (int k = terms - 1; k >= 1; k--) {
    gf.noalias() = g * f;
    f = (g + gf) * kInverse[k];
  }
  for (int j = 0;; j++) {
    if (chain) Eigen::Map<Fixed>(chain + j * n * n, n, n) = f;
    if (j == levels) break;
    gf.noalias() = f * f;
    f = gf + 2.0 * f;
  }
  out = f;
}

template <int N>
void MomentOf(const ChainMatrix& m, double h, int levels, const double* chain,
              const ChainVector* z0, int starts, ChainMatrix& out) {
  using Fixed = Square<N>;
  const Eigen::Index n = m.rows();
  const double tau = std::ldexp(h, -levels);
  const Fixed g = m * tau;
  const int terms = SeriesTerms(g.cwiseAbs().colwise().sum().maxCoeff());
  assert(terms < kMaxAugmented);
  /* z(s tau) = sum of v_k s^k, v_k = (M tau)^k z0 / k!; its square
     integrates over 0 <= s <= 1 to tau sum v_i v_j^T / (i + j + 1). */
  using Column = Eigen::Matrix<double, N, 1, 0, Fixed::MaxRowsAtCompileTime, 1>;
  Column v[kMaxAugmented], u(n);
  Fixed w = Fixed::Zero(n, n), e(n, n), ew(n, n);
  for (int a = 0; a < starts; a++) {
    v[0] = z0[a];
    for (int k = 1; k <= terms; k++) v[k].noalias() = g * v[k - 1] * kInverse[k];
    for (int i = 0; i <= terms; i++) {
      u = v[0] * kInverse[i + 1];
      for (int j = 1; j <= terms; j++) u += v[j] * kInverse[i + j + 1];
      w.noalias() += v[i] * u.transpose();
    }
  }
  w *= tau;
  /* The doublings are linear in w: the starts' first steps, summed, double
     as one. */
  for (int j = 0; j < levels; j++) {
    e = Eigen::Map<const Fixed>(chain + j * n * n, n, n);
    e.diagonal().array() += 1.0;
    ew.noalias() = e * w;
    w.noalias() += ew * e.transpose();
  }
  out = w;
}

using Expm1Kernel = void (*)(const ChainMatrix&, double, int, ChainMatrix&, double*);
using MomentKernel = void (*)(const ChainMatrix&, double, int, const double*, const ChainVector*,
                              int, ChainMatrix&);

/* The kernels of sizes 2 .. kFixedSizes, by size. */
template <int... N>
constexpr auto Expm1Kernels(std::integer_sequence<int, N...>) {
  return std::array<Expm1Kernel, sizeof...(N)>{&Expm1Of<N + 2>...};
}
template <int... N>
constexpr auto MomentKernels(std::integer_sequence<int, N...>) {
  return std::array<MomentKernel, sizeof...(N)>{&MomentOf<N + 2>...};
}
constexpr auto kExpm1 = Expm1Kernels(std::make_integer_sequence<int, kFixedSizes - 1>());
constexpr auto kMoment = MomentKernels(std::make_integer_sequence<int, kFixedSizes - 1>());

}  // namespace

int ChainLevels(const ChainMatrix& m, double h) {
  assert(h >= 0.0);
  const double norm = m.cwiseAbs().colwise().sum().maxCoeff() * h;
  int levels = 0;
  while (norm > kSeriesReach * std::ldexp(1.0, levels) && levels < 1000) levels++;
  return levels;
}

void ChainExpm1(const ChainMatrix& m, double h, int levels, ChainMatrix& f, double* chain) {
  assert(m.rows() == m.cols() && m.rows() >= 1 && m.rows() <= kMaxAugmented);
  if (m.rows() >= 2 && m.rows() <= kFixedSizes)
    kExpm1[m.rows() - 2](m, h, levels, f, chain);
  else
    Expm1Of<Eigen::Dynamic>(m, h, levels, f, chain);
}

void ChainMoment(const ChainMatrix& m, double h, int levels, const double* chain,
                 const ChainVector* z0, int starts, ChainMatrix& w) {
  assert(m.rows() == m.cols() && m.rows() >= 1 && m.rows() <= kMaxAugmented);
  assert(starts >= 1);
  if (m.rows() >= 2 && m.rows() <= kFixedSizes)
    kMoment[m.rows() - 2](m, h, levels, chain, z0, starts, w);
  else
    MomentOf<Eigen::Dynamic>(m, h, levels, chain, z0, starts, w);
}
