#include "progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace krelix {
namespace {

std::string SizeText(std::uint64_t bytes) {
    static const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, kUnits[unit]);
    return text;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Columns, taking each UTF-8 sequence as one.
std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (const char c : text) {
        columns += IsContinuationByte(c) ? 0 : 1;
    }
    return columns;
}

std::size_t TerminalWidth(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

std::int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;  // progress is best effort
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string ProgressLineText(const ProgressNotice& notice, std::size_t width) {
    std::string line = std::to_string(notice.filesFound) + " files found";
    if (notice.bytesToHash > 0) {
        line +=
            ", " + SizeText(notice.bytesHashed) + " of " + SizeText(notice.bytesToHash) + " hashed";
    }
    if (Columns(line) >= width) {
        return line;  // a terminal this narrow wraps whatever is written
    }
    std::string path;
    path.reserve(notice.path.size());
    for (const char c : notice.path) {
        path.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
    }
    if (path.empty()) {
        return line;
    }
    const std::size_t room = width - 1 - Columns(line);  // the last column would wrap
    if (room < 5) {
        return line;
    }
    line += "  ";
    if (Columns(path) + 2 > room) {
        // Keep the end, where the name is; start on a whole character.
        std::size_t keep = room - 2 - 3;
        std::size_t start = path.size();
        while (start > 0 && keep > 0) {
            --start;
            if (!IsContinuationByte(path[start])) {
                --keep;
            }
        }
        line += "...";
        line.append(path, start, std::string::npos);
    } else {
        line += path;
    }
    return line;
}

void TerminalProgress::OnProgress(const ProgressNotice& notice) {
    const std::int64_t now = SteadyNowNs();
    std::int64_t next = nextNs_.load(std::memory_order_relaxed);
    if (now < next ||
        !nextNs_.compare_exchange_strong(next, now + kIntervalNs, std::memory_order_relaxed)) {
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock() || cleared_) {
        return;
    }
    // Back to the line's start, the new text, then away with what the old text left.
    WriteAll(fd_, "\r" + ProgressLineText(notice, TerminalWidth(fd_)) + "\x1b[K");
    shown_ = true;
}

void TerminalProgress::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shown_) {
        WriteAll(fd_, "\r\x1b[K");
    }
    shown_ = false;
    cleared_ = true;
}

}  // namespace krelix
