#include "platform/Input.h"

#include <charconv>
#include <cstdio>
#include <span>
#include <string_view>
#include <utility>

#include "platform/ByteReader.h"
#include "platform/FileBytesInternal.h"
#include "platform/VirtualKeys.h"

namespace platform {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n\v\f";

std::string_view StripComment(std::string_view line) {
    const size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = text.find_first_not_of(kWhitespace);
    while (pos != std::string_view::npos) {
        const size_t end = text.find_first_of(kWhitespace, pos);
        const size_t length = (end == std::string_view::npos ? text.size() : end) - pos;
        words.push_back(text.substr(pos, length));
        pos = text.find_first_not_of(kWhitespace, pos + length);
    }
    return words;
}

// The whole word must be a decimal number in the range of T.
template <typename T> bool ParseNumber(std::string_view word, T& out) {
    T value{};
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec != std::errc{} || ptr != end) return false;
    out = value;
    return true;
}

struct Verb {
    std::string_view name;
    WindowMessageType type;
    size_t argumentCount;
};

constexpr Verb kVerbs[] = {
    {"move", WindowMessageType::MouseMove, 2},
    {"ldown", WindowMessageType::LeftButtonDown, 2},
    {"rdown", WindowMessageType::RightButtonDown, 2},
    {"key", WindowMessageType::KeyDown, 1},
    {"activate", WindowMessageType::Activate, 1},
    {"close", WindowMessageType::Close, 0},
    {"shot", WindowMessageType::Screenshot, 1},
};

const Verb* FindVerb(std::string_view name) {
    for (const Verb& verb : kVerbs) {
        if (verb.name == name) return &verb;
    }
    return nullptr;
}

const Verb& VerbFor(WindowMessageType type) {
    for (const Verb& verb : kVerbs) {
        if (verb.type == type) return verb;
    }
    return kVerbs[0];
}

// Fills the message fields from the words after the verb; the count is already checked.
bool ParseArguments(const Verb& verb, std::span<const std::string_view> args,
                    WindowMessage& message, std::string& error) {
    message = WindowMessage{};
    message.type = verb.type;
    switch (verb.type) {
    case WindowMessageType::MouseMove:
    case WindowMessageType::LeftButtonDown:
    case WindowMessageType::RightButtonDown:
        if (!ParseNumber(args[0], message.x) || !ParseNumber(args[1], message.y)) {
            error = "bad coordinates '" + std::string(args[0]) + " " + std::string(args[1]) + "'";
            return false;
        }
        return true;
    case WindowMessageType::KeyDown:
        message.key = VirtualKeyFromName(args[0]);
        if (message.key < 0) {
            error = "unknown key '" + std::string(args[0]) + "'";
            return false;
        }
        return true;
    case WindowMessageType::Activate:
        if (args[0] != "0" && args[0] != "1") {
            error = "activate takes 0 or 1, not '" + std::string(args[0]) + "'";
            return false;
        }
        message.active = args[0] == "1" ? 1 : 0;
        return true;
    case WindowMessageType::Screenshot:
        message.text = std::string(args[0]);
        return true;
    case WindowMessageType::Close:
        return true;
    }
    return true;
}

bool IsBlank(std::string_view line) {
    return StripComment(line).find_first_not_of(kWhitespace) == std::string_view::npos;
}

// True when the message can be written as a line that parses back to the same message.
bool IsRecordable(const WindowMessage& message) {
    if (message.type == WindowMessageType::KeyDown) return !VirtualKeyName(message.key).empty();
    if (message.type == WindowMessageType::Screenshot) {
        const std::string_view text = message.text;
        return !text.empty() && text.find_first_of(kWhitespace) == std::string_view::npos &&
               text.find('#') == std::string_view::npos;
    }
    return true;
}

// The words after the verb, each with its leading space.
std::string Arguments(const WindowMessage& message) {
    std::string words;
    switch (message.type) {
    case WindowMessageType::MouseMove:
    case WindowMessageType::LeftButtonDown:
    case WindowMessageType::RightButtonDown:
        words.append(" ").append(std::to_string(message.x));
        words.append(" ").append(std::to_string(message.y));
        break;
    case WindowMessageType::KeyDown:
        words.append(" ").append(VirtualKeyName(message.key));
        break;
    case WindowMessageType::Activate:
        words.append(message.active != 0 ? " 1" : " 0");
        break;
    case WindowMessageType::Screenshot:
        words.append(" ").append(message.text);
        break;
    case WindowMessageType::Close:
        break;
    }
    return words;
}

struct TimedMessage {
    uint64_t pass;
    WindowMessage message;
};

// Hands out the messages of a replay: in order, none before its pass, one per pass at most.
class ReplaySource final : public MessageSource {
public:
    explicit ReplaySource(std::vector<TimedMessage> messages) : messages_(std::move(messages)) {}

    void BeginPass(uint64_t pass) override {
        pass_ = pass;
        deliveredThisPass_ = false;
    }

    bool PeekMessage(WindowMessage& out) override {
        if (deliveredThisPass_ || next_ >= messages_.size()) return false;
        if (messages_[next_].pass > pass_) return false;
        out = messages_[next_++].message;
        deliveredThisPass_ = true;
        return true;
    }

    // A replay never waits: its next message depends on the pass count, not on time.
    bool WaitMessage(int) override { return false; }
    bool Finished() const override { return next_ >= messages_.size(); }

private:
    std::vector<TimedMessage> messages_;
    size_t next_ = 0;
    uint64_t pass_ = 0;
    bool deliveredThisPass_ = false;
};

std::unique_ptr<MessageSource> ParseReplay(std::string_view text, const std::string& name,
                                           std::string& error) {
    std::vector<TimedMessage> messages;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        const size_t end = newline == std::string_view::npos ? text.size() : newline;
        const std::string line(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (IsBlank(line)) continue;
        TimedMessage timed;
        std::string reason;
        const bool parsed = ParseReplayLine(line, timed.pass, timed.message, reason);
        if (parsed && !messages.empty() && timed.pass < messages.back().pass) {
            reason = "pass " + std::to_string(timed.pass) + " comes after pass " +
                     std::to_string(messages.back().pass);
        }
        if (!reason.empty()) {
            error = name + ":" + std::to_string(lineNumber) + ": " + reason;
            return nullptr;
        }
        messages.push_back(std::move(timed));
    }
    return std::make_unique<ReplaySource>(std::move(messages));
}

// Passes messages through and appends each, with the pass that took it, to a replay file.
class RecordingSource final : public MessageSource {
public:
    RecordingSource(std::unique_ptr<MessageSource> inner, internal::FilePtr file)
        : inner_(std::move(inner)), file_(std::move(file)) {}

    void BeginPass(uint64_t pass) override {
        pass_ = pass;
        inner_->BeginPass(pass);
    }

    bool PeekMessage(WindowMessage& out) override {
        if (!inner_->PeekMessage(out)) return false;
        const std::string line = FormatReplayLine(pass_, out) + "\n";
        std::fputs(line.c_str(), file_.get());
        // Flushed line by line so that a crash still leaves a replayable recording.
        std::fflush(file_.get());
        return true;
    }

    bool WaitMessage(int timeoutMs) override { return inner_->WaitMessage(timeoutMs); }
    bool Finished() const override { return inner_->Finished(); }

private:
    std::unique_ptr<MessageSource> inner_;
    internal::FilePtr file_;
    uint64_t pass_ = 0;
};

} // namespace

bool ParseReplayLine(const std::string& line, uint64_t& pass, WindowMessage& message,
                     std::string& error) {
    const std::vector<std::string_view> words = SplitWords(StripComment(line));
    if (words.empty()) {
        error = "empty line";
        return false;
    }
    uint64_t frame = 0;
    if (!ParseNumber(words[0], frame)) {
        error = "bad frame number '" + std::string(words[0]) + "'";
        return false;
    }
    if (words.size() < 2) {
        error = "missing event after the frame number";
        return false;
    }
    const Verb* verb = FindVerb(words[1]);
    if (verb == nullptr) {
        error = "unknown event '" + std::string(words[1]) + "'";
        return false;
    }
    const size_t argumentCount = words.size() - 2;
    if (argumentCount != verb->argumentCount) {
        error = std::string(verb->name) + " takes " + std::to_string(verb->argumentCount) +
                " argument(s), not " + std::to_string(argumentCount);
        return false;
    }
    WindowMessage parsed;
    if (!ParseArguments(*verb, std::span(words).subspan(2), parsed, error)) return false;
    pass = frame;
    message = std::move(parsed);
    return true;
}

std::string FormatReplayLine(uint64_t pass, const WindowMessage& message) {
    std::string line;
    if (!IsRecordable(message)) {
        // Kept as a comment, so the file stays loadable and still shows what happened.
        line.append("# ").append(std::to_string(pass));
        if (message.type == WindowMessageType::KeyDown) {
            line.append(" key code ").append(std::to_string(message.key));
        } else {
            line.append(" shot '").append(message.text).append("'");
        }
        return line.append(" has no replay form");
    }
    line.append(std::to_string(pass)).append(" ").append(VerbFor(message.type).name);
    return line.append(Arguments(message));
}

std::unique_ptr<MessageSource> LoadReplay(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!internal::ReadWholeFile(path, bytes)) {
        error = path + ": cannot read the replay file";
        return nullptr;
    }
    ByteReader reader(bytes);
    const std::span<const uint8_t> all = reader.Bytes(reader.Size());
    const std::string_view text(reinterpret_cast<const char*>(all.data()), all.size());
    return ParseReplay(text, path, error);
}

std::unique_ptr<MessageSource> ReplayFromText(const std::string& text, std::string& error) {
    return ParseReplay(text, "<replay>", error);
}

std::unique_ptr<MessageSource> RecordTo(std::unique_ptr<MessageSource> inner,
                                        const std::string& path, std::string& error) {
    if (!inner) {
        error = "nothing to record";
        return nullptr;
    }
    internal::FilePtr file(std::fopen(path.c_str(), "w"));
    if (!file) {
        error = path + ": cannot create the recording";
        return nullptr;
    }
    return std::make_unique<RecordingSource>(std::move(inner), std::move(file));
}

} // namespace platform
