#include "kernel/optimise.h"

#include "core/listing.h"
#include "core/numbertext.h"
#include "core/textfile.h"
#include "kernel/result_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <sstream>

namespace lumetrix::kernel {
namespace {

using P = OptimisedParameter;
using S = OptimiseSettings;

std::string num(double value) {
    std::string text;
    appendGeneral(text, value, 6);
    return text;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::optional<double> numberOf(const std::string& text) {
    const auto v = parseFileNumber(text, '.');
    return v ? std::optional<double>(static_cast<double>(*v)) : std::nullopt;
}

// "TARGETS... KIND A B" of a parameter line.
std::optional<P> parameterOf(P::Kind kind, const std::vector<std::string>& w) {
    if (w.size() < 4)
        return std::nullopt;
    P p;
    p.kind = kind;
    const std::string& interval = w[w.size() - 3];
    const auto a = numberOf(w[w.size() - 2]), b = numberOf(w[w.size() - 1]);
    if (!a || !b)
        return std::nullopt;
    p.from = *a;
    p.to = *b;
    for (std::size_t i = 0; i + 3 < w.size(); ++i) {
        const auto t = numberOf(w[i]);
        if (!t || *t != std::floor(*t) || *t < 0)
            return std::nullopt;
        p.targets.push_back(static_cast<int>(*t));
    }
    if (kind != P::Kind::Roughness && p.targets.size() != 1)
        return std::nullopt;
    const std::pair<const char*, P::Interval> names[] = {{"abs", P::Interval::Absolute},
                                                         {"relnm", P::Interval::RelativeNm},
                                                         {"relpct", P::Interval::RelativePercent},
                                                         {"gappct", P::Interval::GapPercent},
                                                         {"gapev", P::Interval::GapEv}};
    for (const auto& [name, value] : names)
        if (interval == name)
            p.interval = value;
    const bool known = std::any_of(std::begin(names), std::end(names),
                                   [&](const auto& n) { return interval == n.first; });
    const bool fits = (kind == P::Kind::Thickness || kind == P::Kind::Roughness)
                          ? p.interval <= P::Interval::RelativePercent
                      : kind == P::Kind::N ? p.interval == P::Interval::RelativePercent
                                           : p.interval >= P::Interval::RelativePercent;
    if (!known || !fits || !(p.from < p.to))
        return std::nullopt;
    return p;
}

constexpr const char* kKindNames[] = {"thickness", "roughness", "n", "k"};
constexpr const char* kIntervalNames[] = {"abs", "relnm", "relpct", "gappct", "gapev"};
constexpr const char* kMethodNames[] = {"simplex", "anneal-high", "anneal-normal", "anneal-low",
                                        "steps"};
constexpr const char* kCriterionNames[] = {"max", "min", "mindiff"};
constexpr double kElectronVoltNm = 1239.84198;
// About 14 hours of the example project on one thread; four parameters of 10 steps still run.
constexpr int kMostSteppedRuns = 20000;
// Thicker than a wafer by far: a thickness or roughness beyond this is a typing error.
constexpr double kMostNm = 1e7;

} // namespace

namespace {

using Given = std::map<std::pair<P::Kind, int>, int>; // each parameter's target, on its line

// A parameter's line ("thickness = 4 abs 100 300") into the settings; the reason when it
// cannot be.
std::optional<std::string> takeParameter(S& s, const std::string& key,
                                         const std::vector<std::string>& w, int line,
                                         Given& given) {
    const auto at = std::find(std::begin(kKindNames), std::end(kKindNames), key);
    if (at == std::end(kKindNames))
        return std::string("unknown setting \"" + key + "\"");
    const auto kind = static_cast<P::Kind>(at - std::begin(kKindNames));
    const auto p = parameterOf(kind, w);
    if (!p)
        return std::string("the " + key + " setting reads \"" + key +
                           (kind == P::Kind::Roughness ? " = INTERFACES" : " = LAYER") +
                           " KIND A B\" with A below B and a kind that suits it");
    // A factor on an nk curve below 0 has no meaning (n must even stay above 0).
    if (p->interval == P::Interval::RelativePercent &&
        ((kind == P::Kind::N && p->from <= -100) || (kind == P::Kind::K && p->from < -100)))
        return std::string("the " + key + " factor must stay " +
                           (kind == P::Kind::N ? "above 0" : "at least 0") + ": relpct starts " +
                           (kind == P::Kind::N ? "above" : "at") + " -100");
    for (const int t : p->targets)
        if (const auto [at, fresh] = given.emplace(std::pair{kind, t}, line); !fresh)
            return std::string("the " + key + " of " +
                               (kind == P::Kind::Roughness ? "interface " : "layer ") +
                               std::to_string(t) + " is given twice (also on line " +
                               std::to_string(at->second) + ")");
    s.parameters.push_back(*p);
    return std::nullopt;
}

// A "key = value" line into the settings; the reason when it cannot be.
std::optional<std::string> takeSetting(S& s, const std::string& key,
                                       const std::vector<std::string>& w, int line, Given& given) {
    if (key == "criterion") {
        const auto at = std::find(std::begin(kCriterionNames), std::end(kCriterionNames), w[0]);
        if (at == std::end(kCriterionNames))
            return std::string("the criterion is max, min or mindiff");
        s.criterion = static_cast<S::Criterion>(at - std::begin(kCriterionNames));
    } else if (key == "layers") {
        s.layers.clear();
        for (const std::string& word : w) {
            const auto v = numberOf(word);
            if (!v || *v < 0 || *v != std::floor(*v))
                return std::string("\"" + word + "\" is not a layer (0 = R)");
            s.layers.push_back(static_cast<int>(*v));
        }
    } else if (key == "method") {
        const auto at = std::find(std::begin(kMethodNames), std::end(kMethodNames), w[0]);
        if (at == std::end(kMethodNames))
            return std::string("the method is simplex, anneal-high, anneal-normal, anneal-low or "
                               "steps N");
        s.method = static_cast<S::Method>(at - std::begin(kMethodNames));
        if (s.method == S::Method::Steps) {
            const auto n = w.size() == 2 ? numberOf(w[1]) : std::nullopt;
            if (!n || *n < 1 || *n > 100000 || *n != std::floor(*n))
                return std::string("steps needs a whole number of steps from 1 to 100000");
            s.steps = static_cast<int>(*n);
        }
    } else if (key == "stop") {
        const auto v = numberOf(w[0]);
        if (!v || !(*v > 0 && *v <= 100))
            return std::string("the stop rule is a percentage above 0, at most 100");
        s.stop = *v;
    } else if (key == "output") {
        const auto v = numberOf(w[0]);
        if (!v || (*v != 0 && *v != 1 && *v != 2))
            return std::string("the output is 0, 1 or 2");
        s.output = static_cast<int>(*v);
    } else {
        return takeParameter(s, key, w, line, given);
    }
    return std::nullopt;
}

// What the settings as a whole must hold.
std::optional<ReadError> settingsProblem(const S& s, const std::string& path, int methodLine) {
    if (s.method == S::Method::Steps) {
        // Constant steps try every point of the grid: the runs multiply over the parameters.
        const double runs = std::pow(s.steps + 1.0, static_cast<double>(s.parameters.size()));
        if (runs > kMostSteppedRuns)
            return ReadError{path, methodLine,
                             "constant steps of " + std::to_string(s.steps) + " over " +
                                 std::to_string(s.parameters.size()) + " parameters make " +
                                 num(runs) + " runs; at most " + std::to_string(kMostSteppedRuns) +
                                 " are allowed"};
    }
    if (s.layers.empty())
        return ReadError{path, 0, "no layers are given for the criterion"};
    if (s.criterion == S::Criterion::MinDiff && s.layers.size() != 2)
        return ReadError{path, 0, "mindiff compares exactly two layers"};
    if (s.parameters.empty())
        return ReadError{path, 0, "no parameter to optimise is given"};
    return std::nullopt;
}

} // namespace

Result<OptimiseSettings> readOptimiseSettings(const std::string& path) {
    const auto bytes = readSmallFile(path, 1 << 20, "optimisation settings file");
    if (!bytes)
        return bytes.error();
    OptimiseSettings s;
    int line = 0, methodLine = 0;
    Given given;
    for (std::string text : splitLines(bytes.value())) {
        ++line;
        text = text.substr(0, text.find('#'));
        if (words(text).empty())
            continue;
        const auto eq = text.find('=');
        const std::vector<std::string> left =
            eq == std::string::npos ? std::vector<std::string>{} : words(text.substr(0, eq));
        const std::string key = left.size() == 1 ? left[0] : std::string();
        const std::vector<std::string> w =
            eq == std::string::npos ? std::vector<std::string>{} : words(text.substr(eq + 1));
        if (key.empty() || w.empty())
            return ReadError{path, line, "a setting reads \"key = value\""};
        if (const auto reason = takeSetting(s, key, w, line, given))
            return ReadError{path, line, *reason};
        if (key == "method")
            methodLine = line;
    }
    if (auto problem = settingsProblem(s, path, methodLine))
        return *problem;
    return s;
}

std::vector<std::string> optimiseSettingsLines(const OptimiseSettings& s) {
    std::string layers;
    for (int l : s.layers)
        layers += (layers.empty() ? "" : " ") + std::to_string(l);
    std::vector<std::string> lines{std::string("criterion = ") +
                                       kCriterionNames[static_cast<int>(s.criterion)],
                                   "layers = " + layers};
    for (const P& p : s.parameters) {
        std::string targets;
        for (int t : p.targets)
            targets += std::to_string(t) + " ";
        lines.push_back(std::string(kKindNames[static_cast<int>(p.kind)]) + " = " + targets +
                        kIntervalNames[static_cast<int>(p.interval)] + " " + num(p.from) + " " +
                        num(p.to));
    }
    std::string method = kMethodNames[static_cast<int>(s.method)];
    if (s.method == S::Method::Steps)
        method += " " + std::to_string(s.steps);
    lines.push_back("method = " + method);
    lines.push_back("stop = " + num(s.stop));
    lines.push_back("output = " + std::to_string(s.output));
    return lines;
}

namespace {

// The search: unit coordinates u in [0, 1] per parameter, mapped onto the intervals.
class Search {
public:
    Search(const Simulation& base, const OptimiseSettings& settings, int threads)
        : m_base(base), m_settings(settings), m_threads(threads) {}

    std::optional<ReadError> prepare();
    std::size_t size() const { return m_low.size(); }
    // The criterion to minimise, and the photocurrent it reports, at u.
    double cost(const std::vector<double>& u, double* jsc = nullptr);
    std::vector<double> values(const std::vector<double>& u) const;
    std::vector<double> start() const { return m_start; }
    Simulation applied(const std::vector<double>& u) const;
    // Why the search cannot go on: an evaluation that could not be computed, or whose result
    // files could not be written.
    const std::optional<std::string>& fault() const { return m_fault; }
    // Computes the cost at u and its photocurrent, known or not, and writes its files.
    double evaluate(const std::vector<double>& u, double& jsc);

private:
    struct Evaluation {
        double cost = 0;
        double jsc = 0;
    };

    const Simulation& m_base;
    const OptimiseSettings& m_settings;
    int m_threads;
    std::map<std::vector<double>, Evaluation> m_seen; // by the parameters' values
    std::vector<double> m_low, m_high, m_start;
    std::optional<std::string> m_fault;
};

std::optional<ReadError> Search::prepare() {
    const int rows = static_cast<int>(m_base.rows.size());
    for (int l : m_settings.layers)
        if (l != 0 && (l < 2 || l > rows - 1))
            return ReadError{m_base.inputFile, 0,
                             "layer " + std::to_string(l) +
                                 " is not a layer of the structure (2 to " +
                                 std::to_string(rows - 1) + "; 0 = R)"};
    for (const P& p : m_settings.parameters) {
        for (int t : p.targets) {
            const bool ok =
                p.kind == P::Kind::Roughness ? t >= 0 && t <= rows - 2 : t >= 2 && t <= rows - 1;
            if (!ok)
                return ReadError{m_base.inputFile, 0,
                                 std::string("the ") + kKindNames[static_cast<int>(p.kind)] +
                                     " target " + std::to_string(t) + " is not in the structure"};
        }
        if (p.kind == P::Kind::Roughness && !m_base.anyRough)
            return ReadError{m_base.inputFile, 0,
                             "roughness can be optimised only in a project with a rough interface"};
        double base = 1; // n and k factors start at 1, the band-gap shifts at 0
        if (p.kind == P::Kind::Thickness)
            base = m_base.rows[static_cast<std::size_t>(p.targets[0]) - 1].thickness;
        else if (p.kind == P::Kind::Roughness)
            base = m_base.rows[static_cast<std::size_t>(p.targets[0]) + 1].roughness;
        else if (p.interval >= P::Interval::GapPercent)
            base = 0;
        double lo = p.from, hi = p.to;
        if (p.interval == P::Interval::RelativeNm)
            lo += base, hi += base;
        else if (p.interval == P::Interval::RelativePercent)
            lo = base * (1 + p.from / 100), hi = base * (1 + p.to / 100);
        if ((p.kind == P::Kind::Thickness || p.kind == P::Kind::Roughness) && lo < 0)
            return ReadError{m_base.inputFile, 0, "the interval reaches below 0 nm"};
        if ((p.kind == P::Kind::Thickness || p.kind == P::Kind::Roughness) && hi > kMostNm)
            return ReadError{m_base.inputFile, 0, "the interval reaches beyond 1e7 nm (1 cm)"};
        m_low.push_back(lo);
        m_high.push_back(hi);
        m_start.push_back(base >= lo && base <= hi && hi > lo ? (base - lo) / (hi - lo) : 0.5);
    }
    return std::nullopt;
}

std::vector<double> Search::values(const std::vector<double>& u) const {
    std::vector<double> v;
    for (std::size_t i = 0; i < u.size(); ++i)
        v.push_back(m_low[i] + std::clamp(u[i], 0.0, 1.0) * (m_high[i] - m_low[i]));
    return v;
}

Simulation Search::applied(const std::vector<double>& u) const {
    Simulation s = m_base;
    const std::vector<double> v = values(u);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const P& p = m_settings.parameters[i];
        for (int t : p.targets) {
            if (p.kind == P::Kind::Thickness) {
                s.rows[static_cast<std::size_t>(t) - 1].thickness = v[i];
            } else if (p.kind == P::Kind::Roughness) {
                s.rows[static_cast<std::size_t>(t) + 1].roughness = v[i];
            } else {
                DataTable& nk = s.rows[static_cast<std::size_t>(t) - 1].nk;
                const DataTable& original = m_base.rows[static_cast<std::size_t>(t) - 1].nk;
                auto& column = nk.columns[p.kind == P::Kind::N ? 1 : 2];
                for (std::size_t r = 0; r < column.size(); ++r) {
                    const double lambda = nk.columns[0][r];
                    if (p.interval == P::Interval::RelativePercent) {
                        column[r] *= v[i];
                    } else {
                        // The absorption edge moves: k is read where the shifted curve was.
                        const double from =
                            p.interval == P::Interval::GapPercent
                                ? lambda * (1 + v[i] / 100)
                                : kElectronVoltNm / (kElectronVoltNm / lambda - v[i]);
                        column[r] = original.at(2, from).value_or(from < original.first()
                                                                      ? original.columns[2].front()
                                                                      : original.columns[2].back());
                    }
                }
            }
        }
    }
    return s;
}

// The result files of one evaluation, as the output setting asks: 1 the main ones (".rta"
// and "_Sum.jsc"), 2 all of them; each evaluation overwrites the last.
// Returns why a file could not be written.
std::optional<std::string> writeIntermediate(const Simulation& s, const RunResults& r, int output) {
    ResultWriter writer(s);
    if (output >= 2) {
        if (auto fault = writer.begin())
            return fault;
        for (std::size_t i = 0; i < r.optics.size(); ++i)
            writer.row(static_cast<int>(i), r.optics[i]);
        return writer.finish(r);
    }
    std::vector<std::string> rta = writer.rtaHeader();
    for (std::size_t i = 0; i < r.optics.size(); ++i)
        rta.push_back(writer.rtaRow(static_cast<int>(i), r.optics[i], ResultWriter::Light::All));
    rta.emplace_back();
    for (const auto& [suffix, lines] :
         {std::pair{".rta", rta}, std::pair{"_Sum.jsc", writer.totalsLines(r)}})
        if (const auto reason = writeTextFile(writer.path(suffix), lines))
            return cannotCreateFileMessage(writer.path(suffix), *reason);
    return std::nullopt;
}

double Search::cost(const std::vector<double>& u, double* jsc) {
    // A search meets a point again (the simplex at an interval's end, a grid's repeated
    // corner): its cost is known, and it is not computed, nor are its files written, again.
    const std::vector<double> at = values(u);
    if (const auto seen = m_seen.find(at); seen != m_seen.end()) {
        if (jsc)
            *jsc = seen->second.jsc;
        return seen->second.cost;
    }
    Evaluation& e = m_seen[at];
    e.cost = evaluate(u, e.jsc);
    if (jsc)
        *jsc = e.jsc;
    return e.cost;
}

double Search::evaluate(const std::vector<double>& u, double& jsc) {
    const Simulation s = applied(u);
    const RunResults r = runSimulation(s, m_threads, {});
    if (r.failure && !m_fault)
        m_fault = r.failure;
    if (r.failure) {
        jsc = 0;
        return std::numeric_limits<double>::infinity();
    }
    if (m_settings.output >= 1 && !m_fault)
        m_fault = writeIntermediate(s, r, m_settings.output);
    std::vector<double> j;
    for (int l : m_settings.layers)
        j.push_back(l == 0 ? r.jphR : r.jph[static_cast<std::size_t>(l) - 2]);
    double sum = 0;
    for (double x : j)
        sum += x;
    switch (m_settings.criterion) {
    case S::Criterion::Max:
        jsc = sum;
        return -sum;
    case S::Criterion::Min:
        jsc = sum;
        return sum;
    case S::Criterion::MinDiff:
        break;
    }
    jsc = std::min(j[0], j[1]);
    return std::abs(j[0] - j[1]);
}

// The state of a search that its method drives: the evaluations, logged and compared with the
// best so far, and the iterations, reported.
struct SearchRun {
    Search& search;
    const OptimiseSettings& settings;
    const std::function<void(const std::string&)>& progress;
    const std::function<bool()>& stop;
    std::ofstream& log;
    std::size_t m; // the number of parameters
    OptimiseResult out;
    std::vector<double> best;
    double bestCost = 0;
    std::vector<double> reported; // the best values last shown

    // The cost at u; the log takes the point, and the best follows it.
    double evaluate(const std::vector<double>& u) {
        double jsc = 0;
        const double c = search.cost(u, &jsc);
        if (log) {
            for (double v : search.values(u))
                log << num(v) << '\t';
            log << num(jsc) << '\n';
        }
        if (c < bestCost) {
            bestCost = c;
            best = u;
            out.jsc = jsc;
        }
        return c;
    }
    // "best: thickness=X ... jsc=X iterations=N" for the best values so far.
    std::string bestLine() const {
        std::string line = "best:";
        const std::vector<double> values = search.values(best);
        for (std::size_t i = 0; i < m; ++i) {
            static constexpr const char* labels[] = {"thickness", "roughness", "n_factor",
                                                     "k_factor"};
            line += std::string(" ") + labels[static_cast<int>(settings.parameters[i].kind)] + "=" +
                    num(values[i]);
        }
        return line + " jsc=" + num(out.jsc) + " iterations=" + std::to_string(out.iterations);
    }
    // An iteration has ended: it is shown, with the best values as they improve. True when the
    // search must end: asked to stop, a run that cannot be computed, or files the user asked
    // for that cannot be written.
    bool report() {
        ++out.iterations;
        if (progress) {
            progress("iteration " + std::to_string(out.iterations) + " best " + num(out.jsc));
            if (best != reported)
                progress(bestLine());
            reported = best;
        }
        return (stop && stop()) || search.fault();
    }
};

// Every point of a grid of equal steps over the intervals.
void gridSearch(SearchRun& r) {
    const std::size_t m = r.m;
    if (r.progress)
        r.progress("Constant steps: " +
                   num(std::pow(r.settings.steps + 1.0, static_cast<double>(m))) + " runs");
    std::vector<int> index(m, 0);
    for (bool more = true; more;) {
        std::vector<double> u(m);
        for (std::size_t i = 0; i < m; ++i)
            u[i] = static_cast<double>(index[i]) / r.settings.steps;
        r.evaluate(u);
        if (r.report())
            break;
        more = false;
        for (std::size_t i = 0; i < m && !more; ++i) {
            if (++index[i] <= r.settings.steps)
                more = true;
            else
                index[i] = 0;
        }
    }
}

// Nelder-Mead within the unit box; it stops when its costs agree to the stop rule and it has
// shrunk to a thousandth of the intervals.
void simplexSearch(SearchRun& r, double tolerance) {
    const std::size_t m = r.m;
    std::vector<std::vector<double>> p{r.best};
    for (std::size_t i = 0; i < m; ++i) {
        std::vector<double> v = r.best;
        v[i] += v[i] > 0.75 ? -0.25 : 0.25;
        p.push_back(v);
    }
    std::vector<double> f;
    for (const auto& v : p)
        f.push_back(r.evaluate(v));
    const auto clampBox = [](std::vector<double> v) {
        for (double& x : v)
            x = std::clamp(x, 0.0, 1.0);
        return v;
    };
    for (int it = 0; it < 1000; ++it) {
        std::vector<std::size_t> order(p.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](auto a, auto b) { return f[a] < f[b]; });
        const std::size_t lo = order.front(), hi = order.back(), next = order[order.size() - 2];
        double size = 0;
        for (const auto& v : p)
            for (std::size_t i = 0; i < m; ++i)
                size = std::max(size, std::abs(v[i] - p[lo][i]));
        if (std::abs(f[hi] - f[lo]) <= tolerance * std::max(std::abs(f[lo]), 1e-12) && size < 1e-3)
            break;
        if (r.report())
            break;
        std::vector<double> centre(m, 0.0);
        for (std::size_t k = 0; k < p.size(); ++k)
            if (k != hi)
                for (std::size_t i = 0; i < m; ++i)
                    centre[i] += p[k][i] / static_cast<double>(m);
        const auto along = [&](double t) {
            std::vector<double> v(m);
            for (std::size_t i = 0; i < m; ++i)
                v[i] = centre[i] + t * (p[hi][i] - centre[i]);
            return clampBox(v);
        };
        const auto reflected = along(-1);
        const double fr = r.evaluate(reflected);
        if (fr < f[lo]) {
            const auto expanded = along(-2);
            const double fe = r.evaluate(expanded);
            p[hi] = fe < fr ? expanded : reflected;
            f[hi] = std::min(fe, fr);
        } else if (fr < f[next]) {
            p[hi] = reflected;
            f[hi] = fr;
        } else {
            const auto contracted = along(0.5);
            const double fc = r.evaluate(contracted);
            if (fc < f[hi]) {
                p[hi] = contracted;
                f[hi] = fc;
            } else {
                for (std::size_t k = 0; k < p.size(); ++k)
                    if (k != lo) {
                        for (std::size_t i = 0; i < m; ++i)
                            p[k][i] = p[lo][i] + 0.5 * (p[k][i] - p[lo][i]);
                        f[k] = r.evaluate(p[k]);
                    }
            }
        }
    }
}

// Simulated annealing: a worse step of 1 % of the cost is first taken with the probability of
// the method (0.8, 0.5, 0.2); the temperature falls by 5 % each step.
void annealingSearch(SearchRun& r, double tolerance) {
    const double accept = r.settings.method == S::Method::AnnealHigh     ? 0.8
                          : r.settings.method == S::Method::AnnealNormal ? 0.5
                                                                         : 0.2;
    const double t0 = 0.01 * std::max(std::abs(r.bestCost), 1e-12) / -std::log(accept);
    std::mt19937 random(12345); // the same search for the same project
    std::normal_distribution<double> step(0, 1);
    std::uniform_real_distribution<double> chance(0, 1);
    std::vector<double> here = r.best;
    double hereCost = r.bestCost, lastBest = r.bestCost;
    int still = 0;
    for (double t = t0; t > 1e-4 * t0; t *= 0.95) {
        std::vector<double> there = here;
        const double width = 0.2 * std::sqrt(t / t0) + 0.002;
        for (double& x : there)
            x = std::clamp(x + width * step(random), 0.0, 1.0);
        const double c = r.evaluate(there);
        if (c < hereCost || chance(random) < std::exp((hereCost - c) / t)) {
            here = there;
            hereCost = c;
        }
        if (r.report())
            break;
        still = lastBest - r.bestCost > tolerance * std::abs(lastBest) ? 0 : still + 1;
        lastBest = std::min(lastBest, r.bestCost);
        if (still >= 40)
            break;
    }
}

} // namespace

Result<OptimiseResult> optimise(const Simulation& simulation, const OptimiseSettings& settings,
                                int threads,
                                const std::function<void(const std::string&)>& progress,
                                const std::function<bool()>& stop) {
    Search search(simulation, settings, threads);
    if (const auto fault = search.prepare())
        return *fault;
    std::ofstream log;
    if (settings.output >= 1) {
        log.open(simulation.outputBase + "_opt.log");
        if (!log)
            return ReadError{simulation.outputBase + "_opt.log", 0,
                             "the optimisation log cannot be written"};
    }
    SearchRun r{search, settings, progress, stop, log, search.size(), {}, search.start(), 0, {}};
    r.bestCost = search.cost(r.best, &r.out.jsc);
    const double tolerance = settings.stop / 100;
    if (settings.method == S::Method::Steps)
        gridSearch(r);
    else if (settings.method == S::Method::Simplex)
        simplexSearch(r, tolerance);
    else
        annealingSearch(r, tolerance);
    OptimiseResult out = r.out;
    out.values = search.values(r.best);
    out.bestLine = r.bestLine();
    if (settings.output >= 1 && !search.fault()) { // the files end with the best run's
        double jsc = 0;
        search.evaluate(r.best, jsc);
    }
    if (const auto& fault = search.fault())
        return ReadError{simulation.outputBase, 0, "the optimisation stopped: " + *fault};
    return out;
}

} // namespace lumetrix::kernel
