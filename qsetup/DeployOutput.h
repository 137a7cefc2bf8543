// What an unattended run tells: the steps as progress on standard output
// (lines with the step and the elapsed time, or one bar on a console), the
// texts that Setup or Uninstall would show on standard error, and all of it,
// time-stamped, in the log.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "qsetup/Console.h"
#include "qsetup/Journal.h"

namespace qsetup {

// Where log lines go. False when a line could not be written.
using LogWriter = std::function<bool(const std::string& line)>;

// Appends to a file through the C library (a log beside the program may lie
// on a read-only share; the caller is told once).
class LogFile {
public:
    explicit LogFile(std::string path) : path_(std::move(path)) {}
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    bool Append(const std::string& line);

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

class DeployOutput final : public JournalSink {
public:
    enum class Progress { Lines, Bar, None };

    // `clock` gives the time stamps and the elapsed time.
    DeployOutput(Console& console, plat::Clock& clock, LogWriter log, Progress progress);

    // A line for the log only.
    void LogOnly(const std::string& text);
    // qsetup's own word: standard output (unless quiet) and the log.
    void Note(const std::string& text);
    // A result for people on standard output (not in a JSON run) and in the log.
    void Print(const std::string& text);
    // A text that Setup or Uninstall would show (`who`: "Setup"): standard
    // error and the log.
    void Tell(const std::string& who, const std::string& text);
    // qsetup's refusal or failure: standard error and the log.
    void Error(const std::string& text);
    // The number of steps to expect (0: not known), for the bar.
    void ExpectSteps(int steps) { expected_ = steps; }
    // A step of the run: a progress line and a log line.
    void Record(const JournalEntry& entry) override;
    // The last lines: the result, the exit code and whether the machine was
    // changed; on standard output the summary line, or the JSON document.
    void Finish(const std::string& result, int exitCode);

    // One JSON document on standard output at the end instead of the
    // summary line and the progress: `command` with its arguments.
    void UseJson(std::string command, std::vector<std::string> arguments);
    bool Json() const { return json_; }
    // Whether a step changed the machine (any but a wait or a message);
    // Changed(false) when a run decides it changed nothing.
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }
    // The printer created or found, for the document.
    void SetPrinter(std::string printer) { printer_ = std::move(printer); }
    // Further members of the document, as `"name":value,...`.
    void AddJson(const std::string& members) { extraJson_ += "," + members; }

private:
    void Log(const std::string& text);
    void ClearBar();
    int64_t ElapsedMs();

    Console& console_;
    plat::Clock& clock_;
    LogWriter log_;
    Progress progress_;
    plat::Lock mu_;
    plat::LocalTime start_{};
    int steps_ = 0;
    int expected_ = 0;
    bool barShown_ = false;
    bool logWarned_ = false;
    bool changed_ = false;
    bool json_ = false;
    std::string command_, arguments_, printer_, extraJson_;
    std::string stepsJson_, messagesJson_, errorsJson_;
};

// What an exit code of `command` means, for people and for the document.
const char* ExitMeaning(const std::string& command, int exitCode);

// "2024-06-03 09:00:00.100".
std::string FormatTime(const plat::LocalTime& time);
// Line breaks of a message as " / ", for one-line output.
std::string OneLine(const std::string& text);

// Whether standard output is a console (a terminal), where the progress is
// one bar rather than lines.
bool StdoutIsConsole();

}  // namespace qsetup
