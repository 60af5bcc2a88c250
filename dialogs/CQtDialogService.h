#pragma once

#include "model/CDialogService.h"

// The dialog service of the editor: each dialog it offers is shown modally over the active
// window; the others answer Cancel as the default service does.
class CQtDialogService : public CDialogService {
public:
    bool Offers(Dialog dialog) const override;

    int32_t NetAdd(std::string& name) override;
    int32_t GetShape(CShapeLib& cache, const ShapeRequest& request, int32_t& shape,
                     std::string& prefix, std::string& type) override;
    int32_t ShapeLibrary(CShapeLib& cache, CShapeLibArray& libraries, const ShapeRequest& request,
                         const std::string& designTitle, bool& cacheChanged) override;
    int32_t NewPcb(CWevraDoc& document) override;
    int32_t BoardSize(std::string& width, std::string& height, bool workspace) override;
    int32_t SetGrid(int32_t unit, int32_t& x, int32_t& y, bool& snapOn) override;
    int32_t NetGroups(std::string& groupA, std::string& groupB, std::string& spacing) override;
    int32_t Position(const std::string& title, int32_t unit, int32_t& x, int32_t& y) override;
    int32_t MoveUserOffset(int32_t unit, const std::vector<PinnedComponent>& components,
                           CSize board, CPoint& offset) override;
    int32_t Clean(int32_t unit, CleanChoices& choices) override;
    int32_t PcbInfo(const std::string& boardXSize, const std::string& boardYSize,
                    const std::string& components, const std::string& componentPins,
                    const std::string& nets) override;
    int32_t BorderSize(const std::vector<std::string>& choices, std::string& chosen) override;
    int32_t PlaneProperties(int32_t unit, const std::vector<std::string>& layerNames,
                            const std::vector<std::string>& netNames, PlaneValues& plane) override;
    int32_t ImportLayermap(const std::string& cnfPath, bool browse, uint32_t helpId,
                           const std::vector<std::string>& layerNames, CDosConfig& config) override;

    // CQtDialogServicePads.cpp: padstacks, pad arrays, pens, component texts, rotation, array
    // copy and template import.
    int32_t SelectPad(CWevraDoc& document, int32_t kind) override;
    int32_t PadInfo(int32_t& display, bool& markers) override;
    int32_t DisplayCompText(bool& reference, bool& shape, bool& type) override;
    int32_t PadArrayRect(RectPadArray& values) override;
    int32_t PadArrayCirc(CircPadArray& values) override;
    int32_t Pens(CPenTables& pens) override;
    int32_t Rotation(std::string& angle, bool& absolute) override;
    int32_t CopyArray(std::string& xDistance, std::string& yDistance, std::string& columns,
                      std::string& rows, std::string& increment) override;
    int32_t TemplateImport(CWevraDoc& document) override;
    int32_t InputSizes(std::string& width, std::string& height) override;
    int32_t CompText(std::array<std::string, 3>& sizes, std::array<std::string, 3>& pens) override;
    int32_t CenterText(bool& reference, bool& type, bool& shape) override;
    int32_t EditText(std::string& text, std::string& size, std::string& width, int32_t& layer,
                     bool& mirrored, std::string& rotation,
                     const std::vector<std::string>& layerNames) override;

    // CQtDialogServiceConfig.cpp: the design configuration and the layer choices.
    int32_t DesignConfig(const DesignParts& parts, int32_t firstPage, CGridArr& grids) override;
    int32_t SelectLayer(const CDesign& design, const CEditSession& session,
                        const CDocumentPaint& paint, int32_t& layer) override;
    int32_t DisplayLayerset(CWevraDoc& document) override;

    // CQtDialogServiceComponents.cpp: the component dialogs.
    int32_t CompProperties(CToolDocument& document, int32_t component) override;
    int32_t CompSetPosition(int32_t unit, const PinnedComponent& component, CPoint center,
                            CPoint mouse, int32_t& dx, int32_t& dy) override;
    int32_t CompCircular(const std::vector<std::string>& references,
                         CircularPlacement& values) override;
    int32_t SelCompText(int32_t& choice) override;

private:
    static bool OffersPadDialogs(Dialog dialog);
    static bool OffersConfigDialogs(Dialog dialog);
    static bool OffersComponentDialogs(Dialog dialog);
};
