#include "platform/sim/wql.h"

#include <cctype>

#include "platform/sim/machine.h"

namespace sim {

namespace {

class Cursor {
  public:
    explicit Cursor(const std::string& s) : s_(s) {}
    void skip() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_])))
            ++i_;
    }
    bool atEnd() {
        skip();
        return i_ >= s_.size();
    }
    // A word of letters, digits and underscores.
    std::string word() {
        skip();
        std::size_t from = i_;
        while (i_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_'))
            ++i_;
        return s_.substr(from, i_ - from);
    }
    bool keyword(const char* kw) {
        std::size_t save = i_;
        if (asciiLower(word()) == kw)
            return true;
        i_ = save;
        return false;
    }
    bool symbol(char c) {
        skip();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    // A quoted string with backslash escapes, or a bare word.
    std::optional<std::pair<std::string, bool>> value() {
        skip();
        if (i_ >= s_.size())
            return std::nullopt;
        char q = s_[i_];
        if (q != '\'' && q != '"') {
            std::string w = word();
            if (w.empty())
                return std::nullopt;
            return std::make_pair(w, false);
        }
        ++i_;
        std::string out;
        while (i_ < s_.size()) {
            char c = s_[i_++];
            if (c == '\\' && i_ < s_.size()) {
                out += s_[i_++];
            } else if (c == q) {
                return std::make_pair(out, true);
            } else {
                out += c;
            }
        }
        return std::nullopt;  // unterminated
    }

  private:
    const std::string& s_;
    std::size_t i_ = 0;
};

bool conditions(Cursor& c, std::vector<WqlCondition>& out) {
    do {
        std::string property = c.word();
        if (property.empty() || !c.symbol('='))
            return false;
        auto v = c.value();
        if (!v)
            return false;
        out.push_back({property, v->first, v->second});
    } while (c.keyword("and"));
    return c.atEnd();
}

}  // namespace

std::optional<WqlQuery> parseWql(const std::string& wql) {
    Cursor c(wql);
    WqlQuery q;
    if (!c.keyword("select") || !c.symbol('*') || !c.keyword("from"))
        return std::nullopt;
    q.className = c.word();
    if (q.className.empty())
        return std::nullopt;
    if (c.atEnd())
        return q;
    if (!c.keyword("where"))
        return std::nullopt;
    if (!conditions(c, q.conditions))
        return std::nullopt;
    return q;
}

std::optional<WqlQuery> parseObjectPath(const std::string& path) {
    Cursor c(path);
    WqlQuery q;
    q.className = c.word();
    if (q.className.empty())
        return std::nullopt;
    if (c.atEnd())
        return q;
    if (!c.symbol('.'))
        return std::nullopt;
    std::vector<WqlCondition> keys;
    do {
        std::string property = c.word();
        if (property.empty() || !c.symbol('='))
            return std::nullopt;
        auto v = c.value();
        if (!v)
            return std::nullopt;
        keys.push_back({property, v->first, v->second});
    } while (c.symbol(','));
    if (!c.atEnd())
        return std::nullopt;
    q.conditions = std::move(keys);
    return q;
}

}  // namespace sim
