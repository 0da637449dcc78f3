#ifndef KVX_BENCH_RATIOTABLE_H
#define KVX_BENCH_RATIOTABLE_H

// A benchmark reporter that prints one table at the end: every measured
// figure as the median over its repetitions, next to its baseline from the
// same run and the ratio of the two times. Progress goes to stderr. One
// table may collect several passes of RunSpecifiedBenchmarks.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kvxbench {

// Per operation, operations per second, or a quality in decibels that the
// benchmark reports in its counter kDecibelCounter (the ratio is then the
// fixed goal over the figure: below 1 when the quality passes the goal).
enum class Shown { Time, Rate, Decibels };
const char* const kDecibelCounter = "dB";

// One row: `ours` against `baseline` (benchmark names without the
// repetition/time-type decorations), or against a fixed number of seconds
// when baseline is empty.
struct Comparison {
    std::string section;
    std::string label;
    std::string ours;
    std::string baseline;
    std::string baselineLabel;
    double fixedSeconds = 0;  // decibels for Shown::Decibels
    Shown shown = Shown::Time;
};

class RatioTable : public benchmark::BenchmarkReporter {
public:
    explicit RatioTable(std::vector<Comparison> rows);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    // The table goes out once, by print(), after every pass of benchmarks.
    void Finalize() override {}
    void print() const;

    // Benchmarks that ran but appear in no row are appended as rows of their own.
    std::string table() const;

private:
    struct Figure {
        std::vector<double> seconds;   // per iteration, one value per repetition
        std::vector<double> decibels;  // kDecibelCounter, one value per repetition
        std::string error;
        double median() const { return medianOf(seconds); }
    };

    static double medianOf(std::vector<double> values);
    static std::string key(const Run& run);
    std::string cell(const std::string& name, Shown shown) const;
    std::string ratio(const Comparison& row) const;
    const Figure* find(const std::string& name) const;

    std::vector<Comparison> rows_;
    std::map<std::string, Figure> figures_;
    std::vector<std::string> order_;
    bool contextShown_ = false;
};

// Seconds, milliseconds or microseconds with three significant digits.
std::string formatSeconds(double seconds);
// Operations per second with a k/M suffix.
std::string formatRate(double perSecond);
// One decimal and "dB".
std::string formatDecibels(double db);

}  // namespace kvxbench

#endif
