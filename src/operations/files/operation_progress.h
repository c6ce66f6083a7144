#pragma once

#include <cstddef>
#include <string>

namespace krelix {

// Feedback for a command that walks many files on the UI thread: shown once the command takes
// a while, it keeps the window painted and lets the user stop after the current file.
class OperationProgress {
  public:
    virtual ~OperationProgress() = default;
    // A command over `total` files starts; title says what it does.
    virtual void Begin(const std::string& title, std::size_t total) = 0;
    // Called before file number `done` (counted from 0); path is the file's. False once the
    // user asked to stop: the command then ends without touching that file.
    virtual bool Next(std::size_t done, const std::string& path) = 0;
    // The command is over (finished or stopped).
    virtual void End() = 0;
    // A message box or chooser opens during the command: the feedback must neither cover it nor
    // take its keys until the matching Resume. Calls may nest.
    virtual void Suspend() {}
    virtual void Resume() {}
};

// No feedback and no way to stop, for commands over one file.
class NoProgress final : public OperationProgress {
  public:
    void Begin(const std::string&, std::size_t) override {}
    bool Next(std::size_t, const std::string&) override { return true; }
    void End() override {}
};

}  // namespace krelix
