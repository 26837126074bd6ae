// One run of the real-coded genetic algorithm of target planning, and its random generator.
// Internal to target_planning.cpp (and its tests and benchmark).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/target_planning.h"

namespace zandor::analysis::target_search {

// Uniform doubles in [0, 1) from four xoshiro256+ generators (Blackman and Vigna, 2018) run
// side by side, so that a block of draws is made with vector instructions. Each draw is the
// top 52 bits of one generator's output set as the fraction of a double in [1, 2), less 1.
// The four are seeded through splitmix64 from (seed, year, run); a block of 256 draws takes
// 64 steps of each, in turn.
class Generator {
public:
    static constexpr int kBlock = 256;

    Generator(std::uint64_t seed, std::uint64_t year, std::uint64_t run);
    double uniform()
    {
        if (next_ == kBlock)
            refill();
        return block_[next_++];
    }
    // n draws in a row (n <= kBlock), read in place: those left in the current block when it
    // holds fewer than n are passed over.
    const double* take(int n)
    {
        if (kBlock - next_ < n)
            refill();
        const double* draws = block_.data() + next_;
        next_ += n;
        return draws;
    }

private:
    static constexpr int kLanes = 4;
    void refill();

    alignas(64) std::array<std::array<std::uint64_t, kLanes>, 4> s_;  // s_[word][lane]
    alignas(64) std::array<double, kBlock> block_;
    int next_ = kBlock;
};

// What every run of one planning year shares.
struct Problem {
    int individuals = 0;
    int generations = 0;
    double crossover = 0;
    double mutation = 0;
    double range = 0;                               // k
    std::array<double, kTargetGenes> reference{};   // f at ages 15..49
    std::array<double, kTargetGenes> weight{};      // women of each age during the year
    double maleL0 = 0;
    double femaleL0 = 0;
    double births = 0;                              // B[y]
    std::vector<double> cumulative;                 // C[i] of the geometric ranking, rising

    // The births of a year with the given rates at ages 15..49.
    double birthsOf(const double* genes) const;
};

Problem makeProblem(const TargetBirths& births, const TargetPlanningSettings& settings, int yearIndex);

// The buffers of one run, kept by a worker across runs so that no generation allocates.
struct Scratch {
    std::vector<double> population, next;  // individuals x 35 genes, contiguous
    std::vector<double> error;             // of each individual
    // The individuals in order of error, as keys that sort as numbers: the error's bits above
    // the lowest `placeBits`, and the individual's place in these (on ties, the earlier place
    // ranks first; errors that differ only in those last bits, less than a part in 2^45 of
    // the error for 100 individuals, rank as ties).
    std::vector<std::uint64_t> ranked;
    int placeBits = 0;
    std::vector<int> marked;
    explicit Scratch(int individuals);
};

struct RunOutcome {
    bool converged = false;
    int generation = 0;   // g at the end of the run (G + 1 when it reached the cap)
    double bestError = 0;
    double lastBirths = 0;  // births of the last individual evaluated
    std::array<double, kTargetGenes> best{};
};

// A gene of the initial population: uniform over [f / k, min(limit, k f)], the genes the
// rejection loop "k f u until within the bounds" keeps. One draw.
double initialGene(double reference, double limit, double range, Generator& random);

// A gene after mutation by the step s = D[j] 2 k f: the gene the rejection loop "h + s u /
// (c + 1) at attempts c = 0, 1, ... until above 0, below the limit and at most 2 k f"
// (`widest`) keeps, drawn directly in at most two draws. A gene with no room in the step's
// direction stays as it is.
double mutatedGeneNearBound(double gene, double step, double limit, double widest, Generator& random);
inline double mutatedGene(double gene, double step, double limit, double widest, Generator& random)
{
    // The common case: the whole step fits between the gene and the bound it heads for, so
    // the loop's first attempt always passes.
    const double room = step > 0 ? std::min(limit, widest) - gene : gene;
    if (std::fabs(step) <= room) {
        const double candidate = gene + step * random.uniform();
        return candidate > 0 && candidate < limit && candidate <= widest ? candidate : gene;
    }
    return mutatedGeneNearBound(gene, step, limit, widest, random);
}

RunOutcome runOnce(const Problem& problem, Generator& random, Scratch& scratch);

}  // namespace zandor::analysis::target_search
