#pragma once

#include <string>
#include <utility>

class CDesign;
class CDocumentPlanes;
class CDocumentWindows;
class CEditSession;

// File > Export PLY/CNF/CMP Format: the user picks a folder, and the design is written there as
// a DOS design set in "<title>/PCB". The user learns what did not fit the DOS format.
class CDocumentDosExport {
public:
    // `designFolder` and `designTitle`: the folder and the file title of the design file.
    CDocumentDosExport(CDesign& design, CDocumentPlanes& planes, const CEditSession& session,
                       CDocumentWindows& windows, std::string designFolder, std::string designTitle)
        : m_design(design), m_planes(planes), m_session(session), m_windows(windows),
          m_designFolder(std::move(designFolder)), m_designTitle(std::move(designTitle))
    {
    }

    // False when the user cancelled or a folder or file could not be made.
    bool ExportFromUser();

private:
    CDesign& m_design;
    CDocumentPlanes& m_planes;
    const CEditSession& m_session;
    CDocumentWindows& m_windows;
    std::string m_designFolder;
    std::string m_designTitle;
};
