#include "platform/sim/transcript.h"

namespace sim {

json::Value Transcript::line(const char* op) {
    json::Value v = json::Value::object();
    v.set("op", op);
    return v;
}

void Transcript::write(const json::Value& line) {
    if (held_) {
        put(*held_);
        held_.reset();
    }
    put(line);
}

void Transcript::hold(json::Value line) {
    if (held_)
        put(*held_);
    held_ = std::move(line);
}

std::optional<json::Value> Transcript::takeHeld() {
    std::optional<json::Value> line = std::move(held_);
    held_.reset();
    return line;
}

void Transcript::put(const json::Value& line) {
    lines_.push_back(line);
    if (out_ != nullptr) {
        *out_ << line.dump() << '\n';
        out_->flush();
    }
}

}  // namespace sim
