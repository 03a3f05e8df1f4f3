#include "platform/logging.h"

#include "platform/error.h"
#include "platform/log_text.h"
#include "platform/logged_printer_network.h"

namespace platform {

std::string failureText(const Error& error) {
    return "失敗 " + errorNumberText(error.number()) + "：" + error.description();
}

namespace {

std::string describe(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Null:
            return "null";
        case Value::Kind::Bool:
            return v.boolean ? "true" : "false";
        case Value::Kind::Int16:
        case Value::Kind::Int32:
        case Value::Kind::UInt32:
            return std::to_string(v.integer);
        case Value::Kind::String:
            return "\"" + v.string + "\"";
        case Value::Kind::StringList: {
            std::string out = "[";
            for (std::size_t i = 0; i < v.list.size(); ++i)
                out += (i ? ", \"" : "\"") + v.list[i] + "\"";
            return out + "]";
        }
        case Value::Kind::Object: {
            std::string out = v.objectClass + " {";
            for (std::size_t i = 0; i < v.members.size(); ++i)
                out += (i ? ", " : "") + v.members[i].first + "=" + describe(v.members[i].second);
            return out + "}";
        }
    }
    return "";
}

template <class F>
void loggedVoid(Log& log, const std::string& what, F&& call) {
    try {
        call();
        log.write(what + " → 成功");
    } catch (const Error& e) {
        log.write(what + " → " + failureText(e));
        throw;
    }
}

std::string styleText(std::optional<int> style, bool wait) {
    std::string out = "（視窗 " + (style ? std::to_string(*style) : std::string("預設"));
    return out + (wait ? "，等待）" : "）");
}

class LoggedWmiService final : public WmiService {
  public:
    LoggedWmiService(std::unique_ptr<WmiService> inner, Log& log)
        : inner_(std::move(inner)), log_(log) {}

    std::vector<WmiObject> execQuery(const std::string& wql, std::optional<int> flags) override {
        try {
            return inner_->execQuery(wql, flags);
        } catch (const Error& e) {
            log_.write("WMI 查詢 " + wql + " → " + failureText(e));
            throw;
        }
    }
    WmiObject get(const std::string& path) override {
        try {
            return inner_->get(path);
        } catch (const Error& e) {
            log_.write("WMI 取得 " + path + " → " + failureText(e));
            throw;
        }
    }
    WmiObject spawnInstance(const WmiObject& classObject) override {
        try {
            return inner_->spawnInstance(classObject);
        } catch (const Error& e) {
            log_.write("WMI 建立 " + classObject.className + " 的新執行個體 → " + failureText(e));
            throw;
        }
    }
    void put(const WmiObject& instance) override {
        std::string props;
        for (const auto& [name, value] : instance.properties)
            props += (props.empty() ? "" : ", ") + name + "=" + describe(value);
        loggedVoid(log_, "WMI 儲存 " + instance.className + "（" + props + "）",
                   [&] { inner_->put(instance); });
    }
    std::optional<long long> callMethod(const WmiObject& target, const std::string& method,
                                        const std::vector<Value>& args) override {
        std::string list;
        for (const Value& a : args)
            list += (list.empty() ? "" : ", ") + describe(a);
        const std::string& name = target.path.empty() ? target.className : target.path;
        std::string what = "WMI 呼叫 " + name + "." + method + "(" + list + ")";
        try {
            std::optional<long long> result = inner_->callMethod(target, method, args);
            log_.write(what + " → " + (result ? "傳回 " + std::to_string(*result) : "完成"));
            return result;
        } catch (const Error& e) {
            log_.write(what + " → " + failureText(e));
            throw;
        }
    }

  private:
    std::unique_ptr<WmiService> inner_;
    Log& log_;
};

class LoggedWmi final : public Wmi {
  public:
    LoggedWmi(Wmi& inner, Log& log) : inner_(inner), log_(log) {}
    std::unique_ptr<WmiService> connect(const std::string& moniker) override {
        try {
            return std::make_unique<LoggedWmiService>(inner_.connect(moniker), log_);
        } catch (const Error& e) {
            log_.write("WMI 連線 " + moniker + " → " + failureText(e));
            throw;
        }
    }

  private:
    Wmi& inner_;
    Log& log_;
};

class LoggedShell final : public Shell {
  public:
    LoggedShell(Shell& inner, Log& log) : inner_(inner), log_(log) {}
    long long run(const std::string& command, std::optional<int> style, bool wait) override {
        std::string what = "執行 " + command + styleText(style, wait);
        try {
            long long code = inner_.run(command, style, wait);
            log_.write(what + " → " + (wait ? "結束代碼 " + std::to_string(code) : "已啟動"));
            return code;
        } catch (const Error& e) {
            log_.write(what + " → " + failureText(e));
            throw;
        }
    }
    void regWrite(const std::string& path, const std::string& value,
                  const std::string& type) override {
        loggedVoid(log_, "登錄寫入 " + path + " = " + value + "（" + type + "）",
                   [&] { inner_.regWrite(path, value, type); });
    }

    void open(const std::string& file, const std::string& verb, int style) override {
        loggedVoid(log_, "開啟 " + file + "（" + verb + "，視窗 " + std::to_string(style) + "）",
                   [&] { inner_.open(file, verb, style); });
    }

  private:
    Shell& inner_;
    Log& log_;
};

class LoggedNetwork final : public Network {
  public:
    LoggedNetwork(Network& inner, Log& log) : inner_(inner), log_(log) {}
    void setDefaultPrinter(const std::string& name) override {
        loggedVoid(log_, "設定預設印表機 " + name, [&] { inner_.setDefaultPrinter(name); });
    }
    void addWindowsPrinterConnection(const std::string& path) override {
        loggedVoid(log_, "連線共用印表機 " + path,
                   [&] { inner_.addWindowsPrinterConnection(path); });
    }

  private:
    Network& inner_;
    Log& log_;
};

class LoggedLauncher final : public Launcher {
  public:
    LoggedLauncher(Launcher& inner, Log& log) : inner_(inner), log_(log) {}
    void start(const std::string& command, int style) override {
        loggedVoid(log_, "啟動 " + command + styleText(style, false),
                   [&] { inner_.start(command, style); });
    }

  private:
    Launcher& inner_;
    Log& log_;
};

class LoggedFiles final : public Files {
  public:
    LoggedFiles(Files& inner, Log& log) : inner_(inner), log_(log) {}
    bool exists(const std::string& name) override { return inner_.exists(name); }
    std::string readAll(const std::string& name) override { return inner_.readAll(name); }
    void writeAtomically(const std::string& name, const std::string& bytes) override {
        loggedVoid(log_, "寫入檔案 " + name, [&] { inner_.writeAtomically(name, bytes); });
    }
    void append(const std::string& name, const std::string& bytes) override {
        loggedVoid(log_, "附加到檔案 " + name, [&] { inner_.append(name, bytes); });
    }
    void copy(const std::string& from, const std::string& to) override {
        loggedVoid(log_, "複製檔案 " + from + " 到 " + to, [&] { inner_.copy(from, to); });
    }
    std::optional<FileStamp> stamp(const std::string& name) override { return inner_.stamp(name); }
    void remove(const std::string& name) override {
        loggedVoid(log_, "刪除檔案 " + name, [&] { inner_.remove(name); });
    }
    std::vector<std::string> list(const std::string& pattern) override {
        return inner_.list(pattern);
    }

  private:
    Files& inner_;
    Log& log_;
};

// A removal that found nothing to remove is logged too: an uninstall shows what it met.
template <class F>
bool loggedRemoval(Log& log, const std::string& what, F&& call) {
    try {
        const bool removed = call();
        log.write(what + (removed ? " → 成功" : " → 不存在，略過"));
        return removed;
    } catch (const Error& e) {
        log.write(what + " → " + failureText(e));
        throw;
    }
}

class LoggedSpooler final : public Spooler {
  public:
    LoggedSpooler(Spooler& inner, Log& log) : inner_(inner), log_(log) {}
    bool removePrinter(const std::string& name) override {
        return loggedRemoval(log_, "移除印表機 " + name,
                             [&] { return inner_.removePrinter(name); });
    }
    bool removePort(const std::string& name) override {
        return loggedRemoval(log_, "移除連接埠 " + name, [&] { return inner_.removePort(name); });
    }

  private:
    Spooler& inner_;
    Log& log_;
};

// Every message the user is shown, and the answer given: what an admin asks first.
class LoggedBoxes final : public MessageBoxes {
  public:
    LoggedBoxes(MessageBoxes& inner, Log& log) : inner_(inner), log_(log) {}
    Answer show(const std::string& text, const std::string& title, Icon icon,
                Buttons buttons) override {
        const std::string what = "訊息「" + title + "」：" + text;
        try {
            const Answer answer = inner_.show(text, title, icon, buttons);
            log_.write(what + " → " + answerText(answer));
            return answer;
        } catch (const Error& e) {
            log_.write(what + " → " + failureText(e));
            throw;
        }
    }

  private:
    static const char* answerText(Answer answer) {
        switch (answer) {
            case Answer::Yes:
                return "是";
            case Answer::No:
                return "否";
            case Answer::Ok:
                break;
        }
        return "確定";
    }
    MessageBoxes& inner_;
    Log& log_;
};

}  // namespace

struct LoggedServices::Parts {
    explicit Parts(Services& in)
        : wmi(in.wmi, in.log),
          shell(in.shell, in.log),
          network(in.network, in.log),
          launcher(in.launcher, in.log),
          files(in.files, in.log),
          spooler(in.spooler, in.log),
          boxes(in.messageBoxes, in.log),
          printerNetwork(in.printerNetwork, in.log),
          services{wmi,   shell,    network,    launcher,   files,   in.codepage, in.profileApi,
                   boxes, in.clock, in.windows, in.process, spooler, in.log,      printerNetwork} {}
    LoggedWmi wmi;
    LoggedShell shell;
    LoggedNetwork network;
    LoggedLauncher launcher;
    LoggedFiles files;
    LoggedSpooler spooler;
    LoggedBoxes boxes;
    LoggedPrinterNetwork printerNetwork;
    Services services;
};

LoggedServices::LoggedServices(Services& inner) : parts_(std::make_unique<Parts>(inner)) {
}

LoggedServices::~LoggedServices() = default;

Services& LoggedServices::services() {
    return parts_->services;
}

}  // namespace platform
