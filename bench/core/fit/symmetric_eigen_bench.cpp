// The full symmetric eigen-decomposition (all eigenvectors) of the normal matrix of a
// smoothed distribution, scaled to unit diagonal: Eigen's solver (Householder reduction,
// implicit QR) against the divide and conquer one, and the stages of each: the reduction
// (Eigen's, and in panels), Eigen's QR on the tridiagonal matrix, divide and conquer on
// it, and the back-transform.
#include <benchmark/benchmark.h>

#include <Eigen/Eigenvalues>

#include "core/fit/symmetric_eigen.h"
#include "core/fit/tridiagonal_eigen.h"
#include "core/fit/tridiagonal_reduction.h"
#include "tests/support/bump_normal_matrix.h"

namespace {

Eigen::MatrixXd matrix(const benchmark::State& state)
{
    return test_support::bump_normal_matrix(512, state.range(0), 0.02, 0.01);
}

void eigen_solver(benchmark::State& state)
{
    const Eigen::MatrixXd a = matrix(state);
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(a.rows());
    for (auto _ : state) {
        solver.compute(a);
        benchmark::DoNotOptimize(solver.eigenvectors().data());
    }
}

void divide_and_conquer_solver(benchmark::State& state)
{
    const Eigen::MatrixXd a = matrix(state);
    SymmetricEigen solver;
    for (auto _ : state) {
        solver.compute(a);
        benchmark::DoNotOptimize(solver.eigenvectors().data());
    }
}

void eigen_reduction(benchmark::State& state)
{
    const Eigen::MatrixXd a = matrix(state);
    Eigen::Tridiagonalization<Eigen::MatrixXd> t(a.rows());
    for (auto _ : state) {
        t.compute(a);
        benchmark::DoNotOptimize(t.packedMatrix().data());
    }
}

void blocked_reduction(benchmark::State& state)
{
    const Eigen::MatrixXd a = matrix(state);
    TridiagonalReduction t;
    for (auto _ : state) {
        t.compute(a);
        benchmark::DoNotOptimize(t.diagonal().data());
    }
}

// Eigen's implicit QR with the rotations accumulated into an n × n matrix, as its
// solver does into Q.
void tridiagonal_qr(benchmark::State& state)
{
    const Eigen::Tridiagonalization<Eigen::MatrixXd> t(matrix(state));
    const Eigen::VectorXd d = t.diagonal(), e = t.subDiagonal();
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(d.size());
    for (auto _ : state) {
        solver.computeFromTridiagonal(d, e);
        benchmark::DoNotOptimize(solver.eigenvectors().data());
    }
}

void tridiagonal_divide_and_conquer(benchmark::State& state)
{
    const Eigen::Tridiagonalization<Eigen::MatrixXd> t(matrix(state));
    const Eigen::VectorXd d = t.diagonal(), e = t.subDiagonal();
    TridiagonalEigen solver;
    Eigen::VectorXd values;
    Eigen::MatrixXd z;
    for (auto _ : state) {
        values = d;
        solver.compute(values, e, z);
        benchmark::DoNotOptimize(z.data());
    }
}

void back_transform(benchmark::State& state)
{
    const Eigen::Tridiagonalization<Eigen::MatrixXd> t(matrix(state));
    const Eigen::MatrixXd z = Eigen::MatrixXd::Identity(t.packedMatrix().rows(), t.packedMatrix().rows());
    Eigen::MatrixXd v;
    for (auto _ : state) {
        v = z;
        v.applyOnTheLeft(t.matrixQ());
        benchmark::DoNotOptimize(v.data());
    }
}

BENCHMARK(eigen_solver)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(divide_and_conquer_solver)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(eigen_reduction)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(blocked_reduction)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(tridiagonal_qr)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(tridiagonal_divide_and_conquer)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(back_transform)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
