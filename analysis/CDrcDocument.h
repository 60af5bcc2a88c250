#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CNetArray;
class CPadStackArray;

// What the design-rule check needs of the design: the nets whose copper it compares and whose
// error list it fills, the padstacks and layers that give the copper its outline, the component
// names that label pins, and the report lines and bottom pane where the run ends. The document
// implements it.
class CDrcDocument {
public:
    virtual ~CDrcDocument() = default;

    virtual CNetArray& GetNets() = 0;
    virtual const CPadStackArray& GetPadStacks() const = 0;
    // Copper on a layer that is not in use is not checked.
    virtual bool IsLayerEnabled(int32_t layer) const = 0;
    // The board size, which sizes the spatial grids.
    virtual int32_t GetBoardWidth() const = 0;
    virtual int32_t GetBoardHeight() const = 0;
    virtual std::string GetComponentReference(int32_t component) const = 0;
    // The lines that sum up the last check.
    virtual std::vector<std::string>& GetReportLines() = 0;
    // The bottom pane lists the error records.
    virtual void ShowErrorPane() = 0;
};
