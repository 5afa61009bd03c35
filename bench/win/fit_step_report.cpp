// One Levenberg-Marquardt step of a hyperfine-field distribution fit, for the Windows
// build, which has no Google Benchmark: for 100 and 1000 points over 512 channels, on one
// thread and on all threads, it prints the median time of the whole call (one accepted
// step, then the covariance and the singular directions) and of its part up to the
// accepted step. Run it under Wine by hand; it is not a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/support/field_distribution.h"
#include "core/fit/parallel_blocks.h"

namespace {

using clock_type = std::chrono::steady_clock;

// Notes when the step was accepted.
class StepTime : public IFitStepCallback {
public:
    bool on_step(const DVector&, const DVector&, double, double, double, double, double, unsigned) override
    {
        accepted = clock_type::now();
        return true;
    }
    clock_type::time_point accepted;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double seconds(clock_type::time_point from, clock_type::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

int main()
{
    using namespace bench_support;
    const unsigned all = std::max(1u, std::thread::hardware_concurrency());
    std::printf("%7s %8s %7s %10s %10s\n", "points", "channels", "threads", "step ms", "call ms");
    for (unsigned points : {100u, 1000u}) {
        FieldStep step(points, 512);
        for (unsigned threads : {1u, all}) {
            set_parallel_block_threads(threads);
            std::vector<double> to_step, whole;
            double spent = 0.0;
            while (spent < 3.0 || whole.size() < 3) {
                StepTime time;
                const auto start = clock_type::now();
                step.run(&time);
                const auto end = clock_type::now();
                to_step.push_back(seconds(start, time.accepted));
                whole.push_back(seconds(start, end));
                spent += whole.back();
            }
            std::printf("%7u %8u %7u %10.1f %10.1f\n", points, 512u, threads, 1e3 * median(to_step), 1e3 * median(whole));
        }
    }
    set_parallel_block_threads(all);
    return 0;
}
