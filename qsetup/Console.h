// Where qsetup's text goes: standard output and standard error, or two
// strings in the tests.
#pragma once

#include <string>

namespace qsetup {

class Console {
public:
    virtual ~Console() = default;
    virtual void Out(const std::string& text) = 0;
    virtual void Err(const std::string& text) = 0;
};

// stdout and stderr through stdio.
class StdConsole final : public Console {
public:
    void Out(const std::string& text) override;
    void Err(const std::string& text) override;
};

class StringConsole final : public Console {
public:
    void Out(const std::string& text) override { out += text; }
    void Err(const std::string& text) override { err += text; }
    std::string out, err;
};

}  // namespace qsetup
