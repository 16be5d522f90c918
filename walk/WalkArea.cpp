#include "walk/WalkArea.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace walk {

namespace {

// Whether `count` records of `size` bytes fit into `remaining` bytes: checked before anything
// is reserved, so that a huge count in a small file never allocates.
bool Fits(int64_t count, size_t size, size_t remaining) {
    return count >= 0 && count <= static_cast<int64_t>(remaining / size);
}

class Parser {
public:
    explicit Parser(std::span<const uint8_t> bytes) : in_(bytes) {}

    bool Run(WalkArea& out, std::string& error) {
        const bool ok = Points(out) && Ribs(out) && Convexes(out);
        if (!ok) {
            out = WalkArea{};
            error = error_;
            return false;
        }
        const std::span<const uint8_t> rest = in_.Bytes(in_.Remaining());
        out.trailing.assign(rest.begin(), rest.end());
        return true;
    }

private:
    bool Fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }

    // Reads a count of records of `size` bytes each, refusing one the file cannot hold.
    bool Count(const char* what, size_t size, int32_t& count) {
        const size_t at = in_.Tell();
        count = in_.I32();
        if (in_.Failed())
            return Fail("the file ends at byte " + std::to_string(at) + " where the " + what +
                        " count should be");
        if (count < 0)
            return Fail(std::string("the ") + what + " count is " + std::to_string(count) +
                        " (a count cannot be negative)");
        if (!Fits(count, size, in_.Remaining()))
            return Fail(std::to_string(count) + " " + what + "s do not fit in the " +
                        std::to_string(in_.Remaining()) + " bytes left (" + std::to_string(size) +
                        " bytes each)");
        return true;
    }

    bool Points(WalkArea& out) {
        int32_t count = 0;
        if (!Count("point", 8, count)) return false;
        out.points.resize(static_cast<size_t>(count));
        for (Point& p : out.points) {
            p.x = in_.I32();
            p.y = in_.I32();
        }
        return true;
    }

    bool Ribs(WalkArea& out) {
        int32_t count = 0;
        if (!Count("rib", 8, count)) return false;
        out.ribs.resize(static_cast<size_t>(count));
        for (Rib& r : out.ribs) {
            r.a = in_.I32();
            r.b = in_.I32();
        }
        return true;
    }

    bool Convexes(WalkArea& out) {
        int32_t count = 0;
        if (!Count("convex", 4, count)) return false;
        std::vector<int32_t> sizes(static_cast<size_t>(count));
        for (int32_t& n : sizes)
            n = in_.I32();
        int64_t total = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (sizes[i] < 0)
                return Fail("convex " + std::to_string(i) + " lists " + std::to_string(sizes[i]) +
                            " ribs (a count cannot be negative)");
            total += sizes[i];
        }
        if (!Fits(total, 4, in_.Remaining()))
            return Fail("the rib lists need " + std::to_string(total) + " indices but only " +
                        std::to_string(in_.Remaining()) + " bytes are left");
        out.convexes.resize(sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            out.convexes[i].resize(static_cast<size_t>(sizes[i]));
            for (int32_t& rib : out.convexes[i])
                rib = in_.I32();
        }
        return true;
    }

    platform::ByteReader in_;
    std::string error_;
};

std::string Text(const char* what, size_t index) {
    return std::string(what) + " " + std::to_string(index);
}

// Convex index pairs joined by a rib both list, with the rib; and every rib's listing count.
struct Listings {
    std::vector<int> count;                          // per rib: convexes listing it
    std::vector<std::vector<size_t>> listedBy;       // per rib: those convexes
    std::map<std::pair<size_t, size_t>, int> joined; // convex pair -> ribs shared
};

Listings ListRibs(const WalkArea& area) {
    Listings l;
    l.count.assign(area.ribs.size(), 0);
    l.listedBy.resize(area.ribs.size());
    for (size_t c = 0; c < area.convexes.size(); ++c) {
        std::vector<int32_t> ribs = area.convexes[c];
        std::sort(ribs.begin(), ribs.end());
        ribs.erase(std::unique(ribs.begin(), ribs.end()), ribs.end());
        for (int32_t r : ribs) {
            ++l.count[static_cast<size_t>(r)];
            l.listedBy[static_cast<size_t>(r)].push_back(c);
        }
    }
    for (const auto& by : l.listedBy)
        for (size_t i = 0; i < by.size(); ++i)
            for (size_t j = i + 1; j < by.size(); ++j)
                ++l.joined[{by[i], by[j]}];
    return l;
}

std::vector<int32_t> ConvexLoop(const WalkArea& area, const std::vector<int32_t>& ribs) {
    if (ribs.size() < 3) return {};
    std::vector<bool> used(ribs.size(), false);
    const Rib& first = area.ribs[static_cast<size_t>(ribs[0])];
    std::vector<int32_t> loop{first.a};
    int32_t at = first.b;
    used[0] = true;
    while (at != first.a) {
        loop.push_back(at);
        bool stepped = false;
        for (size_t i = 0; i < ribs.size() && !stepped; ++i) {
            const Rib& r = area.ribs[static_cast<size_t>(ribs[i])];
            if (used[i] || (r.a != at && r.b != at)) continue;
            used[i] = stepped = true;
            at = r.a == at ? r.b : r.a;
        }
        if (!stepped) return {};
    }
    if (std::find(used.begin(), used.end(), false) != used.end()) return {};
    return loop;
}

// Whether the loop turns the same way at every corner (straight corners allowed).
bool TurnsOneWay(const WalkArea& area, const std::vector<int32_t>& loop) {
    int sign = 0;
    for (size_t i = 0; i < loop.size(); ++i) {
        const Point a = area.points[static_cast<size_t>(loop[i])];
        const Point b = area.points[static_cast<size_t>(loop[(i + 1) % loop.size()])];
        const Point c = area.points[static_cast<size_t>(loop[(i + 2) % loop.size()])];
        // In doubles: only the sign counts, and products of 32-bit differences overflow.
        const double cross = (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - b.y) -
                             (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - b.x);
        const int turn = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (turn == 0) continue;
        if (sign != 0 && turn != sign) return false;
        sign = turn;
    }
    return true;
}

void CheckOutline(const WalkArea& area, std::vector<std::string>& out) {
    const size_t n = area.points.size();
    if (n < 3) out.push_back("the outline has " + std::to_string(n) + " points (at least 3)");
    auto edge = [](int32_t a, int32_t b) { return std::pair{std::min(a, b), std::max(a, b)}; };
    std::vector<std::pair<int32_t, int32_t>> edges, outlineRibs;
    for (size_t i = 0; i < n; ++i)
        edges.push_back(edge(static_cast<int32_t>(i), static_cast<int32_t>((i + 1) % n)));
    for (size_t i = 0; i < n; ++i)
        outlineRibs.push_back(edge(area.ribs[i].a, area.ribs[i].b));
    std::sort(edges.begin(), edges.end());
    std::sort(outlineRibs.begin(), outlineRibs.end());
    if (edges != outlineRibs)
        out.push_back("ribs 0.." + std::to_string(n - 1) +
                      " are not the outline's edges (each point to the next, the last to the "
                      "first)");
}

void CheckConvexes(const WalkArea& area, const Listings& l, std::vector<std::string>& out) {
    for (size_t c = 0; c < area.convexes.size(); ++c) {
        const std::vector<int32_t> loop = ConvexPoints(area, c);
        if (loop.empty())
            out.push_back(Text("convex", c) + ": its ribs do not close into one loop");
        else if (!TurnsOneWay(area, loop))
            out.push_back(Text("convex", c) + " is not convex");
    }
    for (size_t r = 0; r < area.ribs.size(); ++r) {
        const int wanted = r < area.points.size() ? 1 : 2;
        if (l.count[r] != wanted)
            out.push_back(Text(r < area.points.size() ? "outline rib" : "interior rib", r) +
                          " is listed by " + std::to_string(l.count[r]) + " convexes (" +
                          std::to_string(wanted) + " expected)");
    }
    for (const auto& [pair, ribs] : l.joined)
        if (ribs > 1)
            out.push_back(Text("convexes", pair.first) + " and " + std::to_string(pair.second) +
                          " share " + std::to_string(ribs) + " ribs (one expected)");
}

// The convexes must form one tree: joined, without cycles.
void CheckTree(const WalkArea& area, const Listings& l, std::vector<std::string>& out) {
    const size_t n = area.convexes.size();
    if (n == 0) {
        out.push_back("the area has no convexes");
        return;
    }
    std::vector<size_t> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](size_t c) {
        while (parent[c] != c)
            c = parent[c] = parent[parent[c]];
        return c;
    };
    bool cycle = false;
    size_t groups = n;
    for (const auto& [pair, ribs] : l.joined) {
        const size_t a = root(pair.first), b = root(pair.second);
        if (a == b) {
            cycle = true;
        } else {
            parent[a] = b;
            --groups;
        }
    }
    if (groups > 1)
        out.push_back("the convexes fall into " + std::to_string(groups) +
                      " groups that share no rib (some places cannot be reached)");
    if (cycle) out.push_back("the convexes form a cycle (they should form a tree)");
}

} // namespace

bool ParseWalkArea(std::span<const uint8_t> bytes, WalkArea& out, std::string& error) {
    return Parser(bytes).Run(out, error);
}

std::vector<uint8_t> WriteWalkArea(const WalkArea& area) {
    platform::ByteWriter w;
    w.I32(static_cast<int32_t>(area.points.size()));
    for (const Point& p : area.points) {
        w.I32(p.x);
        w.I32(p.y);
    }
    w.I32(static_cast<int32_t>(area.ribs.size()));
    for (const Rib& r : area.ribs) {
        w.I32(r.a);
        w.I32(r.b);
    }
    w.I32(static_cast<int32_t>(area.convexes.size()));
    for (const auto& ribs : area.convexes)
        w.I32(static_cast<int32_t>(ribs.size()));
    for (const auto& ribs : area.convexes)
        for (int32_t r : ribs)
            w.I32(r);
    w.Bytes(area.trailing);
    return w.Take();
}

std::vector<int32_t> ConvexPoints(const WalkArea& area, size_t convex) {
    return ConvexLoop(area, area.convexes[convex]);
}

std::string IndexFault(const WalkArea& area) {
    const auto points = static_cast<int64_t>(area.points.size());
    const auto ribs = static_cast<int64_t>(area.ribs.size());
    for (size_t r = 0; r < area.ribs.size(); ++r) {
        const Rib& rib = area.ribs[r];
        for (int32_t end : {rib.a, rib.b})
            if (end < 0 || end >= points)
                return Text("rib", r) + " joins point " + std::to_string(end) +
                       ", but the area has " + std::to_string(points) + " points";
    }
    for (size_t c = 0; c < area.convexes.size(); ++c)
        for (int32_t r : area.convexes[c])
            if (r < 0 || r >= ribs)
                return Text("convex", c) + " lists rib " + std::to_string(r) +
                       ", but the area has " + std::to_string(ribs) + " ribs";
    if (ribs < points)
        return "the area has " + std::to_string(ribs) + " ribs, fewer than its " +
               std::to_string(points) + " outline points";
    return "";
}

std::vector<std::string> CheckWalkArea(const WalkArea& area) {
    std::vector<std::string> out;
    if (const std::string fault = IndexFault(area); !fault.empty()) {
        out.push_back(fault);
        return out; // the shape checks below index the tables
    }
    const Listings listings = ListRibs(area);
    CheckOutline(area, out);
    CheckConvexes(area, listings, out);
    CheckTree(area, listings, out);
    return out;
}

} // namespace walk
