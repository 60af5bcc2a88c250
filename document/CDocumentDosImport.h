#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "interchange/CDosDocument.h"

class CWevraDoc;
struct CDesignSettings;

// File > Open of a DOS design set (".PLY" with its ".CNF" and ".CMP"): the design as the DOS
// import sees it. It reads the set into the document's collections and, once the board is read,
// derives what the set does not hold and offers only the layers the set uses. What the netlist
// part of the import asks goes to the document.
class CDocumentDosImport : public CDosDocument {
public:
    CDocumentDosImport(CWevraDoc& document, CDesignSettings& settings)
        : m_document(document), m_settings(settings)
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
    CWevraDoc& m_document;
    CDesignSettings& m_settings;
    uint64_t m_undoMark = 0;
};
