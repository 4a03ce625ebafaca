// The RBF solve of the loaded module beside Eigen's PartialPivLU on the same systems, in the same run.
// Counters: eigen_ms (Eigen's decomposition and solve) and ratio (module time / Eigen time).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <Eigen/Dense>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "loading/plugin_host.h"
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

void BM_RbfSolveBesideEigen(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> a = KernelMatrix(n);
    vhost::PluginHost loaded;
    auto create = loaded.function<vantic_CreateRbf_t>("vantic_CreateRbf");
    auto destroy = loaded.function<vantic_DeleteRbf_t>("vantic_DeleteRbf");
    auto set = loaded.function<vantic_RbfSetDist_t>("vantic_RbfSetDist");
    auto solve = loaded.function<vantic_RbfSolve_t>("vantic_RbfSolve");
    Rbf *rbf = create(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) set(rbf, i, j, a[static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(j)]);

    // The system the module solves is the transpose of A.
    Eigen::MatrixXd system(n, n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) system(r, c) = a[static_cast<size_t>(c) * static_cast<size_t>(n) + static_cast<size_t>(r)];
    const Eigen::VectorXd ones = Eigen::VectorXd::Ones(n);
    Eigen::PartialPivLU<Eigen::MatrixXd> lu(n);
    Eigen::VectorXd w(n);

    double moduleSeconds = 0.0, eigenSeconds = 0.0;
    for (auto _ : state) {
        // A solve leaves the factors in the matrix: put the kernel values back first.
        for (int i = 0; i < n; ++i)
            std::memcpy(rbf->matrix->rows[i], a.data() + static_cast<size_t>(i) * static_cast<size_t>(n),
                        static_cast<size_t>(n) * sizeof(double));
        const Clock::time_point start = Clock::now();
        {
            QuietStdout quiet;
            solve(rbf);
        }
        const Clock::time_point middle = Clock::now();
        lu.compute(system);
        w = lu.solve(ones);
        benchmark::DoNotOptimize(w.data());
        const Clock::time_point end = Clock::now();
        const double module = std::chrono::duration<double>(middle - start).count();
        moduleSeconds += module;
        eigenSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(module);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["eigen_ms"] = 1e3 * eigenSeconds / iterations;
    state.counters["ratio"] = moduleSeconds / eigenSeconds;
    state.counters["max_weight_diff"] = (Eigen::Map<const Eigen::VectorXd>(rbf->weights, n) - w).cwiseAbs().maxCoeff();
    destroy(rbf);
}

BENCHMARK(BM_RbfSolveBesideEigen)->Arg(500)->Arg(1000)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
