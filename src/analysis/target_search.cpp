// The genetic algorithm of target planning: one run from the initial population to the
// stopping rule, over genes stored contiguously (individual i holds genes [35 i, 35 i + 35)).
#include "analysis/target_search.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zandor::analysis::target_search {

namespace {

constexpr double kCertainAttemptLimit = 100;  // attempts of a mutation beyond which Q < 2^-53
constexpr double kStartingBestError = 1e9;

std::uint64_t splitMix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

// The rejection loop of the initial population draws k f u, u uniform in [0, 1), until the gene
// lies within [f / k, min(limit, k f)]; the gene it keeps is uniform over that interval, so it
// is drawn from the interval at once. An age whose reference rate is 0 has no fertility in any
// curve.
double initialGene(double reference, double limit, double range, Generator& random)
{
    if (reference == 0)
        return 0;
    const double lowest = reference / range;
    const double highest = std::min(limit, range * reference);
    return std::clamp(lowest + (highest - lowest) * random.uniform(), lowest, highest);
}

// The mutation's rejection loop tries h + s u / (c + 1) at attempts c = 0, 1, ... (a fresh u
// each) and keeps the first candidate that lies above 0, below the age's limit and at most
// 2 k f. Its outcome is drawn here directly, in at most two draws:
//  - the room is the distance from h to the bound the step heads for (0 below, the lower of
//    the limit and 2 k f above);
//  - an attempt whose reach |s| / (c + 1) fits into the room always passes; the first such
//    attempt is c* = ceil(|s| / room) - 1;
//  - an earlier attempt passes with probability room (c + 1) / |s|, and then its candidate is
//    uniform over the whole room, whichever attempt it was;
// so the kept gene is uniform over the room, except when every attempt before c* failed
// (probability Q, the product of their failure probabilities): then it is uniform over the
// reach of attempt c*. Past c* = 100, Q is below 2^-53, the finest step of a draw, and is
// taken as 0. A gene with no room in the step's direction (one at its limit stepping up) stays
// as it is, as does one whose candidate rounding would put on a bound.
// (The header's mutatedGene takes the case of a step within the room; this is the rest.)
double mutatedGeneNearBound(double gene, double step, double limit, double widest, Generator& random)
{
    const double upper = std::min(limit, widest);
    const double room = step > 0 ? upper - gene : gene;
    const double reach = std::fabs(step);
    if (!(room > 0) || reach == 0)
        return gene;
    double span = reach;
    if (reach > room) {
        span = room;
        if (reach <= kCertainAttemptLimit * room) {  // c* < 100
            const double ratio = room / reach;  // the chance that attempt 0 passes
            const double sure = std::ceil(reach / room) - 1;
            // Whether all attempts before c* fail: the product of their failure chances, cut
            // short once it falls to the draw (the product only falls).
            const double draw = random.uniform();
            double allFail = 1;
            for (int c = 1; c <= static_cast<int>(sure) && allFail > draw; ++c)
                allFail *= 1 - ratio * c;
            if (draw < allFail)
                span = reach / (sure + 1);
        }
    }
    const double candidate = gene + std::copysign(span * random.uniform(), step);
    return candidate > 0 && candidate < limit && candidate <= widest ? candidate : gene;
}

namespace {

void markIndividuals(int individuals, double probability, Generator& random, std::vector<int>& marked)
{
    marked.clear();
    for (int i = 0; i < individuals; ++i)
        if (random.uniform() <= probability)
            marked.push_back(i);
}

}  // namespace

Generator::Generator(std::uint64_t seed, std::uint64_t year, std::uint64_t run)
{
    std::uint64_t key = seed;
    key = splitMix(key) ^ year;
    key = splitMix(key) ^ run;
    for (auto& word : s_)
        word = splitMix(key);
}

Problem makeProblem(const TargetBirths& births, const TargetPlanningSettings& settings, int yearIndex)
{
    Problem p;
    p.individuals = settings.individuals;
    p.generations = settings.generations;
    p.crossover = settings.crossover;
    p.mutation = settings.mutation;
    p.range = settings.range;
    std::copy(births.reference.begin(), births.reference.end(), p.reference.begin());
    const auto& Lf = births.femaleL;
    // The women of age x during the year: those at x at its start and the survivors from
    // x - 1 (their mean, the halving being in the births formula).
    for (int j = 0; j < kTargetGenes; ++j) {
        const int x = kTargetFirstAge + j;
        p.weight[j] = Lf[x] / Lf[x - 1] * births.womenAt(x - 1, yearIndex) + births.womenAt(x, yearIndex);
    }
    p.maleL0 = births.maleL[0];
    p.femaleL0 = births.femaleL[0];
    p.births = births.births[yearIndex];
    p.cumulative.resize(static_cast<std::size_t>(settings.individuals));
    const double q = settings.pressure;
    double sum = 0;
    for (int i = 0; i < settings.individuals; ++i) {
        sum += q * std::pow(1 - q, i);
        p.cumulative[i] = sum;
    }
    return p;
}

Scratch::Scratch(int individuals)
    : population(static_cast<std::size_t>(individuals) * kTargetGenes),
      next(population.size()),
      ranked(static_cast<std::size_t>(individuals))
{
    marked.reserve(static_cast<std::size_t>(individuals));
}

RunOutcome runOnce(const Problem& p, Generator& random, Scratch& s)
{
    const int size = p.individuals;
    const double k = p.range;
    const auto& limit = kTargetRateLimits;
    std::array<double, kTargetGenes> widest{};  // 2 k f, the reach of a mutated gene
    for (int j = 0; j < kTargetGenes; ++j)
        widest[j] = 2 * k * p.reference[j];

    double* genes = s.population.data();
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < kTargetGenes; ++j)
            genes[i * kTargetGenes + j] = initialGene(p.reference[j], limit[j], k, random);

    RunOutcome out;
    double bestError = kStartingBestError;
    std::array<double, kTargetGenes> upper{};  // the lower of the limit and 2 k f
    for (int j = 0; j < kTargetGenes; ++j)
        upper[j] = std::min(limit[j], widest[j]);
    std::array<double, kTargetGenes> step{};      // D[j] times 2 k f, a mutation's widest move
    std::array<double, kTargetGenes> reach{};     // |step|; 0 for an age without fertility
    std::array<double, kTargetGenes> headroom{};  // the bound a step heads for: upper, or 0
    std::array<double, kTargetGenes> toward{};
    std::array<double, kTargetGenes> draws{};
    std::array<int, kTargetGenes> near{};  // genes of an individual whose step passes their bound
    int g = 1;
    for (;;) {
        genes = s.population.data();
        for (int i = 0; i < size; ++i) {
            const double births = p.birthsOf(genes + i * kTargetGenes);
            s.ranked[i] = {std::fabs(births - p.births), i};
            if (i == size - 1)
                out.lastBirths = births;
        }
        std::sort(s.ranked.begin(), s.ranked.end(), [](const Ranked& a, const Ranked& b) {
            return a.error < b.error || (a.error == b.error && a.place < b.place);
        });
        if (s.ranked[0].error < bestError) {
            bestError = s.ranked[0].error;
            std::copy_n(genes + s.ranked[0].place * kTargetGenes, kTargetGenes, out.best.begin());
        }

        // Selection by geometric ranking into the other buffer: the first rank whose
        // cumulative weight reaches u C[P-1] (a search without branches to mispredict).
        const double total = p.cumulative.back();
        const double* cumulative = p.cumulative.data();
        double* chosen = s.next.data();
        for (int place = 0; place < size; ++place) {
            const double bound = random.uniform() * total;
            const double* first = cumulative;
            for (int length = size; length > 1;) {
                const int half = length / 2;
                first = first[half] < bound ? first + half : first;
                length -= half;
            }
            const auto rank = (first - cumulative) + (*first < bound ? 1 : 0);
            std::copy_n(genes + s.ranked[rank].place * kTargetGenes, kTargetGenes, chosen + place * kTargetGenes);
        }
        std::swap(s.population, s.next);
        genes = s.population.data();

        // Arithmetic crossover of the marked individuals, paired after a shuffle.
        markIndividuals(size, p.crossover, random, s.marked);
        const auto count = s.marked.size();
        for (std::size_t i = 0; i < count; ++i)
            std::swap(s.marked[i], s.marked[static_cast<std::size_t>(random.uniform() * static_cast<double>(count))]);
        for (std::size_t pair = 0; pair + 1 < count; pair += 2) {
            const double lambda = random.uniform();
            double* a = genes + s.marked[pair] * kTargetGenes;
            double* b = genes + s.marked[pair + 1] * kTargetGenes;
            for (int j = 0; j < kTargetGenes; ++j) {
                const double x = a[j];
                const double y = b[j];
                a[j] = lambda * x + (1 - lambda) * y;
                b[j] = (1 - lambda) * x + lambda * y;
            }
        }

        // Mutation of the marked individuals along one direction drawn per generation. A gene
        // whose whole step fits before the bound it heads for takes h + s u (what the loop's
        // first attempt, which always passes, gives); those are done together, with a draw per
        // gene, and the genes near a bound after them (mutatedGeneNearBound).
        markIndividuals(size, p.mutation, random, s.marked);
        for (int j = 0; j < kTargetGenes; ++j) {
            step[j] = (2 * random.uniform() - 1) * widest[j] * widest[j];
            reach[j] = p.reference[j] != 0 ? std::fabs(step[j]) : 0.0;
            // The room before the bound a step heads for is headroom + toward x gene:
            // upper - gene upwards, gene downwards.
            headroom[j] = step[j] > 0 ? upper[j] : 0.0;
            toward[j] = step[j] > 0 ? -1.0 : 1.0;
        }
        for (int i : s.marked) {
            double* h = genes + i * kTargetGenes;
            random.fill(draws.data(), kTargetGenes);
            int nearBound = 0;
            for (int j = 0; j < kTargetGenes; ++j) {  // without branches to mispredict
                const double gene = h[j];
                const double room = headroom[j] + toward[j] * gene;
                const double candidate = gene + step[j] * draws[j];
                const int fits = reach[j] <= room;
                const int inside = (candidate > 0) & (candidate < limit[j]) & (candidate <= widest[j]);
                h[j] = (fits & inside & (reach[j] > 0)) ? candidate : gene;
                near[j] = 1 - fits;
                nearBound += near[j];
            }
            if (nearBound > 0)
                for (int j = 0; j < kTargetGenes; ++j)
                    if (near[j])
                        h[j] = mutatedGeneNearBound(h[j], step[j], limit[j], widest[j], random);
        }

        if (bestError < 1.0 || g > p.generations)
            break;
        ++g;
    }
    out.converged = g <= p.generations;
    out.generation = g;
    out.bestError = bestError;
    return out;
}

}  // namespace zandor::analysis::target_search
