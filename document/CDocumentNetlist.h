#pragma once

#include <optional>
#include <string>

class CWevraDoc;

// The netlist commands of a design: Netlist > Load with the file the user picks, and the
// reload the board view offers when the netlist file changed after the last load (both back the
// design up and then run the netlist import on it through Load); Netlist > Save writes the
// design's netlist in the Mentor dialect.
class CDocumentNetlist {
public:
    explicit CDocumentNetlist(CWevraDoc& document) : m_document(document) {}

    // Asks for a ".NET" file to load; nothing when the user cancelled.
    std::optional<std::string> ChooseNetlist() const;
    // Netlist > Load with the chosen file: a backup of the design as it stands, the design-rule
    // error marks cleared, then the import. When the backup cannot be written the user is told
    // why and asked whether to load without it; false, importing nothing, on No.
    // An import that fails on a design without components closes its window after the command.
    bool LoadChosen(const std::string& path);
    // The reload of the design's netlist: a backup, then the import.
    bool Reload();
    // Imports or forward-annotates the netlist; the views follow. The design is marked modified
    // only when the import changed it. The import's result.
    bool Load(const std::string& path);
    // The netlist linked to a design being created, before its window opens: the import, and
    // Zoom All once the window is there, since the new parts lie beside the board.
    bool LoadIntoNewDesign(const std::string& path);
    // Asks for a ".NET" file name and writes the Mentor part list and net list there. False
    // when the user cancelled or a file could not be written (the user was told which).
    bool SaveFromUser();

private:
    // The folder the file dialogs start in: the design's netlist's, else the configured netlist
    // folder, else the design's.
    std::string StartFolder() const;
    // A numbered backup whatever the timing settings say; false when it could not be written
    // and the user would not go on without it.
    bool Backup();

    CWevraDoc& m_document;
};
