// CProgressLine: the builder's progress on stderr. On a terminal one line is
// rewritten in place a few times a second; elsewhere (a log, a pipe) a plain
// line is printed every few seconds, so short builds print only their summary.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class CProgressLine {
public:
    // out may be null: nothing is printed.
    CProgressLine(std::FILE* out, uint64_t totalBytes);
    // Ends a line left open, so that a message after it starts on a line of its own.
    ~CProgressLine();
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    // Reports bytes of source read and pages written so far.
    void Update(uint64_t bytesDone, size_t pages);
    // Ends the progress with a summary line.
    void Finish(const std::string& summary);

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* m_out;
    bool m_bTerminal;
    uint64_t m_totalBytes;
    Clock::time_point m_start;
    Clock::time_point m_lastShown;
    bool m_bLineOpen = false;  // a terminal line waits to be overwritten
};
