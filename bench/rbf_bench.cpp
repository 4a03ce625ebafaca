// The RBF solve beside Eigen's PartialPivLU on the same systems, in the same run: the loaded module
// with the kernel it chose, then every kernel the processor runs. Counters: eigen_ms (Eigen built like
// this program: decomposition and solve), ratio (module time / Eigen time), and for information
// native_ms and ratio_native against Eigen built for this processor, whose fused multiply-add the
// module's results cannot use.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <Eigen/Dense>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "eigen_native_lu.h"
#include "loading/plugin_host.h"
#include "rbf/column_update.h"
#include "rbf/rbf.h"
#include "vanticAPI.h"

namespace {

using Clock = std::chrono::steady_clock;

// A kernel matrix of scattered nodes: exp(-d^2), with a small ridge to keep it well conditioned.
std::vector<double> KernelMatrix(int n) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> coordinate(0.0, 10.0);
    std::vector<double> nodes(3 * static_cast<size_t>(n));
    for (double &c : nodes) c = coordinate(random);
    std::vector<double> a(static_cast<size_t>(n) * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double d2 = 0.0;
            for (int k = 0; k < 3; ++k) {
                const double d = nodes[3 * static_cast<size_t>(i) + k] - nodes[3 * static_cast<size_t>(j) + k];
                d2 += d * d;
            }
            a[static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(j)] =
                std::exp(-d2) + (i == j ? 1e-3 : 0.0);
        }
    return a;
}

// The solve writes its permutation line to standard output; keep it out of the report.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }

private:
    int saved_;
};

// The record functions of one copy of the module: the loaded one, or the linked one whose kernel
// the benchmark can force.
struct RbfFunctions {
    vantic_CreateRbf_t *create;
    vantic_DeleteRbf_t *destroy;
    vantic_RbfSolve_t *solve;
};

// Times the module's solve, Eigen's (built like this program) and Eigen's built for this processor on
// the same kernel matrix, one after the other in every iteration.
void SolveBesideEigen(benchmark::State &state, const RbfFunctions &f, int n) {
    const std::vector<double> a = KernelMatrix(n);
    Rbf *rbf = f.create(n);

    // The system the module solves is the transpose of A: A row by row is the system column by column.
    const Eigen::Map<const Eigen::MatrixXd> system(a.data(), n, n);
    const Eigen::VectorXd ones = Eigen::VectorXd::Ones(n);
    Eigen::PartialPivLU<Eigen::MatrixXd> lu(n);
    Eigen::VectorXd w(n), wNative(n);

    double moduleSeconds = 0.0, eigenSeconds = 0.0, nativeSeconds = 0.0;
    for (auto _ : state) {
        // A solve leaves the factors in the matrix: put the kernel values back first.
        for (int i = 0; i < n; ++i)
            std::memcpy(rbf->matrix->rows[i], a.data() + static_cast<size_t>(i) * static_cast<size_t>(n),
                        static_cast<size_t>(n) * sizeof(double));
        const Clock::time_point start = Clock::now();
        {
            QuietStdout quiet;
            f.solve(rbf);
        }
        const Clock::time_point middle = Clock::now();
        lu.compute(system);
        w = lu.solve(ones);
        benchmark::DoNotOptimize(w.data());
        const Clock::time_point end = Clock::now();
        nativeSeconds += EigenNativeSolveSeconds(a.data(), n, wNative.data());
        const double module = std::chrono::duration<double>(middle - start).count();
        moduleSeconds += module;
        eigenSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(module);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["eigen_ms"] = 1e3 * eigenSeconds / iterations;
    state.counters["ratio"] = moduleSeconds / eigenSeconds;
    state.counters["native_ms"] = 1e3 * nativeSeconds / iterations;
    state.counters["ratio_native"] = moduleSeconds / nativeSeconds;
    state.counters["max_weight_diff"] = (Eigen::Map<const Eigen::VectorXd>(rbf->weights, n) - w).cwiseAbs().maxCoeff();
    f.destroy(rbf);
}

// The loaded module, as a client gets it; the label is the kernel it chose (the linked copy makes the
// same choice on the same processor).
void BM_RbfSolveBesideEigen(benchmark::State &state) {
    vhost::PluginHost loaded;
    const RbfFunctions f{loaded.function<vantic_CreateRbf_t>("vantic_CreateRbf"),
                         loaded.function<vantic_DeleteRbf_t>("vantic_DeleteRbf"),
                         loaded.function<vantic_RbfSolve_t>("vantic_RbfSolve")};
    SolveBesideEigen(state, f, static_cast<int>(state.range(0)));
    state.SetLabel(vantic::VectorWidthName(vantic::ActiveColumnWidth()));
}
BENCHMARK(BM_RbfSolveBesideEigen)->Arg(500)->Arg(1000)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Every kernel this processor runs, forced in the linked copy (argument 0: 0 baseline, 1 AVX2, 2 AVX-512).
void BM_RbfKernelBesideEigen(benchmark::State &state) {
    const auto kernel = static_cast<vantic::VectorWidth>(state.range(0));
    const vantic::VectorWidth before = vantic::ActiveColumnWidth();
    if (!vantic::ForceColumnWidth(kernel)) {
        state.SkipWithError("this processor does not run the kernel");
        for (auto _ : state) {
        }
        return;
    }
    SolveBesideEigen(state, RbfFunctions{&vantic_CreateRbf, &vantic_DeleteRbf, &vantic_RbfSolve},
                     static_cast<int>(state.range(1)));
    state.SetLabel(vantic::VectorWidthName(kernel));
    vantic::ForceColumnWidth(before);
}
BENCHMARK(BM_RbfKernelBesideEigen)
    ->ArgsProduct({{0, 1, 2}, {500, 1000, 2000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
