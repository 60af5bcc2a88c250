#pragma once

#include <cstdint>

class CNetArray;
class CNetDocument;
class CPadStackArray;
class CWevraFont;
class CWevraText;

// What the autorouter needs of the design: the nets whose ratsnest it routes and whose copper
// are its obstacles, the padstacks, layers, board size and free texts that are obstacles too,
// the work layer it routes on, and the views it refreshes after each pass. The document
// implements it.
class CAutoRouterDocument {
public:
    virtual ~CAutoRouterDocument() = default;

    virtual CNetArray& GetNets() = 0;
    // What the nets need to recompute their boxes.
    virtual const CNetDocument& GetNetDocument() const = 0;
    virtual const CPadStackArray& GetPadStacks() const = 0;
    virtual bool IsLayerEnabled(int32_t layer) const = 0;
    virtual int32_t GetBoardWidth() const = 0;
    virtual int32_t GetBoardHeight() const = 0;
    virtual int32_t GetTextCount() const = 0;
    virtual const CWevraText& GetText(int32_t i) const = 0;
    virtual const CWevraFont& GetFont() const = 0;

    virtual int32_t GetWorkLayer() const = 0;
    // Makes the layer the work layer, switching the track and line tools to it.
    virtual void ApplyWorkLayerToTool(int32_t layer) = 0;
    // Every view shows the board afresh.
    virtual void RedrawBoard() = 0;
};
