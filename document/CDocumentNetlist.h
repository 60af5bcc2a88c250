#pragma once

#include <string>

class CWevraDoc;

// The netlist commands of a design: Netlist > Load with the file the user picks, and the
// reload the board view offers when the netlist file changed after the last load (both run the
// netlist import on the design through Load); Netlist > Save writes the design's netlist in the
// Mentor dialect.
class CDocumentNetlist {
public:
    explicit CDocumentNetlist(CWevraDoc& document) : m_document(document) {}

    // Asks for a ".NET" file, starting in the folder of the design's netlist (else the
    // design's), and loads it. False when the user cancelled or the import was not done.
    bool LoadFromUser();
    // Imports or forward-annotates the netlist; the views follow. The import's result.
    bool Load(const std::string& path);
    // Asks for a ".NET" file name in the folder of the design's netlist (else the design's) and
    // writes the Mentor part list and net list there. False when the user cancelled or a file
    // could not be written (the user was told which).
    bool SaveFromUser();

private:
    // The folder of the design's netlist, else the design's.
    std::string StartFolder() const;

    CWevraDoc& m_document;
};
