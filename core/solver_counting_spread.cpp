// Boards of nearly whole distances that lengthsKeepApart cannot settle. Its
// bound takes, at every city, the two largest differences from whole numbers
// at once; a tour rarely can. Two rows of cities a unit apart and far apart
// along them, taken in turn, are the common case: the bound counts two
// slanted edges at each city, while a tour that takes them all has to come
// back along one long edge.
//
// measureDriftRange() finds the least and the greatest sum of the
// differences along any tour exactly, by the shortest- and longest-path
// programme over (set of visited cities, end city) with the differences as
// edge weights. Every tour counted as one whole length then lies within that
// range of it; once the sum of the first tour of each length is known,
// entriesKeepApart() checks that every tour of a length lies within the
// tolerance of the entry its first tour made and outside that of every other
// entry, so that the enumeration files it there whenever it comes, and the
// counts hold exactly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/bits.h"
#include "core/solver_counting_programme.h"
#include "core/spectrum_table.h"

namespace orvanta::counting {

namespace {

constexpr float kNone = std::numeric_limits<float>::infinity();

// A float at or below x, and one at or above it: the programme keeps floats,
// rounded outwards, to halve its storage; the tolerance is far coarser.
float floatBelow(double x) {
    const auto f = static_cast<float>(x);
    return static_cast<double>(f) > x ? std::nextafter(f, -kNone) : f;
}
float floatAbove(double x) {
    const auto f = static_cast<float>(x);
    return static_cast<double>(f) < x ? std::nextafter(f, kNone) : f;
}

// Added to the rounding of the tours' sums: what the doubles of the checks
// below may lose.
constexpr double kCheckSlack = 1e-12;

// The sum of the differences along one tour, city 0 then the rest, each time
// to the city whose edge differs most in one direction: a cheap first look
// at how far the range reaches.
double greedyDrift(const Distances& distances, const Programme& programme, const std::vector<double>& off, bool upwards) {
    const auto offFrom = [&](std::int32_t a, std::int32_t b) { return off[distances.at(a, b)]; };
    std::uint32_t left = programme.full;
    std::int32_t at = 0;
    double sum = 0.0;
    while (left != 0) {
        std::int32_t pick = lowestCity(left);
        for (std::uint32_t bits = left; bits != 0; bits &= bits - 1) {
            const std::int32_t city = lowestCity(bits);
            if (upwards ? offFrom(at, city) > offFrom(at, pick) : offFrom(at, city) < offFrom(at, pick)) pick = city;
        }
        sum += offFrom(at, pick);
        left &= ~(1u << (pick - 1));
        at = pick;
    }
    return sum + offFrom(at, 0);
}

}  // namespace

bool Distances::measureDriftRange(const Programme& programme, const Storage& storage, SolveRun& run) {
    std::vector<double> off(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (std::int32_t a = 0; a < n; ++a)
        for (std::int32_t b = 0; b < n; ++b) off[at(a, b)] = boardDistance(a, b) - static_cast<double>(unitsBetween(a, b)) * unitLength;
    // Two actual tours already too far apart for the tolerance of a tour of
    // the shortest length that must keep to one entry: no need to measure further.
    const double low = greedyDrift(*this, programme, off, false);
    const double high = greedyDrift(*this, programme, off, true);
    if (high - low > 2.0 * toleranceOf(static_cast<double>(programme.walkedBelow()) * unitLength + low)) return false;

    const std::size_t states = (std::size_t{1} << programme.m) * static_cast<std::size_t>(programme.m);
    if (!storage.fits(2 * states * sizeof(float))) return false;
    // least[set * m + c - 1]: the least sum of differences along a path from
    // city 0 through the cities of set, ending at c (a member of set);
    // most: the greatest.
    std::vector<float> least(states, kNone), most(states, -kNone);
    for (std::int32_t c = 1; c <= programme.m; ++c) {
        const std::size_t at = programme.completionIndex(1u << (c - 1), c);
        least[at] = floatBelow(off[static_cast<std::size_t>(c)]);
        most[at] = floatAbove(off[static_cast<std::size_t>(c)]);
    }
    // Sets in increasing order come after all their subsets.
    for (std::uint32_t set = 1; set <= programme.full; ++set) {
        if ((set & (set - 1)) == 0) continue;
        run.step();
        for (std::uint32_t ends = set; ends != 0; ends &= ends - 1) {
            const std::int32_t c = lowestCity(ends);
            const std::uint32_t before = set & ~(1u << (c - 1));
            double lowest = kNone, highest = -kNone;
            for (std::uint32_t bits = before; bits != 0; bits &= bits - 1) {
                const std::int32_t b = lowestCity(bits);
                const std::size_t from = programme.completionIndex(before, b);
                const double step = off[at(b, c)];
                lowest = std::min(lowest, static_cast<double>(least[from]) + step);
                highest = std::max(highest, static_cast<double>(most[from]) + step);
            }
            least[programme.completionIndex(set, c)] = floatBelow(lowest);
            most[programme.completionIndex(set, c)] = floatAbove(highest);
        }
    }
    leastDrift = kNone;
    mostDrift = -kNone;
    for (std::int32_t c = 1; c <= programme.m; ++c) {
        leastDrift = std::min(leastDrift, static_cast<double>(least[programme.completionIndex(programme.full, c)]) + off[at(c, 0)]);
        mostDrift = std::max(mostDrift, static_cast<double>(most[programme.completionIndex(programme.full, c)]) + off[at(c, 0)]);
    }
    return leastDrift <= mostDrift;
}

bool driftRangeMayKeepApart(const Distances& distances, std::uint32_t length) {
    // All tours of the length must fit within the tolerance of the entry its
    // first tour makes, either way of it: within two tolerances of its
    // shortest tour. entriesKeepApart() and shortLengthsToWalk() check that
    // exactly once the sums are known; this spares the count and the walks
    // for a board they would refuse anyway.
    const double spread = distances.mostDrift - distances.leastDrift + 2.0 * (distances.rounding + kCheckSlack);
    const double shortestTour = static_cast<double>(length) * distances.unitLength + distances.leastDrift - distances.rounding;
    return spread <= 2.0 * toleranceOf(shortestTour);
}

std::int32_t shortLengthsToWalk(const Distances& distances, const std::vector<LengthCount>& tours, const std::vector<double>& sums) {
    const std::size_t n = tours.size();
    if (sums.size() != n) return -1;
    const double margin = distances.rounding + kCheckSlack;
    std::vector<double> least(n), most(n), reachDown(n), reachUp(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double whole = static_cast<double>(tours[i].length) * distances.unitLength;
        least[i] = whole + distances.leastDrift - margin;
        most[i] = whole + distances.mostDrift + margin;
        const double t = toleranceOf(sums[i]);
        reachDown[i] = sums[i] - t;
        reachUp[i] = sums[i] + t;
    }
    // Every tour of a length falls in the entry its first tour made, up to
    // the last length where some may not: those and all shorter are walked ...
    std::size_t walked = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (least[i] < reachDown[i] || most[i] > reachUp[i]) walked = i + 1;
    if (walked > 0 && walked >= n) return -1;
    // ... and in no other: the table looks at its entries from the longest
    // down and stops at the first one whose tolerance reaches down to the sum.
    for (std::size_t i = walked; i < n; ++i) {
        for (std::size_t j = walked; j < n; ++j) {
            if (j < i && !(least[i] > reachUp[j])) return -1;
            if (j > i && !(most[i] < reachDown[j])) return -1;
        }
    }
    // The walked tours make what entries they make, each within its own
    // tolerance of a tour at most most[walked - 1]: the longest of them lies
    // below the reach of every entry counted, and every tour counted above
    // the reach of the entry the longest could make.
    const double longestWalked = walked > 0 ? most[walked - 1] : 0.0;
    const double itsReach = (longestWalked + toleranceOf(longestWalked)) * (1.0 + 1e-9);
    for (std::size_t i = walked; i < n && walked > 0; ++i)
        if (!(longestWalked < reachDown[i] && least[i] > itsReach)) return -1;
    // With a full table, longer tours went uncounted: none of them may fall
    // in a counted entry, nor make an entry that a counted tour falls in.
    if (n >= static_cast<std::size_t>(kSpectrumEntries)) {
        const double longer = static_cast<double>(tours.back().length + 1) * distances.unitLength + distances.leastDrift - margin;
        // (The tolerance of an entry that length makes, a little wider for
        // the rounding of its product.)
        const double longerReach = longer - toleranceOf(longer) * (1.0 + 1e-9);
        for (std::size_t i = walked; i < n; ++i)
            if (!(reachUp[i] < longer && most[i] < longerReach)) return -1;
        if (walked > 0 && !(itsReach < longerReach)) return -1;
    }
    return static_cast<std::int32_t>(walked);
}

bool entriesKeepApart(const Distances& distances, const std::vector<LengthCount>& tours, const std::vector<double>& sums) {
    return shortLengthsToWalk(distances, tours, sums) == 0;
}

}  // namespace orvanta::counting
