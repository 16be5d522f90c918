#include "walk/WalkText.h"

#include <limits>

#include "core/TextTokens.h"

namespace walk {

namespace {

using Tokens = std::vector<TextToken>;

bool Number(const Tokens& tokens, size_t i, const char* what, int32_t& value, std::string& reason) {
    int64_t v = 0;
    if (i >= tokens.size() || tokens[i].quoted || !ParseInteger(tokens[i].text, v) ||
        v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
        reason = std::string(what) + " takes 32-bit numbers";
        return false;
    }
    value = static_cast<int32_t>(v);
    return true;
}

// Exactly `count` numbers after the keyword.
bool Numbers(const Tokens& tokens, size_t from, size_t count, const char* what,
             std::vector<int32_t>& out, std::string& reason) {
    if (tokens.size() != from + count && count != 0) {
        reason = std::string("'") + what + "' takes " + std::to_string(count) + " numbers";
        return false;
    }
    out.clear();
    for (size_t i = from; i < tokens.size(); ++i) {
        int32_t v = 0;
        if (!Number(tokens, i, what, v, reason)) return false;
        out.push_back(v);
    }
    return true;
}

class AreaReader {
public:
    bool Statement(const Tokens& tokens, std::string& reason);
    WalkArea area;

private:
    bool Point(const Tokens& tokens, std::string& reason);
    bool Outline(std::string& reason);
    bool Rib(const Tokens& tokens, std::string& reason);
    bool Convex(const Tokens& tokens, std::string& reason);
    bool ConvexByPoints(const std::vector<int32_t>& loop, std::string& reason);
    int32_t RibBetween(int32_t a, int32_t b);

    bool inTrailing_ = false;
};

bool AreaReader::Statement(const Tokens& tokens, std::string& reason) {
    if (tokens.empty()) return true;
    const std::string& keyword = tokens[0].quoted ? std::string() : tokens[0].text;
    if (keyword == "trailing") {
        inTrailing_ = true;
        return ReadTrailingLine(tokens, area.trailing, reason);
    }
    if (inTrailing_) {
        reason = "'" + tokens[0].text + "' after the trailing bytes";
        return false;
    }
    if (keyword == "point") return Point(tokens, reason);
    if (keyword == "outline") return Outline(reason);
    if (keyword == "rib") return Rib(tokens, reason);
    if (keyword == "convex") return Convex(tokens, reason);
    reason = "unknown statement '" + tokens[0].text + "' (point, outline, rib, convex or trailing)";
    return false;
}

bool AreaReader::Point(const Tokens& tokens, std::string& reason) {
    if (!area.ribs.empty() || !area.convexes.empty()) {
        reason = "points come before the ribs and convexes";
        return false;
    }
    std::vector<int32_t> v;
    if (!Numbers(tokens, 1, 2, "point", v, reason)) return false;
    area.points.push_back(platform::Point{v[0], v[1]});
    return true;
}

bool AreaReader::Outline(std::string& reason) {
    if (!area.ribs.empty() || area.points.size() < 3) {
        reason = "'outline' comes after three points or more and before every other rib";
        return false;
    }
    const auto n = static_cast<int32_t>(area.points.size());
    for (int32_t i = 0; i < n; ++i)
        area.ribs.push_back(walk::Rib{i, (i + 1) % n});
    return true;
}

bool AreaReader::Rib(const Tokens& tokens, std::string& reason) {
    if (!area.convexes.empty()) {
        reason = "ribs come before the convexes";
        return false;
    }
    std::vector<int32_t> v;
    if (!Numbers(tokens, 1, 2, "rib", v, reason)) return false;
    area.ribs.push_back(walk::Rib{v[0], v[1]});
    return true;
}

int32_t AreaReader::RibBetween(int32_t a, int32_t b) {
    for (size_t r = 0; r < area.ribs.size(); ++r) {
        const walk::Rib& rib = area.ribs[r];
        if ((rib.a == a && rib.b == b) || (rib.a == b && rib.b == a))
            return static_cast<int32_t>(r);
    }
    area.ribs.push_back(walk::Rib{a, b});
    return static_cast<int32_t>(area.ribs.size() - 1);
}

bool AreaReader::ConvexByPoints(const std::vector<int32_t>& loop, std::string& reason) {
    if (loop.size() < 3) {
        reason = "'convex points' takes the three or more points of the convex's loop";
        return false;
    }
    for (int32_t p : loop)
        if (p < 0 || p >= static_cast<int32_t>(area.points.size())) {
            reason = "point " + std::to_string(p) + " is not defined (points 0.." +
                     std::to_string(area.points.size() - 1) + ")";
            return false;
        }
    std::vector<int32_t> ribs;
    for (size_t i = 0; i < loop.size(); ++i)
        ribs.push_back(RibBetween(loop[i], loop[(i + 1) % loop.size()]));
    area.convexes.push_back(std::move(ribs));
    return true;
}

bool AreaReader::Convex(const Tokens& tokens, std::string& reason) {
    const bool byPoints = tokens.size() > 1 && !tokens[1].quoted && tokens[1].text == "points";
    std::vector<int32_t> v;
    if (!Numbers(tokens, byPoints ? 2 : 1, 0, "convex", v, reason)) return false;
    if (byPoints) return ConvexByPoints(v, reason);
    area.convexes.push_back(std::move(v));
    return true;
}

// "KEYWORD N N ...", padded, with the index (and a note) as a comment.
std::string Line(const char* keyword, const std::vector<int32_t>& numbers, size_t index,
                 const char* note = nullptr) {
    std::string line = keyword;
    for (int32_t n : numbers) {
        line += ' ';
        line += std::to_string(n);
    }
    line.resize(std::max<size_t>(line.size(), 28), ' ');
    line += "# ";
    line += std::to_string(index);
    if (note != nullptr) {
        line += ' ';
        line += note;
    }
    line += '\n';
    return line;
}

} // namespace

std::string WalkAreaToText(const WalkArea& area) {
    std::string out = "# walk area: " + std::to_string(area.points.size()) + " points, " +
                      std::to_string(area.ribs.size()) + " ribs, " +
                      std::to_string(area.convexes.size()) + " convexes\n";
    for (const std::string& problem : CheckWalkArea(area)) {
        out += "# warning: ";
        out += problem;
        out += '\n';
    }
    for (size_t i = 0; i < area.points.size(); ++i)
        out += Line("point", {area.points[i].x, area.points[i].y}, i);
    for (size_t i = 0; i < area.ribs.size(); ++i)
        out += Line("rib", {area.ribs[i].a, area.ribs[i].b}, i,
                    i < area.points.size() ? "outline" : nullptr);
    for (size_t i = 0; i < area.convexes.size(); ++i)
        out += Line("convex", area.convexes[i], i);
    out += TrailingLines(area.trailing);
    return out;
}

bool WalkAreaFromText(std::string_view text, WalkArea& out, std::string& error) {
    AreaReader reader;
    const bool ok = ReadTextLines(
        text, [&](const Tokens& t, std::string& reason) { return reader.Statement(t, reason); },
        error);
    if (ok) out = std::move(reader.area);
    return ok;
}

std::string StepTableToText(const StepTable& table) {
    std::string out = "# step table: " + std::to_string(table.records.size()) + " records\n";
    if (table.header) out += "header " + std::to_string(*table.header) + "\n";
    for (size_t i = 0; i < table.records.size(); ++i)
        out += Line("step", {table.records[i].x, table.records[i].y}, i);
    out += TrailingLines(table.trailing);
    return out;
}

bool StepTableFromText(std::string_view text, StepTable& out, std::string& error) {
    StepTable table;
    bool inTrailing = false;
    auto statement = [&](const Tokens& tokens, std::string& reason) {
        if (tokens.empty()) return true;
        const std::string& keyword = tokens[0].quoted ? std::string() : tokens[0].text;
        if (keyword == "trailing") {
            inTrailing = true;
            return ReadTrailingLine(tokens, table.trailing, reason);
        }
        std::vector<int32_t> v;
        if (inTrailing) {
            reason = "'" + tokens[0].text + "' after the trailing bytes";
        } else if (keyword == "header") {
            if (table.header || !table.records.empty()) {
                reason = "one 'header', before the steps";
                return false;
            }
            if (!Numbers(tokens, 1, 1, "header", v, reason)) return false;
            table.header = v[0];
            return true;
        } else if (keyword == "step") {
            if (!table.header) {
                reason = "'step' needs the 'header' line before it";
                return false;
            }
            if (!Numbers(tokens, 1, 2, "step", v, reason)) return false;
            table.records.push_back(platform::Point{v[0], v[1]});
            return true;
        } else {
            reason = "unknown statement '" + tokens[0].text + "' (header, step or trailing)";
        }
        return false;
    };
    if (!ReadTextLines(text, statement, error)) return false;
    out = std::move(table);
    return true;
}

} // namespace walk
