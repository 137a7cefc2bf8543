#include "qsetup/DeployOutput.h"

#include <algorithm>
#include <cstdio>

#include "platform/Clock.h"
#include "qsetup/Json.h"

#ifdef _WIN32
#include "platform/win32/WindowsApi.h"
#else
#include <unistd.h>
#endif

namespace qsetup {

namespace {

constexpr int kBarWidth = 20;
constexpr size_t kConsoleColumns = 79;

// Milliseconds of the day; a run over midnight counts on past it.
int64_t DayMs(const plat::LocalTime& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * int64_t{1000} + t.milliseconds;
}

std::string Seconds(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%6.1f s", static_cast<double>(ms) / 1000.0);
    return text;
}

}  // namespace

std::string FormatTime(const plat::LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string(" / ") : std::string(1, c);
    return out;
}

bool StdoutIsConsole() {
#ifdef _WIN32
    // A console, not a file or a pipe (GetConsoleMode fails for those).
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return out != INVALID_HANDLE_VALUE && ::GetFileType(out) == FILE_TYPE_CHAR &&
           ::GetConsoleMode(out, &mode) != 0;
#else
    return ::isatty(1) != 0;
#endif
}

LogFile::~LogFile() {
    if (file_) std::fclose(file_);
}

bool LogFile::Append(const std::string& line) {
    if (failed_) return false;
    if (!file_) file_ = std::fopen(path_.c_str(), "ab");
    if (!file_ || std::fputs((line + "\r\n").c_str(), file_) < 0 || std::fflush(file_) != 0) {
        failed_ = true;
        return false;
    }
    return true;
}

DeployOutput::DeployOutput(Console& console, plat::Clock& clock, LogWriter log,
                           Progress progress)
    : console_(console), clock_(clock), log_(std::move(log)), progress_(progress) {
    clock_.GetLocalTime(start_);
}

int64_t DeployOutput::ElapsedMs() {
    plat::LocalTime now;
    clock_.GetLocalTime(now);
    int64_t ms = DayMs(now) - DayMs(start_);
    return ms < 0 ? ms + 86400000 : ms;
}

void DeployOutput::Log(const std::string& text) {
    if (!log_) return;
    plat::LocalTime now;
    clock_.GetLocalTime(now);
    if (!log_(FormatTime(now) + "  " + text) && !logWarned_) {
        logWarned_ = true;
        ClearBar();
        console_.Err("qsetup: warning: the log can't be written; the run goes on without it\n");
    }
}

void DeployOutput::ClearBar() {
    if (!barShown_) return;
    console_.Out("\r" + std::string(kConsoleColumns, ' ') + "\r");
    barShown_ = false;
}

void DeployOutput::LogOnly(const std::string& text) {
    plat::LockGuard lock(mu_);
    Log(text);
}

void DeployOutput::UseJson(std::string command, std::vector<std::string> arguments) {
    plat::LockGuard lock(mu_);
    json_ = true;
    progress_ = Progress::None;
    command_ = std::move(command);
    for (const std::string& a : arguments) arguments_ += (arguments_.empty() ? "" : ",") + JsonString(a);
}

void DeployOutput::Note(const std::string& text) {
    plat::LockGuard lock(mu_);
    Log(text);
    if (json_) messagesJson_ += std::string(messagesJson_.empty() ? "" : ",") +
                                "{\"from\":\"qsetup\",\"text\":" + JsonString(text) + "}";
    if (progress_ == Progress::None) return;
    ClearBar();
    console_.Out(text + "\n");
}

void DeployOutput::Print(const std::string& text) {
    plat::LockGuard lock(mu_);
    Log(text);
    if (json_) return;
    ClearBar();
    console_.Out(text + "\n");
}

void DeployOutput::Tell(const std::string& who, const std::string& text) {
    plat::LockGuard lock(mu_);
    const std::string line = who + ": " + OneLine(text);
    Log(line);
    if (json_) messagesJson_ += std::string(messagesJson_.empty() ? "" : ",") +
                                "{\"from\":" + JsonString(who) + ",\"text\":" + JsonString(text) + "}";
    ClearBar();
    console_.Err(line + "\n");
}

void DeployOutput::Error(const std::string& text) {
    plat::LockGuard lock(mu_);
    Log(text);
    if (json_) errorsJson_ += (errorsJson_.empty() ? "" : ",") + JsonString(text);
    ClearBar();
    console_.Err("qsetup: " + text + "\n");
}

void DeployOutput::Record(const JournalEntry& entry) {
    // Messages are told as they are shown (Tell), not as steps.
    if (entry.action == "message") return;
    plat::LockGuard lock(mu_);
    const int step = ++steps_;
    const std::string line = "step " + std::to_string(step) + ": " + entry.text;
    Log(line);
    if (entry.action != "wait") changed_ = true;
    if (json_) {
        stepsJson_ += std::string(stepsJson_.empty() ? "" : ",") + "{\"step\":" +
                      std::to_string(step) + ",\"action\":" + JsonString(entry.action);
        for (const auto& [name, value] : entry.fields) stepsJson_ += "," + JsonString(name) + ":" + value;
        stepsJson_ += ",\"error\":" + std::to_string(entry.error) + ",\"text\":" +
                      JsonString(entry.text) + "}";
    }
    const int64_t elapsed = ElapsedMs();
    if (progress_ == Progress::Lines) {
        console_.Out("[" + Seconds(elapsed) + "] " + line + "\n");
    } else if (progress_ == Progress::Bar) {
        const int percent = expected_ > 0 ? std::min(99, step * 100 / expected_) : -1;
        std::string bar = "[";
        const int filled = percent < 0 ? 0 : percent * kBarWidth / 100;
        bar += std::string(static_cast<size_t>(filled), '#') +
               std::string(static_cast<size_t>(kBarWidth - filled), '-') + "] ";
        bar += percent < 0 ? "    " : (percent < 10 ? " " : "") + std::to_string(percent) + "% ";
        bar += Seconds(elapsed) + "  " + line;
        if (bar.size() > kConsoleColumns) bar.resize(kConsoleColumns);
        console_.Out("\r" + bar + std::string(kConsoleColumns - bar.size(), ' '));
        barShown_ = true;
    }
}

void DeployOutput::Finish(const std::string& result, int exitCode) {
    plat::LockGuard lock(mu_);
    std::string took = Seconds(ElapsedMs());
    took.erase(0, took.find_first_not_of(' '));
    const std::string line = result + " (exit code " + std::to_string(exitCode) + ", " +
                             std::to_string(steps_) + " steps, " + took +
                             (changed_ ? ", changed)" : ", nothing changed)");
    Log(line);
    ClearBar();
    if (!json_) {
        console_.Out("qsetup: " + line + "\n");
        return;
    }
    std::string doc = "{\"command\":" + JsonString(command_) + ",\"arguments\":[" + arguments_ +
                      "],\"changed\":" + (changed_ ? "true" : "false") +
                      ",\"exitCode\":" + std::to_string(exitCode) +
                      ",\"meaning\":" + JsonString(ExitMeaning(command_, exitCode)) +
                      ",\"result\":" + JsonString(result) +
                      ",\"printer\":" + (printer_.empty() ? "null" : JsonString(printer_)) +
                      extraJson_ + ",\"steps\":[" + stepsJson_ + "],\"messages\":[" +
                      messagesJson_ + "],\"errors\":[" + errorsJson_ + "]}\n";
    console_.Out(doc);
}

const char* ExitMeaning(const std::string& command, int exitCode) {
    switch (exitCode) {
        case 0:
            return command == "status" ? "in place" : "done";
        case 1:
            return command == "status"      ? "something differs"
                   : command == "uninstall" ? "a named item is not in Uninstall's list"
                                            : "failed";
        case 2: return "bad arguments or package: nothing changed";
        case 5: return "not an administrator";
        case 1602: return "a question was answered No";
        case 1603: return command == "uninstall" ? "an item could not be removed" : "the installation failed";
        case 1618: return "Setup or Uninstall runs";
        case 3010: return "done; restart Windows";
    }
    return "?";
}

}  // namespace qsetup
