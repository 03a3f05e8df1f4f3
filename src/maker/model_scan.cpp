#include "maker/model_scan.h"

#include <array>
#include <deque>
#include <unordered_set>

#include "platform/text_file.h"
#include "text/text.h"

namespace maker {

namespace {

constexpr std::size_t kMinimumCharacters = 8;

constexpr std::array<bool, 256> kExcluded = [] {
    std::array<bool, 256> table{};
    for (char c : std::string_view("=$,[%\\"))
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

bool hasExcludedCharacter(std::string_view s) {
    for (char c : s) {
        if (kExcluded[static_cast<unsigned char>(c)])
            return true;
    }
    return false;
}

// One pass over the piece checks its characters and counts them. The decoded text is
// well-formed UTF-8, so counting the bytes that start a character counts as text::length does.
bool qualifies(std::string_view piece) {
    if (piece.size() < kMinimumCharacters)
        return false;  // a character takes at least one byte
    std::size_t characters = 0;
    for (char c : piece) {
        auto byte = static_cast<unsigned char>(c);
        if (kExcluded[byte])
            return false;
        characters += !text::isContinuationByte(byte);
    }
    return characters >= kMinimumCharacters && !text::contains(piece, "CD-ROM") &&
           !text::contains(piece, "Driver Disk");
}

// Takes the decoded text part by part. A piece within one part is looked at where it lies; only
// a piece that runs past a part's end is held, and only while it can still qualify.
class Scan {
  public:
    void feed(std::string_view text) {
        std::size_t at = 0;
        for (std::size_t quote; (quote = text.find('"', at)) != std::string_view::npos;
             at = quote + 1) {
            std::string_view piece = text.substr(at, quote - at);
            if (held_) {
                hold(piece);
                considerHeld();
            } else {
                consider(piece);
            }
        }
        hold(text.substr(at));
    }

    std::vector<std::string> finish() && {
        considerHeld();
        // The set points into the kept texts: let it go before they move.
        std::unordered_set<std::string_view>().swap(seen_);
        std::vector<std::string> models;
        models.reserve(kept_.size());
        for (std::string& model : kept_)
            models.push_back(std::move(model));
        return models;
    }

  private:
    void hold(std::string_view part) {
        held_ = true;
        if (excluded_)
            return;
        if (hasExcludedCharacter(part)) {
            excluded_ = true;
            std::string().swap(heldText_);  // no reason to keep it: the piece is out
        } else {
            heldText_.append(part);
        }
    }

    void consider(std::string_view piece) {
        if (!qualifies(piece) || seen_.contains(piece))
            return;
        // A deque never moves its strings, so the views in the set stay valid.
        kept_.emplace_back(piece);
        seen_.insert(kept_.back());
    }

    // A held piece is moved, not copied, into the list: it may be most of the file.
    void considerHeld() {
        if (held_ && !excluded_ && qualifies(heldText_) && !seen_.contains(heldText_)) {
            kept_.push_back(std::move(heldText_));
            seen_.insert(kept_.back());
        }
        held_ = excluded_ = false;
        std::string().swap(heldText_);
    }

    bool held_ = false;
    bool excluded_ = false;
    std::string heldText_;
    std::deque<std::string> kept_;
    std::unordered_set<std::string_view> seen_;
};

}  // namespace

std::vector<std::string> scanModels(std::string_view fileBytes, const platform::Codepage& codepage,
                                    std::size_t partBytes) {
    Scan scan;
    platform::decodeTextFile(
        fileBytes, codepage, [&](std::string_view part) { scan.feed(part); }, partBytes);
    return std::move(scan).finish();
}

std::vector<std::string> scanModels(std::string_view fileBytes,
                                    const platform::Codepage& codepage) {
    return scanModels(fileBytes, codepage, platform::kTextPartBytes);
}

}  // namespace maker
