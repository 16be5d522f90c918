// tarvo-tool walk dump|build|path|render: walk areas (".cvx"); cycle dump|build|info: the
// walk-cycle step tables ("off" and "leg").
#include "tools/Command.h"

#include "core/TextTokens.h"
#include "graphics/PictureConvert.h"
#include "platform/PixelFormat.h"
#include "platform/Png.h"
#include "resources/FileAccess.h"
#include "walk/PathSearch.h"
#include "walk/WalkDrawing.h"
#include "walk/WalkText.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tools {

namespace {

using platform::Point;

std::string TextOf(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

walk::WalkArea ReadArea(const std::string& file) {
    walk::WalkArea area;
    std::string error;
    if (!walk::ParseWalkArea(ReadFileBytes(file), area, error))
        throw Failure(file + ": not a valid walk area: " + error);
    return area;
}

// The area for the search: one with index faults would make it read outside its tables.
walk::WalkArea ReadSearchableArea(const std::string& file) {
    walk::WalkArea area = ReadArea(file);
    if (const std::string fault = walk::IndexFault(area); !fault.empty())
        throw Failure(file + ": " + fault);
    return area;
}

int32_t Coordinate(const std::string& text) {
    int64_t v = 0;
    if (!ParseInteger(text, v) || v < -100000 || v > 100000)
        throw Failure("'" + text + "' is not a coordinate");
    return static_cast<int32_t>(v);
}

void Dump(const Invocation& in) {
    in.out << walk::WalkAreaToText(ReadArea(in.args[0]));
}

void Build(const Invocation& in) {
    const std::string& textFile = in.args[0];
    walk::WalkArea area;
    std::string error;
    if (!walk::WalkAreaFromText(TextOf(ReadFileBytes(textFile)), area, error))
        throw Failure(textFile + ":" + error);
    const std::vector<std::string> problems = walk::CheckWalkArea(area);
    if (in.Has("--strict") && !problems.empty()) {
        std::string all;
        for (const std::string& p : problems)
            all += (all.empty() ? "" : "; ") + p;
        throw Failure(textFile + ": " + all);
    }
    WriteFileBytes(in.args[1], walk::WriteWalkArea(area));
    in.out << in.args[1] << ": " << area.points.size() << " points, " << area.ribs.size()
           << " ribs, " << area.convexes.size() << " convexes\n";
    for (const std::string& p : problems)
        in.out << "warning: " << p << "\n";
}

struct Found {
    walk::Path path;
    std::vector<std::string> warnings;
};

Found Search(const walk::WalkArea& area, Point from, Point to) {
    Found found;
    walk::PathSearch search(area, [&](const std::string& m) { found.warnings.push_back(m); });
    found.path = search.FindPath(from, to);
    return found;
}

void Path(const Invocation& in) {
    const walk::WalkArea area = ReadSearchableArea(in.args[0]);
    const Point from{Coordinate(in.args[1]), Coordinate(in.args[2])};
    const Point to{Coordinate(in.args[3]), Coordinate(in.args[4])};
    const Found found = Search(area, from, to);
    for (const Point& p : found.path.points)
        in.out << "point " << p.x << " " << p.y << "\n";
    in.out << "target " << found.path.target.x << " " << found.path.target.y << "\n";
    for (std::string w : found.warnings) {
        for (char& c : w)
            if (c == '\n') c = ' ';
        in.out << "warning: " << w << "\n";
    }
}

// An RGB picture drawn over with the parts of the area.
class Canvas {
public:
    Canvas(int width, int height, std::vector<uint8_t> rgb)
        : width_(width), height_(height), rgb_(std::move(rgb)) {}

    platform::Rect Bounds() const { return platform::Rect{0, 0, width_, height_}; }
    // Mixes `colour` (0xRRGGBB) into the pixel by `amount` (0..1).
    walk::Plot Brush(uint32_t colour, double amount) {
        return [this, colour, amount](int x, int y) {
            uint8_t* p = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
            for (int c = 0; c < 3; ++c) {
                const double want = (colour >> (16 - 8 * c)) & 0xFF;
                p[c] = static_cast<uint8_t>(std::lround(p[c] + (want - p[c]) * amount));
            }
        };
    }
    // A square of side 2r + 1 round p.
    void Dot(Point p, int r, uint32_t colour) {
        const walk::Plot plot = Brush(colour, 1.0);
        for (int y = p.y - r; y <= p.y + r; ++y)
            for (int x = p.x - r; x <= p.x + r; ++x)
                if (Bounds().Contains(x, y)) plot(x, y);
    }
    // A line `thickness` pixels wide.
    void Line(Point a, Point b, int thickness, uint32_t colour) {
        for (int d = 0; d < thickness; ++d)
            walk::DrawLine(Point{a.x + d, a.y}, Point{b.x + d, b.y}, Bounds(), Brush(colour, 1.0));
    }
    const std::vector<uint8_t>& Rgb() const { return rgb_; }

private:
    int width_;
    int height_;
    std::vector<uint8_t> rgb_;
};

Canvas PictureCanvas(const std::string& file) {
    graphics::DibImage image;
    std::string error;
    if (!graphics::DecodePicture(ReadFileBytes(file), image, error))
        throw Failure(file + ": " + error);
    std::vector<platform::Pixel> pixels(static_cast<size_t>(image.width) * image.height);
    if (!graphics::DibToPixels(image, platform::ShiftsFromFormat(platform::kFormat565),
                               pixels.data(), image.width))
        throw Failure(file + ": picture cannot be converted");
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        platform::Rgb565ToRgb888(pixels[i], rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    return Canvas(image.width, image.height, std::move(rgb));
}

std::vector<int32_t> PathOption(const std::string& text) {
    std::vector<int32_t> values;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        values.push_back(Coordinate(text.substr(start, comma - start)));
        start = comma + 1;
    }
    if (values.size() != 4) throw Failure("--path takes X1,Y1,X2,Y2");
    return values;
}

void Render(const Invocation& in) {
    const walk::WalkArea area = ReadSearchableArea(in.args[0]);
    Canvas canvas = PictureCanvas(in.args[1]);
    // Convexes tinted in turn, interior ribs thin, the outline thick.
    constexpr uint32_t kTints[] = {0x40C0FF, 0x60FF80, 0xFFB040, 0xE070FF};
    for (size_t c = 0; c < area.convexes.size(); ++c) {
        std::vector<Point> loop;
        for (int32_t p : walk::ConvexPoints(area, c))
            loop.push_back(area.points[static_cast<size_t>(p)]);
        walk::FillConvex(loop, canvas.Bounds(), canvas.Brush(kTints[c % 4], 0.35));
    }
    const walk::AreaLines lines = walk::LinesOf(area);
    for (const auto& [a, b] : lines.interior)
        canvas.Line(a, b, 1, 0x00FFFF);
    for (const auto& [a, b] : lines.outline)
        canvas.Line(a, b, 2, 0xFFFF00);
    std::string summary;
    if (in.Has("--path")) {
        const std::vector<int32_t> v = PathOption(in.Get("--path"));
        const Found found = Search(area, Point{v[0], v[1]}, Point{v[2], v[3]});
        const std::vector<Point>& points = found.path.points;
        for (size_t i = 1; i < points.size(); ++i)
            canvas.Line(points[i - 1], points[i], 2, 0xFF2020);
        for (const Point& p : points)
            canvas.Dot(p, 2, 0xFFFFFF);
        summary = ", a path of " + std::to_string(points.size()) + " points";
    }
    const std::string& png = in.args[2];
    const platform::Rect b = canvas.Bounds();
    if (!platform::WritePngRgb(png, b.right, b.bottom, canvas.Rgb()))
        throw Failure("cannot write " + png);
    in.out << png << ": " << area.convexes.size() << " convexes" << summary << "\n";
}

walk::StepTable ReadTable(const std::string& file) {
    return walk::ParseStepTable(ReadFileBytes(file));
}

void CycleDump(const Invocation& in) {
    in.out << walk::StepTableToText(ReadTable(in.args[0]));
}

void CycleBuild(const Invocation& in) {
    const std::string& textFile = in.args[0];
    walk::StepTable table;
    std::string error;
    if (!walk::StepTableFromText(TextOf(ReadFileBytes(textFile)), table, error))
        throw Failure(textFile + ":" + error);
    WriteFileBytes(in.args[1], walk::WriteStepTable(table));
    in.out << in.args[1] << ": " << table.records.size() << " records\n";
}

// The 16 files of a cycle as the game reads them: loose files named after BASE.
void CycleInfo(const Invocation& in) {
    const std::string& base = in.args[0];
    for (const walk::Direction& d : walk::kDirections) {
        const std::string stem = base + d.suffix;
        std::vector<uint8_t> off, leg;
        const bool hasOff = FileReadAll((stem + "off").c_str(), off);
        const bool hasLeg = FileReadAll((stem + "leg").c_str(), leg);
        const walk::DirectionCycle c =
            walk::BuildDirectionCycle(walk::ParseStepTable(off), walk::ParseStepTable(leg));
        char line[160];
        if (!c.Usable()) {
            std::snprintf(line, sizeof line, "%-2s cannot be walked (%s)\n", d.name,
                          !hasOff   ? "no off file"
                          : !hasLeg ? "no leg file"
                                    : "too few records");
        } else {
            Point sum{};
            for (int i = 1; i <= c.frameCount; ++i) {
                sum.x += c.motion[static_cast<size_t>(i)].x;
                sum.y += c.motion[static_cast<size_t>(i)].y;
            }
            char slope[64] = "upright (the walk cannot turn onto a path)";
            if (!c.upright)
                std::snprintf(slope, sizeof slope, "%.4f", c.slope == 0 ? 0.0 : c.slope);
            std::snprintf(line, sizeof line, "%-2s %d frames, %d %d per cycle, slope %s\n", d.name,
                          c.frameCount, sum.x, sum.y, slope);
        }
        in.out << line;
    }
}

} // namespace

CommandGroup WalkCommands() {
    CommandGroup group{
        "walk", "Walk areas (.cvx): outline, convexes, ribs; paths through them.", {}};
    group.commands.push_back(Command{
        "dump",
        "FILE.cvx",
        "print a walk area as text",
        "One line per point ('point X Y'), per rib ('rib A B', joining points by index) and per\n"
        "convex ('convex R R ...', its ribs by index), then any bytes after the rib lists.\n"
        "Problems an author should fix come first, as '# warning:' comments. 'walk build' turns\n"
        "the text back into the same bytes.",
        {},
        1,
        1,
        &Dump});
    group.commands.push_back(Command{
        "build",
        "TEXT OUT.cvx [--strict]",
        "write a walk area from its text form",
        "TEXT may be a dump or written by hand; by hand, 'outline' adds the ribs along the\n"
        "points and 'convex points P P P ...' gives a convex by the loop of its points (the\n"
        "format is described at the top of walk/WalkText.h). Problems are printed as warnings\n"
        "(the file is written all the same) unless --strict is given. Errors name the line.",
        {{"--strict", "", "refuse an area with problems instead of writing it"}},
        2,
        2,
        &Build});
    group.commands.push_back(Command{"path",
                                     "FILE.cvx X1 Y1 X2 Y2",
                                     "print the path the characters walk from X1,Y1 to X2,Y2",
                                     "One 'point X Y' line per path point, then 'target X Y': "
                                     "the target after\na click outside the area moved it onto "
                                     "the outline. Warnings about broken\ndata follow.",
                                     {},
                                     5,
                                     5,
                                     &Path});
    group.commands.push_back(Command{
        "render",
        "FILE.cvx ROOM.bmp OUT.png [--path X1,Y1,X2,Y2]",
        "draw the area over the room's picture",
        "The convexes are tinted in turn, the ribs between them drawn in cyan and the outline\n"
        "in yellow; with --path the path from X1,Y1 to X2,Y2 is drawn in red with its points.",
        {{"--path", "X1,Y1,X2,Y2", "also draw the path between two points"}},
        3,
        3,
        &Render});
    return group;
}

CommandGroup CycleCommands() {
    CommandGroup group{"cycle", "Walk-cycle step tables: NAME-w-DIR.off and NAME-w-DIR.leg.", {}};
    group.commands.push_back(Command{
        "dump",
        "FILE",
        "print a step table (an .off or .leg file) as text",
        "'header H' (the first word, which the game ignores), then 'step X Y' per record:\n"
        "in .off files how far the picture moves into each frame, in .leg files where the\n"
        "feet are inside each frame. 'cycle build' turns the text back into the same bytes.",
        {},
        1,
        1,
        &CycleDump});
    group.commands.push_back(Command{"build",
                                     "TEXT OUT",
                                     "write a step table from its text form",
                                     "The format is described at the top of walk/WalkText.h. "
                                     "Errors name the line.",
                                     {},
                                     2,
                                     2,
                                     &CycleBuild});
    group.commands.push_back(Command{
        "info",
        "BASE",
        "check the eight directions of a walk cycle",
        "Reads BASE-w-n.off, BASE-w-n.leg, ... BASE-w-nw.leg and prints per direction its frames,\n"
        "how far one cycle carries the feet and the slope the walk turns from; directions the\n"
        "game cannot walk are named.",
        {},
        1,
        1,
        &CycleInfo});
    return group;
}

} // namespace tools
