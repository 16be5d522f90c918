#include "walk/Walk.h"

#include <algorithm>
#include <cctype>

#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"
#include "resources/QManager.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

walk::StepTable ReadTable(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (!FileReadAll(name.c_str(), bytes)) return walk::StepTable{};
    return walk::ParseStepTable(bytes);
}

} // namespace

Walk::Walk(int32_t resourceId, walk::ScaleAt scale) : motion_(cycle_, std::move(scale)) {
    const std::string name = g_manager != nullptr ? Lower(g_manager->GetFileName(resourceId)) : "";
    ReadCycle(name.substr(0, name.find("-w-n.")));
    search_ = std::make_unique<walk::PathSearch>(area_, [this](const std::string& m) { Warn(m); });
}

Walk::~Walk() {
    platform::Trace("~Walk\n");
}

void Walk::ReadCycle(const std::string& baseName) {
    for (size_t d = 0; d < cycle_.size(); ++d) {
        const std::string stem = baseName + walk::kDirections[d].suffix;
        const walk::StepTable offsets = ReadTable(stem + "off");
        const walk::StepTable anchors = ReadTable(stem + "leg");
        cycle_[d] = walk::BuildDirectionCycle(offsets, anchors);
        if (!cycle_[d].Usable())
            platform::Trace("Walk cycle %s: direction %s cannot be walked (%soff: %zu records, "
                            "%sleg: %zu)\n",
                            baseName.c_str(), walk::kDirections[d].name, stem.c_str(),
                            offsets.records.size(), stem.c_str(), anchors.records.size());
    }
}

void Walk::Warn(const std::string& message) {
    if (!warned_.insert(message).second) return;
    platform::ShowMessageBox(message, "Walk bug");
}

void Walk::LoadWalkArea(const std::string& imageName) {
    search_.reset();
    area_ = walk::WalkArea{};
    areaName_.clear();
    warned_.clear();
    auto searchHere = [this] {
        search_ =
            std::make_unique<walk::PathSearch>(area_, [this](const std::string& m) { Warn(m); });
    };
    if (imageName.size() < 4) return searchHere();
    std::string name = Lower(imageName);
    // Room pictures are BMP files; a picture of another kind gets its extension replaced.
    size_t cut = name.find(".bmp");
    if (cut == std::string::npos) cut = name.rfind('.');
    name = name.substr(0, cut) + ".cvx";
    std::vector<uint8_t> bytes;
    if (!FileReadAll(name.c_str(), bytes)) return searchHere();
    std::string error;
    walk::WalkArea area;
    if (!walk::ParseWalkArea(bytes, area, error)) {
        Warn("Walk area " + name + " cannot be read: " + error);
    } else if (const std::string fault = walk::IndexFault(area); !fault.empty()) {
        Warn("Walk area " + name + " is broken: " + fault);
    } else {
        area_ = std::move(area);
        areaName_ = name;
    }
    searchHere();
}

void Walk::FindPath(platform::Point start, platform::Point target) {
    walk::Path path = search_->FindPath(start, target);
    motion_.Start(std::move(path.points), path.target);
}
