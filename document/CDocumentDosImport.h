#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "interchange/CDosDocument.h"

class CDesign;
class CDocumentHistory;
class CDocumentLink;
class CDocumentWindows;
class CEditSession;
struct CDesignSettings;

// File > Open of a DOS design set (".PLY" with its ".CNF" and ".CMP"): the design as the DOS
// import sees it. It reads the set into the document's collections and, once the board is read,
// derives what the set does not hold and offers only the layers the set uses. What the netlist
// part of the import asks goes to the document.
class CDocumentDosImport : public CDosDocument {
public:
    // `designFolder` answers the folder of the design file.
    CDocumentDosImport(CDesign& design, CDesignSettings& settings, CDocumentLink& link,
                       CEditSession& session, CDocumentHistory& history, CDocumentWindows& windows,
                       std::function<std::string()> designFolder)
        : m_design(design), m_settings(settings), m_link(link), m_session(session),
          m_history(history), m_windows(windows), m_designFolder(std::move(designFolder))
    {
    }
    CDocumentDosImport(const CDocumentDosImport&) = delete;
    CDocumentDosImport& operator=(const CDocumentDosImport&) = delete;

    // Reads the set the ".PLY" file at `path` begins; true only when it was read completely.
    bool Open(const std::string& path);

    CDrawRecArray& GetEditableLines() override;
    const CLayerArray& GetLayers() const override;
    void SetDosBoard(int32_t width, int32_t height) override;
    void AddDosPlane(std::unique_ptr<CPour> plane) override;
    void FinishDosImport() override;

    CComponentArray& GetComponents() override;
    CNetArray& GetNets() override;
    CShapeLib& GetEditableShapeCache() override;
    const std::vector<std::unique_ptr<CPour>>& GetPlanes() const override;
    const CShapeLibArray* GetShapeLibraries() const override;
    void SaveUndoState() override;
    void TakeBackUndoState() override;
    void AddMessage(const std::string& text) override;
    void SetNetlistPath(const std::string& path) override;
    void SetNetlistTime(int64_t seconds) override;
    void SetCurrentComponent(int32_t component) override;
    int32_t SelectAll(bool select) override;
    void SetMode(uint32_t mode) override;
    void ShowLeftPane(bool shown) override;
    void ShowBottomPane(bool shown) override;
    std::string GetDesignFolder() const override;

private:
    CDesign& m_design;
    CDesignSettings& m_settings;
    CDocumentLink& m_link;
    CEditSession& m_session;
    CDocumentHistory& m_history;
    CDocumentWindows& m_windows;
    std::function<std::string()> m_designFolder;
    uint64_t m_undoMark = 0;
};
