// The genetic algorithm of target planning: one run from the initial population to the
// stopping rule, over genes stored contiguously (individual i holds genes [35 i, 35 i + 35)).
#include "analysis/target_search.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zandor::analysis::target_search {

namespace {

constexpr double kCertainAttemptLimit = 40;  // attempts of a mutation beyond which Q < 2^-52
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
// reach of attempt c*. Q rises with |s| / room between whole numbers, to c*! / (c* + 1)^c*;
// from c* = 38 on it is below 2^-52, the finest step of a draw, and past c* = 40 it is taken
// as 0. A gene with no room in the step's direction (one at its limit stepping up) stays
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
        if (reach <= 2 * room) {
            // c* = 1, the most common case: Q is attempt 0's failure chance, 1 - room / reach.
            if (random.uniform() * reach < reach - room)
                span = reach / 2;
        } else if (reach <= kCertainAttemptLimit * room) {  // c* < 40
            const double ratio = room / reach;  // the chance that attempt 0 passes
            const double attempts = reach / room;
            const int whole = static_cast<int>(attempts);
            const int sure = whole == attempts ? whole - 1 : whole;  // c*, ceil(reach / room) - 1
            // Whether all attempts before c* fail: the product of their failure chances, cut
            // short once it falls to the draw (the product only falls).
            const double draw = random.uniform();
            double allFail = 1;
            for (int c = 1; c <= sure && allFail > draw; ++c)
                allFail *= 1 - ratio * c;
            if (draw < allFail)
                span = reach / (sure + 1);
        }
    }
    const double candidate = gene + std::copysign(span * random.uniform(), step);
    return candidate > 0 && candidate < limit && candidate <= widest ? candidate : gene;
}

namespace {

// A generation's mutation, gene by gene (the padding past the last gene is never read).
struct Mutation {
    std::array<double, kTargetGenes> step{};      // D[j] times 2 k f, the widest move
    std::array<double, kTargetGenes> reach{};     // |step|; 0 for an age without fertility
    // The room before the bound a step heads for is headroom + toward x gene: the lower of
    // the limit and 2 k f, less the gene, upwards; the gene downwards.
    std::array<double, kTargetGenes> headroom{};
    std::array<double, kTargetGenes> toward{};
    std::array<double, kTargetGenes> limit{};
    std::array<double, kTargetGenes> widest{};    // 2 k f
};

using Pair = double __attribute__((vector_size(2 * sizeof(double))));
using PairMask = std::int64_t __attribute__((vector_size(2 * sizeof(double))));

Pair load(const double* p)
{
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void store(double* p, Pair v) { std::memcpy(p, &v, sizeof v); }

// The lanes of a comparison that failed, as bits (1 for the first lane, 2 for the second).
unsigned failingLanes(PairMask holds)
{
#if defined(__SSE2__)
    return ~static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(holds))) & 3u;
#else
    // A lane of a mask is all ones (-1) where it holds, so lane + 1 is 1 where it fails.
    return static_cast<unsigned>(holds[0] + 1) | static_cast<unsigned>(holds[1] + 1) << 1;
#endif
}

// Moves each gene h[j] whose whole step fits before the bound it heads for to h + s u (what
// the rejection loop's first attempt, which always passes, gives), two genes at a time, with
// the draws u. Returns the genes whose step passes their bound, left for
// mutatedGeneNearBound, as bits (bit j for gene j).
std::uint64_t mutateWithinRoom(double* h, const double* u, const Mutation& m, Generator& random)
{
    static_assert(kTargetGenes % 2 == 1 && kTargetGenes <= 64);
    std::uint64_t near = 0;
    int j = 0;
    for (; j + 2 <= kTargetGenes; j += 2) {
        const Pair gene = load(h + j);
        const Pair reach = load(m.reach.data() + j);
        const Pair candidate = gene + load(m.step.data() + j) * load(u + j);
        const PairMask fits = reach <= load(m.headroom.data() + j) + load(m.toward.data() + j) * gene;
        const PairMask keep = fits & (candidate > 0) & (candidate < load(m.limit.data() + j)) &
                              (candidate <= load(m.widest.data() + j)) & (reach > 0);
        store(h + j, keep ? candidate : gene);
        near |= static_cast<std::uint64_t>(failingLanes(fits)) << j;
    }
    // The odd gene at the end, alone (its draw may refill the block that u points into: u is
    // read no more).
    h[j] = mutatedGene(h[j], m.step[j], m.limit[j], m.widest[j], random);
    return near;
}

// Sorts distinct keys into rising order: a quicksort whose partition moves every key without a
// branch on the comparison (a branch there goes either way at random and is mispredicted half
// the time), down to runs of 16 that an insertion sort finishes.
void sortKeys(std::uint64_t* keys, int n)
{
    while (n > 16) {
        // The median of the first, middle and last keys as the pivot, moved to the end.
        const int middle = n / 2;
        const std::uint64_t first = keys[0], mid = keys[middle], last = keys[n - 1];
        const int median = first < mid ? (mid < last ? middle : (first < last ? n - 1 : 0))
                                       : (first < last ? 0 : (mid < last ? n - 1 : middle));
        std::swap(keys[median], keys[n - 1]);
        const std::uint64_t pivot = keys[n - 1];
        int below = 0;
        for (int j = 0; j < n - 1; ++j) {
            const std::uint64_t key = keys[j];
            keys[j] = keys[below];
            keys[below] = key;
            below += key < pivot ? 1 : 0;
        }
        std::swap(keys[below], keys[n - 1]);
        // The shorter side by recursion, the longer by the loop: a depth of at most log2 n.
        const int above = n - 1 - below;
        if (below < above) {
            sortKeys(keys, below);
            keys += below + 1;
            n = above;
        } else {
            sortKeys(keys + below + 1, above);
            n = below;
        }
    }
    for (int i = 1; i < n; ++i) {
        const std::uint64_t key = keys[i];
        int j = i;
        for (; j > 0 && keys[j - 1] > key; --j)
            keys[j] = keys[j - 1];
        keys[j] = key;
    }
}

// The individuals that a draw each marks with the given probability, in order; returns how many
// (written over `marked`, which holds one place for every individual).
std::size_t markIndividuals(int individuals, double probability, Generator& random, std::vector<int>& marked)
{
    std::size_t count = 0;
    for (int i = 0; i < individuals; ++i) {
        marked[count] = i;
        count += random.uniform() <= probability ? 1 : 0;
    }
    return count;
}

}  // namespace

Generator::Generator(std::uint64_t seed, std::uint64_t year, std::uint64_t run)
{
    std::uint64_t key = seed;
    key = splitMix(key) ^ year;
    key = splitMix(key) ^ run;
    for (int lane = 0; lane < kLanes; ++lane)
        for (auto& word : s_)
            word[lane] = splitMix(key);
}

namespace {

// Two generators' words side by side in one vector register.
using Words = std::uint64_t __attribute__((vector_size(2 * sizeof(std::uint64_t))));

struct Lanes {
    Words s0, s1, s2, s3;

    // One step of both generators; returns their outputs as doubles in [1, 2) (the top 52
    // bits as the fraction).
    Words step()
    {
        const Words result = s0 + s3;
        const Words t = s1 << 17;
        s2 ^= s0;
        s3 ^= s1;
        s1 ^= s2;
        s0 ^= s3;
        s2 ^= t;
        s3 = (s3 << 45) | (s3 >> 19);
        return (result >> 12) | 0x3FF0000000000000ULL;
    }
};

}  // namespace

void Generator::refill()
{
    // Generators 0-1 and 2-3 step in two registers each, independent of one another.
    static_assert(kLanes == 4);
    Lanes low, high;
    Words* const lowWords[] = {&low.s0, &low.s1, &low.s2, &low.s3};
    Words* const highWords[] = {&high.s0, &high.s1, &high.s2, &high.s3};
    for (int w = 0; w < 4; ++w) {
        std::memcpy(lowWords[w], s_[w].data(), sizeof(Words));
        std::memcpy(highWords[w], s_[w].data() + 2, sizeof(Words));
    }
    for (int i = 0; i < kBlock; i += kLanes) {
        const Words a = low.step();
        const Words b = high.step();
        std::memcpy(block_.data() + i, &a, sizeof a);
        std::memcpy(block_.data() + i + 2, &b, sizeof b);
    }
    for (int w = 0; w < 4; ++w) {
        std::memcpy(s_[w].data(), lowWords[w], sizeof(Words));
        std::memcpy(s_[w].data() + 2, highWords[w], sizeof(Words));
    }
    for (double& draw : block_)
        draw -= 1;
    next_ = 0;
}

double Problem::birthsOf(const double* genes) const
{
    // Four running sums (of the ages 4 i, 4 i + 1, 4 i + 2 and 4 i + 3 apart), in two vector
    // registers, so that the additions of neighbouring ages need not wait for one another.
    Pair low = {0, 0};
    Pair high = {0, 0};
    int j = 0;
    for (; j + 4 <= kTargetGenes; j += 4) {
        low += load(weight.data() + j) * load(genes + j);
        high += load(weight.data() + j + 2) * load(genes + j + 2);
    }
    double part[4] = {low[0], low[1], high[0], high[1]};
    for (; j < kTargetGenes; ++j)
        part[j % 4] += weight[j] * genes[j];
    const double sum = (part[0] + part[1]) + (part[2] + part[3]);
    return 0.51 * sum * maleL0 / 2 + 0.49 * sum * femaleL0 / 2;
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
      error(static_cast<std::size_t>(individuals)),
      ranked(static_cast<std::size_t>(individuals)),
      placeBits(std::bit_width(static_cast<unsigned>(individuals))),
      marked(static_cast<std::size_t>(individuals))
{
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
    Mutation move;
    std::copy(limit.begin(), limit.end(), move.limit.begin());
    move.widest = widest;
    std::array<double, kTargetGenes> upper{};  // the lower of the limit and 2 k f
    for (int j = 0; j < kTargetGenes; ++j)
        upper[j] = std::min(limit[j], widest[j]);
    int g = 1;
    for (;;) {
        genes = s.population.data();
        const std::uint64_t placeMask = (std::uint64_t{1} << s.placeBits) - 1;
        for (int i = 0; i < size; ++i) {
            const double births = p.birthsOf(genes + i * kTargetGenes);
            s.error[i] = std::fabs(births - p.births);
            // A finite error of at least 0 sorts by its bits as an unsigned number.
            s.ranked[i] = (std::bit_cast<std::uint64_t>(s.error[i]) & ~placeMask) | static_cast<std::uint64_t>(i);
            if (i == size - 1)
                out.lastBirths = births;
        }
        sortKeys(s.ranked.data(), size);
        assert(std::is_sorted(s.ranked.begin(), s.ranked.end()));
        const auto placeAt = [&](std::ptrdiff_t rank) { return static_cast<int>(s.ranked[rank] & placeMask); };
        if (s.error[placeAt(0)] < bestError) {
            bestError = s.error[placeAt(0)];
            std::copy_n(genes + placeAt(0) * kTargetGenes, kTargetGenes, out.best.begin());
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
            std::copy_n(genes + placeAt(rank) * kTargetGenes, kTargetGenes, chosen + place * kTargetGenes);
        }
        std::swap(s.population, s.next);
        genes = s.population.data();

        // Arithmetic crossover of the marked individuals, paired after a shuffle.
        const auto count = markIndividuals(size, p.crossover, random, s.marked);
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

        // Mutation of the marked individuals along one direction drawn per generation, a draw
        // per gene: the genes whose step fits before their bound together, then those near it.
        const auto mutated = markIndividuals(size, p.mutation, random, s.marked);
        for (int j = 0; j < kTargetGenes; ++j) {
            const double step = (2 * random.uniform() - 1) * widest[j] * widest[j];
            move.step[j] = step;
            move.reach[j] = p.reference[j] != 0 ? std::fabs(step) : 0.0;
            move.headroom[j] = step > 0 ? upper[j] : 0.0;
            move.toward[j] = step > 0 ? -1.0 : 1.0;
        }
        for (std::size_t m = 0; m < mutated; ++m) {
            double* h = genes + s.marked[m] * kTargetGenes;
            for (auto near = mutateWithinRoom(h, random.take(kTargetGenes - 1), move, random); near != 0; near &= near - 1) {
                const int j = std::countr_zero(near);
                h[j] = mutatedGeneNearBound(h[j], move.step[j], limit[j], widest[j], random);
            }
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
