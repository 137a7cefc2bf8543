// What an unattended run tells: the steps as progress on standard output
// (lines with the step and the elapsed time, or one bar on a console), the
// texts that Setup or Uninstall would show on standard error, and all of it,
// time-stamped, in the log.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "platform/Platform.h"
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
    DeployOutput(Console& console, plat::Windows& clock, LogWriter log, Progress progress);

    // A line for the log only.
    void LogOnly(const std::string& text);
    // qsetup's own word: standard output (unless quiet) and the log.
    void Note(const std::string& text);
    // A text that Setup or Uninstall would show (`who`: "Setup"): standard
    // error and the log.
    void Tell(const std::string& who, const std::string& text);
    // qsetup's refusal or failure: standard error and the log.
    void Error(const std::string& text);
    // The number of steps to expect (0: not known), for the bar.
    void ExpectSteps(int steps) { expected_ = steps; }
    // A step of the run: a progress line and a log line.
    void Record(const JournalEntry& entry) override;
    // The last lines: the result and the exit code.
    void Finish(const std::string& result, int exitCode);

private:
    void Log(const std::string& text);
    void ClearBar();
    int64_t ElapsedMs();

    Console& console_;
    plat::Windows& clock_;
    LogWriter log_;
    Progress progress_;
    plat::Lock mu_;
    plat::LocalTime start_{};
    int steps_ = 0;
    int expected_ = 0;
    bool barShown_ = false;
    bool logWarned_ = false;
};

// "2024-06-03 09:00:00.100".
std::string FormatTime(const plat::LocalTime& time);
// Line breaks of a message as " / ", for one-line output.
std::string OneLine(const std::string& text);

// Whether standard output is a console (a terminal), where the progress is
// one bar rather than lines.
bool StdoutIsConsole();

}  // namespace qsetup
