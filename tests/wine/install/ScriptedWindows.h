// A plat::Windows that is another one except for three calls:
// message boxes are answered from a script and logged instead of shown (so
// that nothing waits for a click), the running program is placed in a folder
// of the caller's choice (GetModuleFileName), and a restart of Windows is
// refused. Used by the headless installation runs under Wine.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Folders.h"
#include "platform/Windows.h"

namespace plat {

class ScriptedWindows final : public Windows {
public:
    struct Box {
        std::string text, caption;
        uint32_t flags = 0;
        int answer = 0;
    };

    // `moduleFile` is what GetModuleFileName answers, e.g. the package's
    // "Setup.exe"; empty forwards the call.
    ScriptedWindows(const Windows& inner, std::string moduleFile)
        : Windows(inner), desktop_(inner, *this), folders_(inner, std::move(moduleFile)) {
        static_cast<Windows&>(*this) = inner.With(desktop_).With(folders_);
    }
    ScriptedWindows(const ScriptedWindows&) = delete;
    ScriptedWindows& operator=(const ScriptedWindows&) = delete;

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

private:
    struct DesktopPart final : ForwardingDesktop {
        DesktopPart(Desktop& inner, ScriptedWindows& w) : ForwardingDesktop(inner), w_(w) {}
        int MessageBox(Window, const std::string& text, const std::string& caption,
                       uint32_t flags) override {
            LockGuard lock(w_.mu_);
            int answer = (flags & 0xF) == mb::YesNo ? mb::IdYes : mb::IdOk;
            if (!w_.answers_.empty()) {
                answer = w_.answers_.front();
                w_.answers_.pop_front();
            }
            w_.boxes_.push_back({text, caption, flags, answer});
            return answer;
        }
        uint32_t ExitWindows(uint32_t, uint32_t) override {
            ++w_.exitCalls_;
            return err::AccessDenied;
        }
        ScriptedWindows& w_;
    };
    struct FoldersPart final : ForwardingFolders {
        FoldersPart(Folders& inner, std::string moduleFile)
            : ForwardingFolders(inner), moduleFile_(std::move(moduleFile)) {}
        uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override {
            if (moduleFile_.empty()) return ForwardingFolders::GetModuleFileName(out, capacity);
            out = moduleFile_.substr(0, capacity > 0 ? capacity - 1 : 0);
            return err::Success;
        }
        std::string moduleFile_;
    };

    mutable Lock mu_;
    std::deque<int> answers_;
    std::vector<Box> boxes_;
    int exitCalls_ = 0;
    DesktopPart desktop_;
    FoldersPart folders_;
};

}  // namespace plat
