#include "build/progressline.h"

#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kTerminalInterval{100};
constexpr std::chrono::seconds kLogInterval{5};

}  // namespace

CProgressLine::CProgressLine(std::FILE* out, uint64_t totalBytes)
    : m_out(out),
      m_bTerminal(out && ::isatty(::fileno(out))),
      m_totalBytes(totalBytes),
      m_start(Clock::now()),
      m_lastShown(m_start) {}

CProgressLine::~CProgressLine() {
    if (m_bLineOpen) std::fputc('\n', m_out);
}

void CProgressLine::Update(uint64_t bytesDone, size_t pages) {
    if (!m_out) return;
    const auto now = Clock::now();
    if (now - m_lastShown < (m_bTerminal ? Clock::duration(kTerminalInterval) : Clock::duration(kLogInterval))) return;
    m_lastShown = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double megabytes = double(bytesDone) / 1e6;
    const int percent = m_totalBytes ? int(100.0 * double(bytesDone) / double(m_totalBytes)) : 100;
    std::fprintf(m_out, "%squorel-build: %3d%%  %.1f of %.1f MB, %zu pages, %.1f MB/s%s", m_bTerminal ? "\r" : "",
                 percent, megabytes, double(m_totalBytes) / 1e6, pages, seconds > 0 ? megabytes / seconds : 0.0,
                 m_bTerminal ? "\x1b[K" : "\n");
    std::fflush(m_out);
    m_bLineOpen = m_bTerminal;
}

void CProgressLine::Finish(const std::string& summary) {
    if (!m_out) return;
    std::fprintf(m_out, "%squorel-build: %s\n", m_bLineOpen ? "\r\x1b[K" : "", summary.c_str());
    std::fflush(m_out);
    m_bLineOpen = false;
}
