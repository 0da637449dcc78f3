#include "RatioTable.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <set>
#include <sstream>

namespace kvxbench {

namespace {

const char* const kHeader[] = {"Area", "Benchmark", "Ours", "Baseline", "Baseline figure", "Ratio"};
const int kColumns = 6;

std::string significant(double value, const char* unit) {
    char text[64];
    if (value >= 100)
        snprintf(text, sizeof text, "%.0f %s", value, unit);
    else if (value >= 10)
        snprintf(text, sizeof text, "%.1f %s", value, unit);
    else
        snprintf(text, sizeof text, "%.2f %s", value, unit);
    return text;
}

std::string markdownTable(const std::vector<std::vector<std::string>>& cells) {
    size_t width[kColumns] = {};
    for (const auto& row : cells)
        for (int c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());
    std::ostringstream out;
    auto line = [&](const std::vector<std::string>& row) {
        out << "|";
        for (int c = 0; c < kColumns; ++c) {
            bool right = c >= 2;  // figures align right
            std::string pad(width[c] - row[c].size(), ' ');
            out << " " << (right ? pad + row[c] : row[c] + pad) << " |";
        }
        out << "\n";
    };
    line(cells[0]);
    out << "|";
    for (int c = 0; c < kColumns; ++c) out << std::string(width[c] + 1, '-') << (c >= 2 ? ":|" : "-|");
    out << "\n";
    for (size_t r = 1; r < cells.size(); ++r) line(cells[r]);
    return out.str();
}

}  // namespace

std::string formatSeconds(double s) {
    if (s >= 1) return significant(s, "s");
    if (s >= 1e-3) return significant(s * 1e3, "ms");
    if (s >= 1e-6) return significant(s * 1e6, "us");
    return significant(s * 1e9, "ns");
}

std::string formatRate(double perSecond) {
    if (perSecond >= 1e6) return significant(perSecond / 1e6, "M/s");
    if (perSecond >= 1e3) return significant(perSecond / 1e3, "k/s");
    return significant(perSecond, "/s");
}

std::string formatDecibels(double db) {
    char text[32];
    snprintf(text, sizeof text, "%.1f dB", db);
    return text;
}

double RatioTable::medianOf(std::vector<double> sorted) {
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    if (n == 0) return 0;
    return n % 2 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
}

RatioTable::RatioTable(std::vector<Comparison> rows) : rows_(std::move(rows)) {}

bool RatioTable::ReportContext(const Context& context) {
    if (contextShown_) return true;
    contextShown_ = true;
    std::cerr << "Running " << context.executable_name << " on " << context.cpu_info.num_cpus
              << " CPUs; medians of repetitions follow at the end.\n";
    return true;
}

std::string RatioTable::key(const Run& run) {
    const benchmark::BenchmarkName& n = run.run_name;
    return n.args.empty() ? n.function_name : n.function_name + "/" + n.args;
}

void RatioTable::ReportRuns(const std::vector<Run>& runs) {
    // Medians are taken here from the single repetitions; aggregates are ignored.
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) continue;
        const std::string name = key(run);
        if (!figures_.count(name)) order_.push_back(name);
        Figure& f = figures_[name];
        if (run.error_occurred) {
            f.error = run.error_message;
            continue;
        }
        f.seconds.push_back(run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit));
        auto db = run.counters.find(kDecibelCounter);
        if (db != run.counters.end()) f.decibels.push_back(db->second.value);
    }
    // Aggregates arrive in a call of their own after the repetitions: report each benchmark once.
    if (runs.empty() || runs.front().run_type != Run::RT_Iteration) return;
    const std::string name = key(runs.front());
    const Figure& f = figures_[name];
    std::cerr << "  " << name << ": " << (f.seconds.empty() ? "skipped (" + f.error + ")" : formatSeconds(f.median()))
              << "\n";
}

const RatioTable::Figure* RatioTable::find(const std::string& name) const {
    auto it = figures_.find(name);
    return it == figures_.end() ? nullptr : &it->second;
}

std::string RatioTable::cell(const std::string& name, Shown shown) const {
    const Figure* f = find(name);
    if (!f) return "not run";
    if (f->seconds.empty()) return f->error.empty() ? "skipped" : "skipped: " + f->error;
    if (shown == Shown::Decibels) return f->decibels.empty() ? "no figure" : formatDecibels(medianOf(f->decibels));
    const double s = f->median();
    return shown == Shown::Rate && s > 0 ? formatRate(1 / s) : formatSeconds(s);
}

std::string RatioTable::ratio(const Comparison& row) const {
    const Figure* ours = find(row.ours);
    if (!ours || ours->seconds.empty()) return "-";
    double base = row.fixedSeconds;
    if (!row.baseline.empty()) {
        const Figure* b = find(row.baseline);
        if (!b || b->seconds.empty()) return "-";
        base = b->median();
    }
    if (base <= 0) return "-";
    if (row.shown == Shown::Decibels && ours->decibels.empty()) return "-";
    const double r = row.shown == Shown::Decibels ? base / medianOf(ours->decibels) : ours->median() / base;
    char text[32];
    if (r >= 100)
        snprintf(text, sizeof text, "%.0f", r);
    else if (r >= 10)
        snprintf(text, sizeof text, "%.1f", r);
    else if (r >= 1)
        snprintf(text, sizeof text, "%.2f", r);
    else
        snprintf(text, sizeof text, "%.3g", r);
    return text;
}

std::string RatioTable::table() const {
    std::vector<std::vector<std::string>> cells;
    cells.emplace_back(kHeader, kHeader + kColumns);
    std::set<std::string> shown;
    for (const Comparison& row : rows_) {
        if (!find(row.ours)) continue;  // filtered out of this run
        shown.insert(row.ours);
        std::string baseFigure;
        if (!row.baseline.empty()) {
            shown.insert(row.baseline);
            baseFigure = cell(row.baseline, row.shown);
        } else if (row.fixedSeconds > 0) {
            baseFigure =
                row.shown == Shown::Decibels ? formatDecibels(row.fixedSeconds) : formatSeconds(row.fixedSeconds);
        }
        cells.push_back({row.section, row.label, cell(row.ours, row.shown), row.baselineLabel, baseFigure, ratio(row)});
    }
    for (const std::string& name : order_)
        if (!shown.count(name)) cells.push_back({"other", name, cell(name, Shown::Time), "", "", "-"});
    return markdownTable(cells);
}

void RatioTable::print() const {
    std::cout << "\nRatio = our time / baseline time (below 1: faster than the baseline). "
                 "Every figure is the median of its repetitions.\n\n"
              << table() << std::flush;
}

}  // namespace kvxbench
