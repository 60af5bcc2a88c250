#pragma once

class CWevraDoc;

// File > Export PLY/CNF/CMP Format: the user picks a folder, and the design is written there as
// a DOS design set in "<title>/PCB". The user learns what did not fit the DOS format.
class CDocumentDosExport {
public:
    explicit CDocumentDosExport(CWevraDoc& document) : m_document(document) {}

    // False when the user cancelled or a folder or file could not be made.
    bool ExportFromUser();

private:
    CWevraDoc& m_document;
};
