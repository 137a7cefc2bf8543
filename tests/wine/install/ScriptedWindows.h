// A plat::Windows that forwards every call to another one, except three:
// message boxes are answered from a script and logged instead of shown (so
// that nothing waits for a click), the running program is placed in a folder
// of the caller's choice (GetModuleFileName), and a restart of Windows is
// refused. Used by the headless installation runs under Wine.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/ForwardingWindows.h"

namespace plat {

class ScriptedWindows final : public ForwardingWindows {
public:
    struct Box {
        std::string text, caption;
        uint32_t flags = 0;
        int answer = 0;
    };

    // `moduleFile` is what GetModuleFileName answers, e.g. the package's
    // "Setup.exe"; empty forwards the call.
    ScriptedWindows(Windows& inner, std::string moduleFile)
        : ForwardingWindows(inner), moduleFile_(std::move(moduleFile)) {}

    // The answers of the next message boxes, in order; when none is queued a
    // Yes/No box is answered Yes and any other box OK.
    void QueueAnswer(int answer) {
        LockGuard lock(mu_);
        answers_.push_back(answer);
    }
    std::vector<Box> Boxes() const {
        LockGuard lock(mu_);
        return boxes_;
    }
    void ClearBoxes() {
        LockGuard lock(mu_);
        boxes_.clear();
    }
    int ExitWindowsCalls() const { return exitCalls_; }

    int MessageBox(Window, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        LockGuard lock(mu_);
        int answer = (flags & 0xF) == mb::YesNo ? mb::IdYes : mb::IdOk;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        boxes_.push_back({text, caption, flags, answer});
        return answer;
    }
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override {
        if (moduleFile_.empty()) return ForwardingWindows::GetModuleFileName(out, capacity);
        out = moduleFile_.substr(0, capacity > 0 ? capacity - 1 : 0);
        return err::Success;
    }
    uint32_t ExitWindows(uint32_t, uint32_t) override {
        ++exitCalls_;
        return err::AccessDenied;
    }

private:
    std::string moduleFile_;
    mutable Lock mu_;
    std::deque<int> answers_;
    std::vector<Box> boxes_;
    int exitCalls_ = 0;
};

}  // namespace plat
