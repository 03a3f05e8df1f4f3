#include "platform/sim/transcript.h"

namespace sim {

json::Value Transcript::line(const char* op) {
    json::Value v = json::Value::object();
    v.set("op", op);
    return v;
}

void Transcript::write(const json::Value& line) {
    lines_.push_back(line);
    if (out_ != nullptr) {
        *out_ << line.dump() << '\n';
        out_->flush();
    }
}

}  // namespace sim
