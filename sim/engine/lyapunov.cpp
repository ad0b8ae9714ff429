/*
** lyapunov.cpp: A X + X A^T = R by the Schur form.  With A = U T U^*
** (T upper triangular) the equation becomes T Y + Y T^* = U^* R U for
** Y = U^* X U.  Column j of Y T^* only involves columns j and later of
** Y, so the columns are found from the last one back, each from one
** upper-triangular solve with T + conj(t_jj) I, whose diagonal
** t_ii + conj(t_jj) is never zero for a stable A.
*/
#include "sim/engine/lyapunov.h"

#include <Eigen/Eigenvalues>
#include <cassert>

Eigen::MatrixXd SolveLyapunov(const Eigen::MatrixXd& a, const Eigen::MatrixXd& r) {
  assert(a.rows() == a.cols() && r.rows() == a.rows() && r.cols() == a.cols());
  const Eigen::Index n = a.rows();
  const Eigen::ComplexSchur<Eigen::MatrixXd> schur(a);
  const Eigen::MatrixXcd& u = schur.matrixU();
  const Eigen::MatrixXcd& t = schur.matrixT();
  const Eigen::MatrixXcd rt = u.adjoint() * r * u;
  Eigen::MatrixXcd y(n, n);
  Eigen::MatrixXcd shifted = t;
  for (Eigen::Index j = n - 1; j >= 0; j--) {
    Eigen::VectorXcd rhs = rt.col(j);
    for (Eigen::Index k = j + 1; k < n; k++) rhs -= std::conj(t(j, k)) * y.col(k);
    shifted.diagonal() = t.diagonal().array() + std::conj(t(j, j));
    y.col(j) = shifted.triangularView<Eigen::Upper>().solve(rhs);
  }
  return (u * y * u.adjoint()).real();
}
