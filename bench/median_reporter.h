// The console reporter of every benchmark program that prints ratios: it
// keeps, per benchmark, the wall-clock time per iteration of each repetition
// (or the median aggregate when only aggregates are reported) and the
// counters, so that ratios come from medians and never from whichever
// repetition ran last. Run with --benchmark_repetitions=N to steady the
// figures on a busy machine.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class median_reporter_c : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& _runs) override
    {
        for (const Run& run : _runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            figures_c& f = figures[Key(run)];
            if (run.run_type == Run::RT_Iteration) {
                f.seconds.push_back(run.GetAdjustedRealTime());
                for (const auto& [name, counter] : run.counters)
                    f.counters[name].push_back(counter.value);
            } else if (run.aggregate_name == "median") {
                f.medianSeconds = run.GetAdjustedRealTime();
                for (const auto& [name, counter] : run.counters)
                    f.medianCounters[name] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(_runs);
    }

    // Median wall-clock time per iteration in the benchmark's time unit, or
    // a negative value when the benchmark did not run. _name is the name
    // without repetition or time suffixes ("BM_Convert/r5g6b5", "BM_Grow/512").
    double Median(const std::string& _name) const
    {
        const auto f = figures.find(_name);
        if (f == figures.end())
            return -1.0;
        if (f->second.medianSeconds >= 0.0)
            return f->second.medianSeconds;
        return MedianOf(f->second.seconds);
    }

    // Median of one counter across the repetitions, negative when absent.
    double MedianCounter(const std::string& _name, const std::string& _counter) const
    {
        const auto f = figures.find(_name);
        if (f == figures.end())
            return -1.0;
        const auto m = f->second.medianCounters.find(_counter);
        if (m != f->second.medianCounters.end())
            return m->second;
        const auto c = f->second.counters.find(_counter);
        return c == f->second.counters.end() ? -1.0 : MedianOf(c->second);
    }

    // How many times faster _ours ran than _theirs (above 1: ours is faster),
    // negative when either is missing.
    double Speed(const std::string& _ours, const std::string& _theirs) const
    {
        const double a = Median(_ours), b = Median(_theirs);
        return a > 0.0 && b > 0.0 ? b / a : -1.0;
    }

    // Benchmark names in the order they were first reported.
    std::vector<std::string> Names() const { return order; }

private:
    struct figures_c {
        std::vector<double> seconds;
        std::map<std::string, std::vector<double>> counters;
        double medianSeconds = -1.0;
        std::map<std::string, double> medianCounters;
    };

    std::string Key(const Run& _run)
    {
        std::string key = _run.run_name.function_name;
        if (!_run.run_name.args.empty())
            key += "/" + _run.run_name.args;
        if (!figures.count(key))
            order.push_back(key);
        return key;
    }

    static double MedianOf(std::vector<double> _values)
    {
        if (_values.empty())
            return -1.0;
        std::sort(_values.begin(), _values.end());
        const size_t n = _values.size();
        return n % 2 ? _values[n / 2] : 0.5 * (_values[n / 2 - 1] + _values[n / 2]);
    }

    std::map<std::string, figures_c> figures;
    std::vector<std::string> order;
};
