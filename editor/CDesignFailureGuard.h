#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CFailureGuard.h"

class CDocTemplate;
class CWevraDoc;

// Takes the design a failed command or event handler was working on back to where the work
// began (its undo snapshot restored when the work had taken one) and tells the user; the
// program and every other open design run on.
class CDesignFailureGuard : public CFailureGuard {
public:
    explicit CDesignFailureGuard(const CDocTemplate& documents) : m_documents(documents) {}

    void Begin() override;
    void End() override;
    void Abandon(const std::string& reason) override;

private:
    struct Start {
        CWevraDoc* document = nullptr;
        uint64_t mark = 0;
    };
    bool IsOpen(const CWevraDoc* document) const;

    const CDocTemplate& m_documents;
    std::vector<Start> m_starts;
};
