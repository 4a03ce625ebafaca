// RBF interpolation through the loaded module: record lifetime, the LU solve of the transposed kernel
// matrix against hand-solved systems, a plain column-by-column decomposition (bit for bit) and Eigen;
// and every vector kernel this processor runs, through the linked copy, against the plain decomposition.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "rbf/column_update.h"
#include "rbf/rbf.h"
#include "vanticAPI.h"

namespace {

using Matrix = std::vector<std::vector<double>>;  // A[i][j], as vantic_RbfSetDist takes it

struct RbfKit {
    vhost::PluginHost loaded;
    vantic_CreateRbf_t *create = loaded.function<vantic_CreateRbf_t>("vantic_CreateRbf");
    vantic_DeleteRbf_t *destroy = loaded.function<vantic_DeleteRbf_t>("vantic_DeleteRbf");
    vantic_RbfSetDist_t *set = loaded.function<vantic_RbfSetDist_t>("vantic_RbfSetDist");
    vantic_RbfSolve_t *solve = loaded.function<vantic_RbfSolve_t>("vantic_RbfSolve");
    vantic_RbfInterpolate_t *interpolate = loaded.function<vantic_RbfInterpolate_t>("vantic_RbfInterpolate");

    Rbf *make(const Matrix &a) {
        Rbf *rbf = create(static_cast<int32_t>(a.size()));
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t j = 0; j < a.size(); ++j)
                set(rbf, static_cast<int32_t>(i), static_cast<int32_t>(j), a[i][j]);
        return rbf;
    }
    // The solve's standard output.
    std::string solveOutput(Rbf *rbf) {
        testing::internal::CaptureStdout();
        solve(rbf);
        return testing::internal::GetCapturedStdout();
    }
};

Matrix Entries(const Rbf *rbf) {
    Matrix a(static_cast<size_t>(rbf->nodeCount));
    for (int32_t i = 0; i < rbf->nodeCount; ++i)
        a[static_cast<size_t>(i)].assign(rbf->matrix->rows[i], rbf->matrix->rows[i] + rbf->nodeCount);
    return a;
}

std::vector<double> Weights(const Rbf *rbf) {
    return std::vector<double>(rbf->weights, rbf->weights + rbf->nodeCount);
}

// Compares bit for bit, so that even the sign of a zero must agree.
::testing::AssertionResult SameBits(const std::vector<double> &expected, const std::vector<double> &actual) {
    if (expected.size() != actual.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::bit_cast<uint64_t>(expected[i]) != std::bit_cast<uint64_t>(actual[i]))
            return ::testing::AssertionFailure() << "entry " << i << ": " << expected[i] << " vs " << actual[i];
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameBits(const Matrix &expected, const Matrix &actual) {
    if (expected.size() != actual.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (size_t i = 0; i < expected.size(); ++i)
        if (auto row = SameBits(expected[i], actual[i]); !row) return row << " in row " << i;
    return ::testing::AssertionSuccess();
}

Matrix RandomMatrix(size_t n, uint64_t seed, double diagonal) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    Matrix a(n, std::vector<double>(n));
    for (auto &row : a)
        for (double &v : row) v = entry(random);
    for (size_t i = 0; i < n; ++i) a[i][i] += diagonal;
    return a;
}

// The decomposition and substitution done plainly, one column after the other, on M = transpose of A,
// held as M[r][c]. The reference the module's blocked decomposition must match bit for bit. Returns
// whether it solved; a is left as the module should leave its matrix (A[c][r] = M[r][c]).
struct Plain {
    bool solved = false;
    std::vector<int> perm;
    std::vector<double> x;
};

Plain PlainSolve(Matrix &a) {
    const int n = static_cast<int>(a.size());
    auto M = [&a](int r, int c) -> double & { return a[static_cast<size_t>(c)][static_cast<size_t>(r)]; };
    Plain out;
    std::vector<double> scale(static_cast<size_t>(n));
    out.perm.resize(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        double big = 0.0;
        for (int c = 0; c < n; ++c)
            if (std::fabs(M(r, c)) > big) big = std::fabs(M(r, c));
        if (big == 0.0) return out;
        scale[static_cast<size_t>(r)] = 1.0 / big;
        out.perm[static_cast<size_t>(r)] = r;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 1; i < j; ++i) {
            double sum = M(i, j);
            for (int k = 0; k < i; ++k) sum = sum - M(i, k) * M(k, j);
            M(i, j) = sum;
        }
        double best = 0.0;
        int pivot = -1;
        for (int i = j; i < n; ++i) {
            double sum = M(i, j);
            for (int k = 0; k < j; ++k) sum = sum - M(i, k) * M(k, j);
            M(i, j) = sum;
            const double d = scale[static_cast<size_t>(i)] * std::fabs(sum);
            if (d > best) {
                best = d;
                pivot = i;
            }
        }
        if (pivot != j) {
            if (pivot < 0) return out;
            for (int c = 0; c < n; ++c) std::swap(M(j, c), M(pivot, c));
            std::swap(out.perm[static_cast<size_t>(j)], out.perm[static_cast<size_t>(pivot)]);
            scale[static_cast<size_t>(pivot)] = scale[static_cast<size_t>(j)];
        }
        if (j != n - 1) {
            const double f = 1.0 / M(j, j);
            for (int i = j + 1; i < n; ++i) M(i, j) = M(i, j) * f;
        }
    }
    out.x.assign(static_cast<size_t>(n), 1.0);
    auto x = [&out](int i) -> double & { return out.x[static_cast<size_t>(i)]; };
    for (int i = 0; i < n; ++i) {
        double sum = x(i);
        for (int k = 0; k < i; ++k) sum = sum - M(i, k) * x(k);
        x(i) = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = x(i);
        for (int k = i + 1; k < n; ++k) sum = sum - M(i, k) * x(k);
        x(i) = sum / M(i, i);
    }
    out.solved = true;
    return out;
}

TEST(Rbf, CreateFillsOnesAndZeroWeights) {
    RbfKit kit;
    Rbf *rbf = kit.create(3);
    ASSERT_NE(rbf, nullptr);
    EXPECT_EQ(rbf->nodeCount, 3);
    EXPECT_EQ(rbf->matrix->rowCount, 3);
    EXPECT_EQ(rbf->matrix->columnCount, 3);
    EXPECT_EQ(Entries(rbf), Matrix(3, std::vector<double>(3, 1.0)));
    EXPECT_EQ(Weights(rbf), std::vector<double>(3, 0.0));
    kit.destroy(rbf);
    kit.destroy(nullptr);
}

TEST(Rbf, CreateRefusesCountsTheSolverCannotHold) {
    RbfKit kit;
    EXPECT_EQ(kit.create(-1), nullptr);
    EXPECT_EQ(kit.create(65537), nullptr);
    Rbf *empty = kit.create(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(kit.solveOutput(empty), "\nRow permutation: \n");
    kit.destroy(empty);
}

TEST(Rbf, SetDistIgnoresIndicesOutsideTheMatrix) {
    RbfKit kit;
    Rbf *rbf = kit.create(2);
    for (auto [i, j] : {std::pair{2, 0}, {0, 2}, {-1, 0}, {0, -1}, {2, 2}}) kit.set(rbf, i, j, 7.0);
    EXPECT_EQ(Entries(rbf), Matrix(2, std::vector<double>(2, 1.0)));
    kit.set(rbf, 1, 0, -2.5);  // row i, column j, stored as given
    EXPECT_EQ(rbf->matrix->rows[1][0], -2.5);
    kit.destroy(rbf);
}

struct SolvedSystem {
    const char *name;
    Matrix a;
    std::vector<double> weights;  // solved by hand: sum over i of A[i][r] w[i] = 1
    const char *line;
};

class RbfSystems : public ::testing::TestWithParam<SolvedSystem> {};

TEST_P(RbfSystems, WeightsSolveTheTransposeAndThePermutationIsPrinted) {
    RbfKit kit;
    const SolvedSystem &s = GetParam();
    Rbf *rbf = kit.make(s.a);
    EXPECT_EQ(kit.solveOutput(rbf), s.line);
    const std::vector<double> w = Weights(rbf);
    ASSERT_EQ(w.size(), s.weights.size());
    for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], s.weights[i], 1e-15) << i;
    for (int32_t i = 0; i < rbf->nodeCount; ++i) EXPECT_EQ(kit.interpolate(rbf, i, 3.0), 3.0 * w[static_cast<size_t>(i)]);
    kit.destroy(rbf);
}

INSTANTIATE_TEST_SUITE_P(
    HandSolved, RbfSystems,
    ::testing::Values(
        SolvedSystem{"single", {{1.0}}, {1.0}, "\nRow permutation: [1]\n"},
        SolvedSystem{"symmetric", {{1, 0.5}, {0.5, 1}}, {2.0 / 3.0, 2.0 / 3.0}, "\nRow permutation: [1][2]\n"},
        SolvedSystem{"nonSymmetric", {{2, 1, 0}, {0, 3, 1}, {1, 0, 4}}, {0.4, 0.2, 0.2}, "\nRow permutation: [1][2][3]\n"},
        SolvedSystem{"swap", {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {1, 1, 1}, "\nRow permutation: [2][1][3]\n"},
        // Row (3, -5, 2) of the system is scaled by 1/5 (its largest magnitude), so 2 / 2 beats 3 / 5
        // and the second row is the first pivot; unscaled, or scaled by its largest value, it would not be.
        SolvedSystem{"scaledPivot", {{3, 2, 0}, {-5, 1, 0}, {2, 0, 1}}, {4.0 / 13.0, 5.0 / 13.0, 1.0},
                     "\nRow permutation: [2][1][3]\n"},
        // Only the first three entries are printed.
        SolvedSystem{"fourNodes", {{0, 0, 0, 1}, {0, 0, 1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}}, {1, 1, 1, 1},
                     "\nRow permutation: [4][3][2]\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Rbf, SingularSystemsLeaveTheWeightsAndPrintNothing) {
    RbfKit kit;
    // A fresh record of ones: no pivot in the second column. The matrix is left partly decomposed.
    Rbf *ones = kit.create(3);
    ones->weights[0] = 0.25;  // weights keep what they held
    EXPECT_EQ(kit.solveOutput(ones), "");
    EXPECT_EQ(Weights(ones), (std::vector<double>{0.25, 0.0, 0.0}));
    EXPECT_EQ(Entries(ones), (Matrix{{1, 1, 1}, {1, 0, 0}, {1, 1, 1}}));
    kit.destroy(ones);

    // A column of A that is all zero is a row of the system with nothing in it: the solve stops
    // before touching the matrix.
    Matrix a = {{2, 0, 1}, {0, 0, 0}, {1, 0, 4}};
    Rbf *zeroRow = kit.make(a);
    EXPECT_EQ(kit.solveOutput(zeroRow), "");
    EXPECT_EQ(Entries(zeroRow), a);
    EXPECT_EQ(Weights(zeroRow), std::vector<double>(3, 0.0));
    kit.destroy(zeroRow);
}

TEST(Rbf, InterpolateOutsideTheNodesGivesZero) {
    RbfKit kit;
    Rbf *rbf = kit.make({{1, 0.5}, {0.5, 1}});
    kit.solveOutput(rbf);
    EXPECT_EQ(kit.interpolate(rbf, 0, 1.0), rbf->weights[0]);
    EXPECT_EQ(kit.interpolate(rbf, -1, 1.0), 0.0);
    EXPECT_EQ(kit.interpolate(rbf, 2, 1.0), 0.0);
    kit.destroy(rbf);
}

// Sizes on both sides of the decomposition's panel width, so that the blocked updates, the deferred
// row swaps and the tail panel all take part.
TEST(Rbf, FactorsAndWeightsMatchThePlainDecompositionBitForBit) {
    RbfKit kit;
    for (size_t n : {1u, 2u, 5u, 47u, 48u, 49u, 63u, 64u, 65u, 129u, 200u}) {
        SCOPED_TRACE(n);
        // A weak diagonal so that rows are swapped often.
        Matrix a = RandomMatrix(n, 1000 + n, 0.1);
        Rbf *rbf = kit.make(a);
        kit.solveOutput(rbf);
        const Plain plain = PlainSolve(a);
        ASSERT_TRUE(plain.solved);
        EXPECT_TRUE(SameBits(a, Entries(rbf)));
        EXPECT_TRUE(SameBits(plain.x, Weights(rbf)));

        // Solving again without new entries works on the factors.
        kit.solveOutput(rbf);
        const Plain again = PlainSolve(a);
        EXPECT_TRUE(SameBits(again.solved ? again.x : plain.x, Weights(rbf)));
        EXPECT_TRUE(SameBits(a, Entries(rbf)));
        kit.destroy(rbf);
    }
}

// A system that turns out singular at column 70, inside a later panel: the later columns of that
// panel must be left as the column-by-column order leaves them, not with the panel's updates.
TEST(Rbf, SingularColumnInALaterPanelLeavesThePlainPartialState) {
    RbfKit kit;
    const size_t n = 100, singular = 70;
    Matrix a = RandomMatrix(n, 7, 2.0);
    // System rows >= 70 have zeros in the columns before 70, and column 70 is zero from row 70 down:
    // it stays exactly zero there, so no pivot is found.
    for (size_t r = singular; r < n; ++r) {
        for (size_t c = 0; c <= singular; ++c) a[c][r] = 0.0;
    }
    Rbf *rbf = kit.make(a);
    EXPECT_EQ(kit.solveOutput(rbf), "");
    EXPECT_FALSE(PlainSolve(a).solved);
    EXPECT_TRUE(SameBits(a, Entries(rbf)));
    EXPECT_EQ(Weights(rbf), std::vector<double>(n, 0.0));
    kit.destroy(rbf);
}

TEST(Rbf, WeightsAgreeWithEigenOnWellConditionedSystems) {
    RbfKit kit;
    for (uint64_t seed : {1u, 2u, 3u}) {
        const Matrix a = RandomMatrix(50, seed, 50.0);
        Eigen::MatrixXd system(50, 50);
        for (int r = 0; r < 50; ++r)
            for (int c = 0; c < 50; ++c) system(r, c) = a[static_cast<size_t>(c)][static_cast<size_t>(r)];
        const Eigen::VectorXd expected = system.partialPivLu().solve(Eigen::VectorXd::Ones(50));
        Rbf *rbf = kit.make(a);
        kit.solveOutput(rbf);
        const Eigen::Map<const Eigen::VectorXd> w(rbf->weights, 50);
        EXPECT_LE((w - expected).norm(), 1e-10 * expected.norm()) << seed;
        EXPECT_LE((system * w - Eigen::VectorXd::Ones(50)).norm(), 1e-10 * std::sqrt(50.0)) << seed;
        kit.destroy(rbf);
    }
}


// ---- every kernel of the linked copy against the plain decomposition ----

constexpr vantic::VectorWidth kKernels[] = {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2,
                                            vantic::VectorWidth::kAvx512};

// Solves a with the linked copy under one kernel; the matrix is left in a as the solve leaves it.
struct KernelSolve {
    bool solved = false;
    std::vector<double> x;
};

KernelSolve SolveWithKernel(vantic::VectorWidth kernel, Matrix &a) {
    const vantic::VectorWidth before = vantic::ActiveColumnWidth();
    EXPECT_TRUE(vantic::ForceColumnWidth(kernel));
    const int32_t n = static_cast<int32_t>(a.size());
    Rbf *rbf = vantic_CreateRbf(n);
    for (int32_t i = 0; i < n; ++i) {
        std::copy(a[static_cast<size_t>(i)].begin(), a[static_cast<size_t>(i)].end(), rbf->matrix->rows[i]);
        rbf->weights[i] = -7.0;  // a singular system must leave this
    }
    testing::internal::CaptureStdout();
    vantic_RbfSolve(rbf);
    KernelSolve out;
    out.solved = !testing::internal::GetCapturedStdout().empty();
    a = Entries(rbf);
    out.x = Weights(rbf);
    vantic_DeleteRbf(rbf);
    vantic::ForceColumnWidth(before);
    return out;
}

// The plain decomposition once, then every supported kernel on its own copy: factors, weights and the
// outcome must agree bit for bit; a singular system keeps its weights.
void ExpectEveryKernelMatchesPlain(const Matrix &a) {
    Matrix plainFactors = a;
    const Plain plain = PlainSolve(plainFactors);
    for (vantic::VectorWidth kernel : kKernels) {
        if (!vantic::Runs(kernel)) continue;
        SCOPED_TRACE(vantic::VectorWidthName(kernel));
        Matrix factors = a;
        const KernelSolve got = SolveWithKernel(kernel, factors);
        EXPECT_EQ(got.solved, plain.solved);
        EXPECT_TRUE(SameBits(plainFactors, factors));
        EXPECT_TRUE(SameBits(plain.solved ? plain.x : std::vector<double>(a.size(), -7.0), got.x));
    }
}

// Rows of the system from s down have zeros in its columns up to s, so column s finds no pivot.
Matrix SingularAt(size_t n, size_t s, uint64_t seed) {
    Matrix a = RandomMatrix(n, seed, 2.0);
    for (size_t r = s; r < n; ++r)
        for (size_t c = 0; c <= s; ++c) a[c][r] = 0.0;
    return a;
}

// The module's one choice of width: the widest this processor runs, within VANTIC_VECTOR_WIDTH.
TEST(RbfKernels, TheModulesWidthIsChosen) {
    EXPECT_EQ(vantic::ActiveColumnWidth(), vantic::WidestWidth());
    RecordProperty("kernel", vantic::VectorWidthName(vantic::ActiveColumnWidth()));
}

// Every size up to past two panels, then the panel, tile and row-block edges further on.
TEST(RbfKernels, EverySizeMatchesThePlainDecomposition) {
    std::vector<size_t> sizes;
    for (size_t n = 1; n <= 100; ++n) sizes.push_back(n);
    for (size_t n : {127u, 128u, 143u, 144u, 145u, 160u, 161u, 191u, 192u, 193u, 255u, 256u, 257u, 271u, 272u,
                     273u, 300u})
        sizes.push_back(n);
    for (size_t n : sizes) {
        SCOPED_TRACE(n);
        ExpectEveryKernelMatchesPlain(RandomMatrix(n, 3000 + n, 0.1));  // weak diagonal: many row swaps
    }
}

// Inputs where a reordered or fused sum would show: equal scaled pivots, exact cancellation to signed
// zeros, magnitudes near overflow and in the subnormal range, infinities and not-a-number.
TEST(RbfKernels, AdversarialEntriesMatchThePlainDecomposition) {
    const size_t n = 150;
    auto fill = [n](auto entry) {
        Matrix a(n, std::vector<double>(n));
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j) a[i][j] = entry(i, j);
        return a;
    };
    const Matrix base = RandomMatrix(n, 11, 0.0);
    struct Case {
        const char *name;
        Matrix a;
    };
    const Case cases[] = {
        {"smallIntegersWithTies", fill([](size_t i, size_t j) { return static_cast<double>((i * 7 + j * 3) % 5) - 2.0; })},
        {"signedZeros", fill([&](size_t i, size_t j) { return (i + j) % 3 == 0 ? -0.0 : base[i][j]; })},
        {"nearOverflow", fill([&](size_t i, size_t j) { return base[i][j] * 0x1p1000 * (j % 2 ? 0x1p20 : 1.0); })},
        {"subnormal", fill([&](size_t i, size_t j) { return base[i][j] * 0x1p-1060 * (i % 3 ? 1.0 : 0x1p40); })},
        {"mixedScales", fill([&](size_t i, size_t j) { return std::ldexp(base[i][j], static_cast<int>((i * 37 + j * 11) % 1200) - 600); })},
        {"infinityAndNaN", fill([&](size_t i, size_t j) -> double {
             if (i == 60 && j == 90) return HUGE_VAL;
             if (i == 120 && j == 100) return std::nan("");
             return base[i][j];
         })},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectEveryKernelMatchesPlain(c.a);
    }
}

// A column without a pivot at a panel's first and last column, inside one, and in the last panel:
// the later columns of that panel must be left as the column-by-column order leaves them.
TEST(RbfKernels, SingularColumnsMatchThePlainPartialState) {
    for (auto [n, s] : {std::pair<size_t, size_t>{150, 47}, {150, 48}, {150, 70}, {150, 143}, {100, 0}, {300, 200}}) {
        SCOPED_TRACE(testing::Message() << n << " singular at " << s);
        ExpectEveryKernelMatchesPlain(SingularAt(n, s, 5 + s));
    }
}

TEST(RbfKernels, HandSolvedSystemsMatchThePlainDecomposition) {
    for (const Matrix &a : {Matrix{{3, 2, 0}, {-5, 1, 0}, {2, 0, 1}}, Matrix{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
                            Matrix(3, std::vector<double>(3, 1.0))})
        ExpectEveryKernelMatchesPlain(a);
}

}  // namespace
