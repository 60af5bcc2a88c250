#pragma once

// What the tools that write design files share: any message the design code shows fails the
// tool, and a design is written as one that went through a save and a load, which is what
// opening and saving it gives again byte for byte.

#include <cstdint>
#include <iostream>
#include <string>

#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CMessageService.h"

class CFailingMessages : public CMessageService {
public:
    explicit CFailingMessages(const char* tool) : m_tool(tool) {}

    int32_t MessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon) override
    {
        std::cerr << m_tool << ": " << caption << ": " << text << '\n';
        shown = true;
        return FirstButtonAnswer(buttons);
    }

    bool shown = false;

private:
    const char* m_tool;
};

// Writes the design as a save of it, opened again, writes it. False, with the reason on the
// error stream, when the design cannot be read back or the file cannot be written.
inline bool WriteAsReopened(CWevraDoc& built, const std::string& path, const char* tool)
{
    CArchive first;
    built.Serialize(first);
    CWevraDoc opened;
    CArchive reading(first.TakeBuffer());
    if (!opened.LoadFromArchive(reading, "design"))
        return false;
    try {
        CArchive second;
        opened.Serialize(second);
        second.SaveToFile(path);
    } catch (const CArchiveException& error) {
        std::cerr << tool << ": " << error.what() << '\n';
        return false;
    }
    return true;
}
