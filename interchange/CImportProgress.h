#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class CProgDlg;

// The progress window of a netlist run, which only opens once the run has lasted `delay`: a
// short run shows nothing, a long one shows its share done and can be cancelled. The work is
// counted in units (records, lines) out of a total known in advance; the bar moves by whole
// per cents, so a run of millions of units handles events a hundred times, not a million.
class CImportProgress {
public:
    static constexpr std::chrono::milliseconds defaultDelay{500};

    CImportProgress(std::string title, std::chrono::milliseconds delay);
    ~CImportProgress();
    CImportProgress(const CImportProgress&) = delete;
    CImportProgress& operator=(const CImportProgress&) = delete;

    // The units of the whole run and the status line shown while they are worked through.
    void SetTotal(int64_t total);
    void SetStatus(const std::string& text);
    // `done` of the total are done. True once Cancel was pressed, and from then on.
    bool Advance(int64_t done);
    bool IsCancelled() const { return m_cancelled; }

private:
    bool Open();

    std::string m_title;
    std::string m_status;
    std::chrono::milliseconds m_delay;
    std::chrono::steady_clock::time_point m_start;
    std::unique_ptr<CProgDlg> m_window;
    int64_t m_total = 1;
    int32_t m_shown = 0;
    uint32_t m_calls = 0;
    bool m_cancelled = false;
};
