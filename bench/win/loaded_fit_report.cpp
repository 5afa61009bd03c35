// The loaded-machine fit benchmark for the Windows build, which has no Google Benchmark:
// for each problem, point count and number of busy processes it fits alternately on one
// thread and on all threads for about two seconds and prints the medians and their
// ratio (threads over one thread). Run it under Wine by hand; it is not a test.
#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/support/busy_processes.h"
#include "bench/support/loaded_fit.h"

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace bench_support;
    busy_child_main(argc, argv);
    const unsigned all = std::max(1u, std::thread::hardware_concurrency());
    std::printf("%-7s %7s %5s %14s %14s %7s\n", "model", "points", "busy", "one thread ms", "threads ms", "ratio");
    for (int model : {0, 1}) {
        for (std::size_t points : {1024u, 4096u}) {
            const Problem p = model == 0 ? sextet_problem(points) : heavy_problem(points);
            for (int busy : {0, int(std::max(1u, all / 2)), int(std::max(1u, all - 1))}) {
                const BusyProcesses load(busy);
                std::vector<double> one, many;
                FitStopCode code = FitStopSmallGradient;
                double spent = 0.0;
                while (spent < 2.0 || one.size() < 3) {
                    one.push_back(fit_seconds(p, 1, code));
                    many.push_back(fit_seconds(p, all, code));
                    spent += one.back() + many.back();
                }
                const double a = median(one), b = median(many);
                std::printf("%-7s %7zu %5d %14.3f %14.3f %7.3f\n", model == 0 ? "sextet" : "heavy", points, busy,
                            1e3 * a, 1e3 * b, b / a);
            }
        }
    }
    set_parallel_block_threads(all);
}
