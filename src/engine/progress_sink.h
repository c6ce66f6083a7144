#pragma once

#include <cstdint>
#include <string>

namespace krelix {

// One progress notice of a run, carried by value so that the receiver never points into the
// engine's records (which are destroyed when the comparison ends).
struct ProgressNotice {
    enum class Kind {
        Searching,        // the walk recorded its 5th, 10th, ... file
        Comparing,        // a file of a shared size is about to be hashed
        Reading,          // a file's later bytes are being read (at most every 50 ms)
        ComparisonEnded,  // once per run, after the last file was hashed
    };
    Kind kind = Kind::Searching;
    std::string path;               // native bytes; empty for ComparisonEnded
    std::uint64_t filesFound = 0;   // files recorded so far by the walk
    std::uint64_t bytesHashed = 0;  // candidate bytes hashed so far
    std::uint64_t bytesToHash = 0;  // all candidate bytes of the run
};

// Receives the notices of a run. Called on the search thread (and, for Comparing, possibly
// on a worker); an implementation must be thread-safe and must not block for long.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void OnProgress(const ProgressNotice& notice) = 0;
};

// Sends one notice, when there is a sink to send it to.
inline void SendNotice(ProgressSink* sink, ProgressNotice::Kind kind, const std::string& path,
                       std::uint64_t filesFound, std::uint64_t bytesHashed = 0,
                       std::uint64_t bytesToHash = 0) {
    if (sink != nullptr) {
        sink->OnProgress(ProgressNotice{kind, path, filesFound, bytesHashed, bytesToHash});
    }
}

}  // namespace krelix
