#include "outputs/compression/zx02.h"

#include "outputs/compression/zx02_codes.h"
#include "outputs/compression/zx02_match_lengths.h"
#include "outputs/compression/zx02_stream_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <climits>
#include <deque>

// The parse is a shortest path over the states the format can be in after
// a block: how much has been consumed, the last offset, and whether the
// block was a literal run (only then may a copy from the last offset
// follow, and never another run). Offsets are followed one by one, as
// runs of bytes that do and do not match at that offset: a copy from an
// offset ends where its match ends, the literals after it last until its
// bytes match again, and a copy from the last offset takes up the match
// from there. Those literals cost their copy's bits and their length, so
// they are only worked out where the match resumes. The cheapest state of
// each kind at a position stands for every other offset, so an offset is
// only followed while its copy, and its literals where they end, are close
// enough to the cheapest ones that its next copy from the last offset
// could still make up the difference. New offsets are taken up where their
// match ends, the longest first, together with the runs that matched at
// that offset just before, a few literals apart, so that a copy from the
// last offset can take the match up after them. A quick parse also takes
// up only a few new offsets at a position, follows only the closest few
// copies and at most about a hundred offsets between matches, which keeps
// a screen to tens of milliseconds; a
// thorough one lifts those limits, and is then the parse of the format's
// reference compressor.
namespace {

using zx02::eliasBits;
using zx02::kMaxLength;
using zx02::kMaxOffset;
using zx02::MatchLengths;
using zx02::newLengthBits;
using zx02::offsetBits;
using zx02::StreamWriter;

// How many states the parse keeps.
struct ParseLimits {
    int newOffsets;  // offsets taken up at one position, the longest matches first
    int followed;    // copies weighed at one position, the closest to the cheapest copy
    int kept;        // offsets followed once twice as many are, the closest between matches
};

constexpr ParseLimits kQuickLimits{10, 20, 48};
// No position has more offsets than this, so these limits are never reached.
constexpr int kNoLimit = kMaxOffset + 1;
constexpr ParseLimits kThoroughLimits{kNoLimit, kNoLimit, kNoLimit};

// A block of the parse: it ends at `end`, `from` is the block before it.
struct Node {
    int bits;
    int from;
    int end;
    std::uint16_t offset;  // 0 for a literal run
};

// A literal run after a copy: its flag, its length code and its bytes.
constexpr int literalBits(int length) { return 1 + eliasBits(length) + 8 * length; }

// The most a state keeping `offset` can gain over the cheapest state of its
// kind: that state can always take the same offset up with a new copy
// instead, which costs at most this much more than a copy from the last
// offset (most for a copy of one byte, whose new-offset length code is 17
// bits against 1).
constexpr int mostSaved(int offset) { return offsetBits(offset) - 1 + newLengthBits(1) - eliasBits(1); }

// So a new copy is worth following only when, offset aside, it costs less
// than this above the cheapest copy (the same for every offset).
constexpr int kNewCopyReach = mostSaved(1) - offsetBits(1);

// The excesses over the cheapest state told apart when choosing which
// offsets to follow: any more than mostSaved's is never kept.
constexpr int kExcessCounts = 64;

// A followed offset's state. Most are overtaken before anything follows
// them, so one becomes a node only when a block is chained to it.
struct Pending {
    int bits = 0;
    int from = -1;
    int end = 0;
    int node = -1;
};

// What is known of an offset while it is followed.
struct Followed {
    int offset;
    Pending copy;      // its latest copy, at the end of a match so far
    Pending literals;  // its latest literal run, up to where its bytes match again
    Pending beforeLiterals;  // the copy that run follows, a node only once the run is
    bool hasLiterals = false;
    int run = 0;  // bytes matching at this offset up to here, 0 between matches
    bool on = true;
};

// The block before a candidate or a followed copy: a node, or its
// offset's literals, which become a node only when a block is chained to
// that copy or the literals are replaced.
constexpr int kOwnState = -2;

// A state found at a position before the cheapest ones are known.
struct Candidate {
    enum Source : std::uint8_t { Followed, NewOffset, RejoinedOffset, AnyCopy };
    int bits;
    int from;
    std::uint16_t offset;
    bool literals;  // a literal run, else a copy
    // A followed offset's next copy, a new offset's first, a new offset's
    // copy from the last offset after its earlier matches (`from` is then
    // the literals before it), or literals after any copy.
    Source source;
    int run = 0;    // a new offset's match length, a followed one's place among the followed
};

// Earlier runs of matches a new offset is rejoined to: how many, how many
// literals apart at most, and the longest new copy of a run's last bytes
// weighed (besides the whole run).
constexpr int kRejoinedRuns = 4;
constexpr int kRejoinedGap = 8;
constexpr int kRejoinedNewCopy = 8;

// Bytes [start, end) match at an offset.
struct MatchRun {
    int start;
    int end;
};

struct EarlierRuns {
    std::array<MatchRun, kRejoinedRuns> runs{};  // the nearest first
    int count = 0;
    int matchStart = 0;  // of the match they are rejoined to

    // Where the literals after run k end: at the next run, or the match.
    int literalsEnd(int k) const { return k > 0 ? runs[static_cast<std::size_t>(k - 1)].start : matchStart; }
};

// How a run of a rejoined chain is copied: a copy ending at its end, from
// `start`, a copy from the last offset or a new one.
struct RejoinedCopy {
    int bits = INT_MAX;
    int start = 0;
    bool repeat = false;
};

struct RejoinedCopies {
    std::array<RejoinedCopy, kRejoinedRuns> copies{};  // as the runs
    int literalBits = 0;  // the chain's, up to the start of the match
};

template <ParseLimits kLimits>
class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> data)
        : data_(data), best_(data.size() + 1, -1), bestBits_(data.size() + 1, -1), bestCopy_(data.size() + 1, -1),
          literalFloor_(data.size() + 1, INT_MAX / 2),
          on_(kMaxOffset + 1, 0), matches_(data)
    {
        // The start acts as a copy from offset 1 ending before the first
        // byte, without the flag the first literal run does not have.
        nodes_.push_back({-1, -1, 0, 1});
        best_[0] = bestCopy_[0] = 0;
        bestBits_[0] = -1;
        follow(1, {-1, -1, 0, 0}, 0);
    }

    // The cheapest node at the end, its blocks chained back to the start.
    int run()
    {
        for (int at = 1; at <= size(); ++at) {
            candidates_.clear();
            floors_ = {INT_MAX / 2, INT_MAX / 2};
            newCopyCosts(at);
            advanceFollowed(at);
            matches_.count(at);
            takeUpNewOffsets(at);
            cheapestLiteralRun(at);
            settle(at);
            dropUnreachableNodes(at);
        }
        return best_[static_cast<std::size_t>(size())];
    }

    const std::deque<Node>& nodes() const { return nodes_; }
    std::uint64_t statesWeighed() const { return statesWeighed_; }

private:
    int size() const { return static_cast<int>(data_.size()); }
    std::uint8_t byte(int at) const { return data_[static_cast<std::size_t>(at)]; }
    int bitsOf(int node) const { return nodes_[static_cast<std::size_t>(node)].bits; }
    Followed& followed(int place) { return followed_[static_cast<std::size_t>(place)]; }

    bool matches(int at, int offset) const { return at >= offset && byte(at) == byte(at - offset); }

    // The cheapest copy of at most each length ending at `at`, offset
    // aside: newCopy(m) is the cheapest state `length` bytes back plus the
    // length code, over every length up to m. Every offset's new copy
    // ending here takes the entry of its match length; entries are worked
    // out as far as a match reaches.
    void newCopyCosts(int at)
    {
        newCopyAt_ = at;
        newCopyLongest_ = std::min(kMaxLength, at - 1);
        newCopyKnown_ = 0;
    }

    const std::pair<int, int>& newCopy(int length)
    {
        for (; newCopyKnown_ < length; ++newCopyKnown_) {
            const int next = newCopyKnown_ + 1;
            const auto start = static_cast<std::size_t>(newCopyAt_ - next);
            const int node = best_[start];
            const int cost = bestBits_[start] + newLengthBits(next);
            const auto& before = newCopy_[static_cast<std::size_t>(newCopyKnown_)];
            newCopy_[static_cast<std::size_t>(next)] = newCopyKnown_ > 0 && before.first < cost ? before : std::pair{cost, node};
        }
        return newCopy_[static_cast<std::size_t>(length)];
    }

    // Every followed offset takes one more byte: a matching byte extends
    // its match (by a copy from the last offset after its literals, or a
    // new copy), another one extends the literals after its copy, which
    // need no work until they end.
    void advanceFollowed(int at)
    {
        for (const std::size_t place : changing(at)) {
            Followed& state = followed_[place];
            const int offset = state.offset;
            if (matches(at - 1, offset)) {
                if (state.run == 0 && !resumeLiterals(at - 1, state))
                    continue;
                ++state.run;
                offerCopy(at, static_cast<int>(place), state);
            } else {
                state.run = 0;
                if (at - state.copy.end > kMaxLength)
                    stop(state);
            }
        }
    }

    // The followed offsets whose match goes on, starts or ends at this
    // byte, or whose literals have grown too long: found without a branch,
    // as most offsets are between matches and which ones match follows no
    // pattern. Every offset is taken up after it can copy a byte, but for
    // the start's, which has nothing to do at the first byte.
    std::span<const std::size_t> changing(int at)
    {
        if (at == 1)
            return {};
        changing_.resize(followed_.size());
        const std::uint8_t* copied = data_.data() + at - 1;  // each offset copies this from `offset` before
        const std::uint8_t last = *copied;
        std::size_t count = 0;
        for (std::size_t place = 0; place < followed_.size(); ++place) {
            const Followed& state = followed_[place];
            assert(state.offset < at);
            const bool matching = *(copied - state.offset) == last;
            changing_[count] = place;
            count += static_cast<std::size_t>(matching | (state.run > 0) | (at - state.copy.end > kMaxLength));
        }
        return {changing_.data(), count};
    }

    // Between matches an offset's literals are its copy's bits and the
    // code of their length, so they are only worked out where its bytes
    // match again: the literals a copy from the last offset may follow.
    // False, and no longer followed, when they are dearer than the
    // cheapest literals there by as much as they could ever gain.
    bool resumeLiterals(int end, Followed& state)
    {
        const int bits = state.copy.bits + literalBits(end - state.copy.end);
        if (bits >= literalFloor_[static_cast<std::size_t>(end)] + mostSaved(state.offset)) {
            stop(state);
            return false;
        }
        if (state.copy.from == kOwnState)
            state.copy.from = literalsNode(state);  // the literals it came after are replaced now
        state.beforeLiterals = state.copy;
        state.literals = {bits, -1, end, -1};
        state.hasLiterals = true;
        return true;
    }

    void stop(Followed& state)
    {
        state.on = false;
        on_[static_cast<std::size_t>(state.offset)] = false;
    }

    // The cheaper of a copy from the last offset, over the whole match
    // since the literals, and a new copy of this offset.
    void offerCopy(int at, int place, const Followed& state)
    {
        const int offset = state.offset;
        const int length = std::min(state.run, newCopyLongest_);
        auto [bits, from] = newCopy(length);
        bits += offsetBits(offset);
        if (state.hasLiterals) {
            const int repeat = at - state.literals.end;
            const int repeatBits = state.literals.bits + 1 + eliasBits(repeat);
            if (repeat <= kMaxLength && repeatBits <= bits) {
                bits = repeatBits;
                from = kOwnState;
            }
        }
        offer({bits, from, static_cast<std::uint16_t>(offset), false, Candidate::Followed, place});
    }

    // New copies from offsets not yet followed. Only a copy that ends where
    // its match ends can be worth following (one ending sooner is dearer
    // once literals follow it, and a followed offset's copy grows with its
    // match), so those are taken whose match ends here and is long enough
    // for their copy to come near the cheapest copy: the longest, the
    // nearest among equally long ones. For the cheapest states here, the
    // nearest of the longest matches of each length of offset code.
    void takeUpNewOffsets(int at)
    {
        const int offsets = std::min(at - 1, kMaxOffset);
        if (offsets < 1)
            return;
        offerNearestLongest(offsets);
        const int longest = std::min(newCopyLongest_, 255);
        const int ceiling = floors_[0] + kNewCopyReach;
        int shortest = std::max(1, matches_.longestEndingInMany(kLimits.newOffsets));
        while (shortest <= longest && newCopy(shortest).first >= ceiling)
            ++shortest;
        newOffsets_.clear();
        if (shortest > longest)
            return;
        for (int first = 0; first * MatchLengths::kBlock < offsets; first += 16)
            for (auto blocks = matches_.blocksEndingAtLeast(first, shortest); blocks != 0; blocks &= blocks - 1)
                takeUpBlock(first + std::countr_zero(blocks), shortest);
        for (const auto& [run, offset] : newOffsets_)
            offerNewOffset(offset, run);
    }

    // Those of a block's offsets whose match ends here at least `shortest`
    // long, into a heap whose top is the shortest (then farthest) match
    // taken so far; `shortest` rises as the heap fills.
    void takeUpBlock(int block, int& shortest)
    {
        const auto worse = [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        };
        if (matches_.longestEnding(block) < shortest)
            return;
        const int base = block * MatchLengths::kBlock + 1;
        for (auto hits = matches_.endingAtLeast(block, shortest, on_.data()); hits != 0; hits &= hits - 1) {
            const int offset = base + std::countr_zero(hits);
            const int run = matches_.ending(offset);
            if (run < shortest)
                continue;
            newOffsets_.push_back({run, offset});
            std::push_heap(newOffsets_.begin(), newOffsets_.end(), worse);
            if (newOffsets_.size() > kLimits.newOffsets) {
                std::pop_heap(newOffsets_.begin(), newOffsets_.end(), worse);
                newOffsets_.pop_back();
                shortest = newOffsets_.front().first + 1;
            }
        }
    }

    // The cheapest copy ending here, whether or not its match ends: the
    // nearest of the longest matches among the offsets of each length of
    // offset code, where it is longer than every nearer one.
    void offerNearestLongest(int offsets)
    {
        int longestNearer = 0;
        for (int first = 1, high = 1; first <= offsets; high *= 2) {
            const int last = std::min(offsets, (2 * high - 1) * 128);
            const auto [offset, longest] = matches_.nearestLongest(first, last);
            if (longest > longestNearer && !on_[static_cast<std::size_t>(offset)])
                offerNewOffset(offset, longest);
            longestNearer = std::max(longestNearer, longest);
            first = last + 1;
        }
    }

    void offerNewOffset(int offset, int run)
    {
        const auto& [bits, from] = newCopy(std::min(run, newCopyLongest_));
        Candidate candidate{bits + offsetBits(offset), from, static_cast<std::uint16_t>(offset), false, Candidate::NewOffset, run};
        // A thorough parse follows those earlier runs' offsets anyway. A run
        // of 255 may be longer: where it starts is not known.
        if (kLimits.newOffsets < kNoLimit && run < std::min(newCopyLongest_, 255))
            rejoin(candidate);
        offer(candidate);
    }

    // An offset taken up only where a match ends may have matched a few
    // bytes before too, between bytes that differ: a short new copy there,
    // the literals after it and a copy from the last offset over this match
    // can cost less than a new copy of this match alone. The quick parse
    // misses that whenever the earlier match was too short to follow, so
    // the runs just before are looked at when an offset is taken up.
    void rejoin(Candidate& candidate)
    {
        const int start = newCopyAt_ - candidate.run;
        // Those literals can cost no less than the cheapest literals there.
        if (literalFloor_[static_cast<std::size_t>(start)] + 1 + eliasBits(candidate.run) >= candidate.bits)
            return;
        const EarlierRuns runs = earlierRuns(candidate.offset, start);
        if (runs.count == 0)
            return;
        const RejoinedCopies chain = rejoinedCopies(candidate.offset, runs);
        const int bits = chain.literalBits + 1 + eliasBits(candidate.run);
        if (bits >= candidate.bits)
            return;
        candidate.bits = bits;
        candidate.from = rejoinedNodes(candidate.offset, runs, chain);
        candidate.source = Candidate::RejoinedOffset;
    }

    // Up to kRejoinedRuns runs of bytes matching at `offset` before
    // `start`, the nearest first, each at most kRejoinedGap bytes before
    // the next, all within the 64 bytes before `start` and no further back
    // than the cheapest states are kept. The byte before `start` differs.
    EarlierRuns earlierRuns(int offset, int start) const
    {
        const int lowest = std::max(offset, newCopyAt_ - kMaxLength);
        std::uint64_t matching = matchesBefore(offset, start, lowest);
        EarlierRuns runs;
        runs.matchStart = start;
        for (int consumed = 0; matching != 0 && runs.count < kRejoinedRuns;) {
            const int gap = std::countl_zero(matching);
            if (gap == 0 || gap > kRejoinedGap)
                break;
            matching <<= gap;
            consumed += gap;
            const int length = std::countl_one(matching);
            runs.runs[static_cast<std::size_t>(runs.count++)] = {start - consumed - length, start - consumed};
            consumed += length;
            if (consumed == 64)
                break;
            matching <<= length;
        }
        return runs;
    }

    // Bit 63 - k: whether byte start - 1 - k matches at `offset`, for the
    // 64 bytes before `start`; those before `lowest` count as differing.
    // The common case is a loop the compiler vectorises.
    std::uint64_t matchesBefore(int offset, int start, int lowest) const
    {
        std::array<std::uint8_t, 64> hits;
        const int first = start - 64;
        const std::uint8_t* bytes = data_.data();
        if (first >= lowest) {
            for (std::size_t j = 0; j < hits.size(); ++j)
                hits[j] = bytes[first + static_cast<int>(j)] == bytes[first + static_cast<int>(j) - offset] ? 1 : 0;
        } else {
            for (std::size_t j = 0; j < hits.size(); ++j) {
                const int i = first + static_cast<int>(j);
                hits[j] = i >= lowest && bytes[i] == bytes[i - offset] ? 1 : 0;
            }
        }
        return zx02::detail::gatheredBits(hits);
    }

    // The cheapest way over the earlier runs, oldest first, to literals
    // ending at `start` after a copy from `offset`: each run's copy is a
    // new copy of its last few bytes (or all of it), or, after the first,
    // a copy from the last offset over all of it.
    RejoinedCopies rejoinedCopies(int offset, const EarlierRuns& runs) const
    {
        RejoinedCopies chain;
        for (int k = runs.count - 1; k >= 0; --k) {
            const MatchRun run = runs.runs[static_cast<std::size_t>(k)];
            RejoinedCopy& copy = chain.copies[static_cast<std::size_t>(k)];
            const auto tryNewCopy = [&](int length) {
                const auto from = static_cast<std::size_t>(run.end - length);
                const int bits = bestBits_[from] + newLengthBits(length) + offsetBits(offset);
                if (bits < copy.bits)
                    copy = {bits, run.end - length, false};
            };
            const int whole = run.end - run.start;
            for (int length = 1; length <= std::min(whole, kRejoinedNewCopy); ++length)
                tryNewCopy(length);
            if (whole > kRejoinedNewCopy)
                tryNewCopy(whole);
            if (k < runs.count - 1 && chain.literalBits + 1 + eliasBits(whole) < copy.bits)
                copy = {chain.literalBits + 1 + eliasBits(whole), run.start, true};
            chain.literalBits = copy.bits + literalBits(runs.literalsEnd(k) - run.end);
        }
        return chain;
    }

    // The nodes of that chain, the node of its last literals returned.
    int rejoinedNodes(int offset, const EarlierRuns& runs, const RejoinedCopies& chain)
    {
        int literals = -1;
        for (int k = runs.count - 1; k >= 0; --k) {
            const MatchRun run = runs.runs[static_cast<std::size_t>(k)];
            const RejoinedCopy& copy = chain.copies[static_cast<std::size_t>(k)];
            const int before = copy.repeat ? literals : best_[static_cast<std::size_t>(copy.start)];
            const int node = addNode({copy.bits, before, run.end, static_cast<std::uint16_t>(offset)});
            const int end = runs.literalsEnd(k);
            literals = addNode({copy.bits + literalBits(end - run.end), node, end, 0});
        }
        return literals;
    }

    // The cheapest literal run ending here after any copy state, so that
    // literals are never missed for want of a followed offset. A run from
    // position q costs the copy state's bits - 8q (its "value"), plus the
    // same for every q, plus the length code; of two copy states the later
    // one is as good when its value is no higher, as its length code is no
    // longer. So only rising values are kept, and only those within the
    // longest length code of the lowest are tried.
    void cheapestLiteralRun(int at)
    {
        const int q = at - 1;
        const int node = bestCopy_[static_cast<std::size_t>(q)];
        if (node >= 0) {
            const int value = bitsOf(node) - 8 * q;
            while (runStarts_.size() > runStartsHead_ && runStarts_.back().first >= value)
                runStarts_.pop_back();
            runStarts_.push_back({value, q});
        }
        while (runStartsHead_ < runStarts_.size() && runStarts_[runStartsHead_].second < at - kMaxLength)
            ++runStartsHead_;
        if (runStartsHead_ == runStarts_.size())
            return;
        const int lowest = runStarts_[runStartsHead_].first;
        int bits = INT_MAX;
        int from = -1;
        for (std::size_t i = runStartsHead_; i < runStarts_.size() && runStarts_[i].first <= lowest + eliasBits(kMaxLength); ++i) {
            const auto [value, start] = runStarts_[i];
            const int cost = value + 8 * at + 1 + eliasBits(at - start);
            if (cost < bits) {
                bits = cost;
                from = bestCopy_[static_cast<std::size_t>(start)];
            }
        }
        offer({bits, from, 1, true, Candidate::AnyCopy});
    }

    // The cheapest states here are now known: keep the states close enough
    // to them, and stop following the offsets whose state is not.
    void settle(int at)
    {
        const std::array<int, 2> floors = floors_;
        const int copyFloor = floors[0];
        const int literalFloor = floors[1];
        const int excessLimit = followLimit(copyFloor, literalFloor);
        statesWeighed_ += candidates_.size();
        std::array<int, 2> bestOfKinds{-1, -1};
        for (const Candidate& c : candidates_) {
            const int floor = floors[c.literals ? 1 : 0];
            int& bestOfKind = bestOfKinds[c.literals ? 1 : 0];
            const bool isBest = c.bits == floor && bestOfKind < 0;
            const bool kept = c.source != Candidate::AnyCopy && c.bits < floor + mostSaved(c.offset) &&
                              c.bits - floor <= excessLimit;
            if (!kept && !isBest) {
                if (c.source == Candidate::Followed)
                    stopFollowing(c);
                continue;
            }
            // A copy from the last offset comes after its offset's own
            // literals, made nodes only once a block is chained to them.
            const int from = c.from == kOwnState && isBest ? literalsNode(followed(c.run)) : c.from;
            const int node = isBest ? addNode({c.bits, from, at, static_cast<std::uint16_t>(c.literals ? 0 : c.offset)}) : -1;
            if (isBest)
                bestOfKind = node;
            if (kept)
                keepFollowing(c, {c.bits, from, at, node});
            else if (c.source == Candidate::Followed)
                stopFollowing(c);
        }
        std::erase_if(followed_, [](const Followed& state) { return !state.on; });
        literalFloor_[static_cast<std::size_t>(at)] = literalFloor;
        if (followed_.size() > 2 * kLimits.kept)
            keepClosest(at);
        const int bestCopy = bestOfKinds[0];
        const int bestLiterals = bestOfKinds[1];
        bestCopy_[static_cast<std::size_t>(at)] = bestCopy;
        const int best =
            bestCopy >= 0 && (bestLiterals < 0 || bitsOf(bestCopy) <= bitsOf(bestLiterals)) ? bestCopy : bestLiterals;
        assert(best >= 0);
        best_[static_cast<std::size_t>(at)] = best;
        bestBits_[static_cast<std::size_t>(at)] = bitsOf(best);
    }

    // How far above the cheapest state of its kind an offset's state may be
    // and still be followed, so that at most kLimits.followed offsets are (a
    // few more on ties).
    int followLimit(int copyFloor, int literalFloor) const
    {
        // Counted by excess, as a selection's partitions are mispredicted
        // branches; an excess past the last count is never kept anyway.
        static_assert(mostSaved(kMaxOffset) < kExcessCounts - 1);
        if constexpr (kLimits.followed >= kNoLimit)
            return INT_MAX;
        std::array<int, kExcessCounts> counts{};
        int states = 0;
        for (const Candidate& c : candidates_) {
            if (c.source == Candidate::AnyCopy)
                continue;
            const int excess = c.bits - (c.literals ? literalFloor : copyFloor);
            ++counts[static_cast<std::size_t>(std::min(excess, kExcessCounts - 1))];
            ++states;
        }
        if (states <= kLimits.followed)
            return INT_MAX;
        int closer = 0;
        for (int excess = 0;; ++excess) {
            closer += counts[static_cast<std::size_t>(excess)];
            if (closer >= kLimits.followed)
                return excess;
        }
    }

    // Between matches, an offset's literals so far against the cheapest
    // literals here: the furthest above are dropped, in batches so that
    // each is ranked only now and then.
    void keepClosest(int at)
    {
        const int floor = literalFloor_[static_cast<std::size_t>(at)];
        excesses_.clear();
        for (const Followed& state : followed_)
            excesses_.push_back(state.run > 0 ? INT_MIN : state.copy.bits + literalBits(at - state.copy.end) - floor);
        ranked_.assign(excesses_.begin(), excesses_.end());
        const auto limit = ranked_.begin() + kLimits.kept - 1;
        std::nth_element(ranked_.begin(), limit, ranked_.end());
        const int most = *limit;
        int kept = 0;
        for (std::size_t place = 0; place < followed_.size(); ++place) {
            const int excess = excesses_[place];
            if (excess > most || (excess == most && kept >= kLimits.kept) || excess >= mostSaved(followed_[place].offset))
                stop(followed_[place]);
            else
                ++kept;
        }
        std::erase_if(followed_, [](const Followed& state) { return !state.on; });
    }

    // The cheapest of each kind is kept by index rather than by branch:
    // which kind a candidate is follows no pattern.
    void offer(const Candidate& candidate)
    {
        candidates_.push_back(candidate);
        int& cheapest = floors_[candidate.literals ? 1 : 0];
        cheapest = std::min(cheapest, candidate.bits);
    }

    // A thorough parse makes tens of millions of nodes, most of them for
    // offsets dropped soon after; only those a state can still chain back
    // to are kept, renumbered in the order they were made, once there are
    // twice as many as last time.
    void dropUnreachableNodes(int at)
    {
        if (nodes_.size() < nodeCeiling_)
            return;
        std::vector<int> renumbered(nodes_.size(), -1);
        const auto mark = [&](int node) {
            for (; node >= 0 && renumbered[static_cast<std::size_t>(node)] < 0; node = nodes_[static_cast<std::size_t>(node)].from)
                renumbered[static_cast<std::size_t>(node)] = 0;
        };
        const auto eachRoot = [&](const auto& visit) {
            for (int q = std::max(0, at - kMaxLength - 1); q <= at; ++q) {
                visit(best_[static_cast<std::size_t>(q)]);
                visit(bestCopy_[static_cast<std::size_t>(q)]);
            }
            for (Followed& state : followed_)
                for (Pending* pending : {&state.copy, &state.literals, &state.beforeLiterals}) {
                    visit(pending->node);
                    visit(pending->from);
                }
        };
        mark(0);  // the start, where every chain ends
        eachRoot([&](int& node) { mark(node); });
        std::deque<Node> kept;
        for (std::size_t index = 0; index < nodes_.size(); ++index) {
            if (renumbered[index] < 0)
                continue;
            Node node = nodes_[index];
            assert(node.from < static_cast<int>(index));  // so the block before is renumbered already
            if (node.from >= 0)
                node.from = renumbered[static_cast<std::size_t>(node.from)];
            renumbered[index] = static_cast<int>(kept.size());
            kept.push_back(node);
        }
        nodes_ = std::move(kept);
        eachRoot([&](int& node) {
            if (node >= 0)
                node = renumbered[static_cast<std::size_t>(node)];
        });
        // Older positions are never read again; their nodes may be gone.
        std::fill(best_.begin(), best_.begin() + std::max(0, at - kMaxLength - 1), -1);
        std::fill(bestCopy_.begin(), bestCopy_.begin() + std::max(0, at - kMaxLength - 1), -1);
        nodeCeiling_ = std::max(kNodesBeforeDropping, 2 * nodes_.size());
    }

    int addNode(const Node& node)
    {
        nodes_.push_back(node);
        return static_cast<int>(nodes_.size()) - 1;
    }

    // The node of a followed offset's literals, which its copy from the
    // last offset comes after.
    int literalsNode(Followed& record)
    {
        Pending& state = record.literals;
        if (state.node < 0) {
            Pending& copy = record.beforeLiterals;
            if (copy.node < 0)
                copy.node = addNode({copy.bits, copy.from, copy.end, static_cast<std::uint16_t>(record.offset)});
            state.node = addNode({state.bits, copy.node, state.end, 0});
        }
        return state.node;
    }

    void stopFollowing(const Candidate& c)
    {
        followed(c.run).on = false;
        on_[c.offset] = false;
    }

    void keepFollowing(const Candidate& c, const Pending& state)
    {
        if (c.source == Candidate::NewOffset || c.source == Candidate::RejoinedOffset) {
            if (on_[c.offset])
                return;
            follow(c.offset, state, c.run);
            if (c.source == Candidate::RejoinedOffset)
                followRejoinedLiterals(followed_.back(), c.from);
            return;
        }
        followed(c.run).copy = state;
    }

    // A rejoined offset's copy from the last offset goes on as its match
    // does, after the literals of its chain.
    void followRejoinedLiterals(Followed& record, int literalsNode)
    {
        const Node& literals = nodes_[static_cast<std::size_t>(literalsNode)];
        const Node& copy = nodes_[static_cast<std::size_t>(literals.from)];
        record.hasLiterals = true;
        record.literals = {literals.bits, literals.from, literals.end, literalsNode};
        record.beforeLiterals = {copy.bits, copy.from, copy.end, literals.from};
    }

    void follow(int offset, const Pending& copy, int run)
    {
        followed_.push_back({offset, copy, {}, {}, false, run, true});
        on_[static_cast<std::size_t>(offset)] = true;
    }

    std::span<const std::uint8_t> data_;
    std::deque<Node> nodes_;  // grows in chunks, never moved, until unreachable ones are dropped
    static constexpr std::size_t kNodesBeforeDropping = std::size_t{1} << 20;
    std::size_t nodeCeiling_ = kNodesBeforeDropping;
    std::vector<int> best_;      // the cheapest node at each position
    std::vector<int> bestBits_;  // and its bits, read for every new copy's every length
    std::vector<int> bestCopy_;  // the cheapest node ending in a copy, -1 when none
    std::vector<int> literalFloor_;  // the bits of the cheapest literals at each position
    std::vector<int> excesses_;  // of each followed offset, when the furthest are dropped
    std::vector<int> ranked_;
    std::vector<std::size_t> changing_;  // the followed offsets with work at this byte
    std::vector<Followed> followed_;  // in the order they were taken up
    std::vector<std::uint8_t> on_;  // whether each offset is followed
    std::vector<Candidate> candidates_;
    std::uint64_t statesWeighed_ = 0;
    std::array<int, 2> floors_{};  // the cheapest copy and literals among them
    std::vector<std::pair<int, int>> runStarts_;  // value and position of copy states literals may follow
    std::size_t runStartsHead_ = 0;
    std::vector<std::pair<int, int>> newOffsets_;  // match length, offset
    std::array<std::pair<int, int>, kMaxLength + 1> newCopy_{};
    int newCopyAt_ = 0;
    int newCopyLongest_ = 0;
    int newCopyKnown_ = 0;
    MatchLengths matches_;
};

// The blocks of the cheapest parse, first to last.
std::vector<Node> chain(const std::deque<Node>& nodes, int last)
{
    std::vector<Node> blocks;
    for (int index = last; nodes[static_cast<std::size_t>(index)].from >= 0; index = nodes[static_cast<std::size_t>(index)].from)
        blocks.push_back(nodes[static_cast<std::size_t>(index)]);
    std::reverse(blocks.begin(), blocks.end());
    return blocks;
}

void writeNewCopy(StreamWriter& out, int offset, int length)
{
    out.bit(1);
    out.elias((offset - 1) / 128 + 1);
    out.byte(static_cast<std::uint8_t>(((offset - 1) % 128) << 1));
    out.nextBitIntoOffsetByte();
    out.elias(length == 1 ? 256 : length - 1);
}

// The stream of the blocks chained back from node `end`.
std::vector<std::uint8_t> writeStream(std::span<const std::uint8_t> data, const std::deque<Node>& nodes, int end)
{
    StreamWriter out;
    int at = 0;
    int lastOffset = 1;
    bool afterLiterals = false;
    bool first = true;
    for (const Node& block : chain(nodes, end)) {
        const int length = block.end - at;
        if (block.offset == 0) {
            if (!first)
                out.bit(0);
            out.elias(length);
            for (int i = 0; i < length; ++i)
                out.byte(data[static_cast<std::size_t>(at + i)]);
            afterLiterals = true;
        } else if (afterLiterals && block.offset == lastOffset) {
            out.bit(0);
            out.elias(length);
            afterLiterals = false;
        } else {
            writeNewCopy(out, block.offset, length);
            lastOffset = block.offset;
            afterLiterals = false;
        }
        first = false;
        at = block.end;
    }
    assert(at == static_cast<int>(data.size()));
    out.bit(1);
    out.elias(256);
    return out.take();
}

template <ParseLimits kLimits>
std::vector<std::uint8_t> parseAndWrite(std::span<const std::uint8_t> data, Zx02Work* work)
{
    Parser<kLimits> parser(data);
    const int end = parser.run();
    if (work != nullptr)
        work->statesWeighed = parser.statesWeighed();
    return writeStream(data, parser.nodes(), end);
}

}  // namespace

std::vector<std::uint8_t> zx02Compress(std::span<const std::uint8_t> data, Zx02Search search, Zx02Work* work)
{
    assert(!data.empty());
    return search == Zx02Search::Thorough ? parseAndWrite<kThoroughLimits>(data, work)
                                          : parseAndWrite<kQuickLimits>(data, work);
}
