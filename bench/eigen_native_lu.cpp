// Compiled with -march=native. Eigen's namespace is renamed here so that none of these instances is
// merged with the baseline-target instances of the same templates elsewhere in the program.
#define Eigen EigenNative
#include <Eigen/Dense>
#undef Eigen

#include <chrono>

#include "eigen_native_lu.h"

double EigenNativeSolveSeconds(const double *system, int n, double *w) {
    const EigenNative::Map<const EigenNative::MatrixXd> a(system, n, n);
    const auto start = std::chrono::steady_clock::now();
    EigenNative::PartialPivLU<EigenNative::MatrixXd> lu(a);
    EigenNative::Map<EigenNative::VectorXd>(w, n) = lu.solve(EigenNative::VectorXd::Ones(n));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
