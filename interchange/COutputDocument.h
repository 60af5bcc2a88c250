#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/CPoint.h"

class CComponentArray;
class CDrawRecArray;
class CNetArray;
class COutputArray;
class CPour;
class CShapeLib;
class CTextArray;
class CWevraFont;

// What the Gerber and drill writers need of the design: its output jobs, where it lives, and
// every board item a photoplot or drill program shows. The document implements it.
class COutputDocument {
public:
    virtual ~COutputDocument() = default;

    virtual const COutputArray& GetOutputJobs() const = 0;

    // The design file's title (no folder, no extension) and its folder, which output folders
    // stored in the design are taken relative to.
    virtual std::string GetDesignTitle() const = 0;
    virtual std::filesystem::path GetDesignFolder() const = 0;
    // The current local time as the reports show it.
    virtual std::string GetTimeStamp() const = 0;

    virtual int32_t GetBoardWidth() const = 0;
    virtual int32_t GetBoardHeight() const = 0;
    // The board outline's points in order; a run start is not drawn to from the point before.
    virtual int32_t GetBoardOutlineCount() const = 0;
    virtual CPoint GetBoardOutlinePoint(int32_t i) const = 0;
    virtual bool IsBoardOutlineRunStart(int32_t i) const = 0;

    virtual const CDrawRecArray& GetLines() const = 0;
    virtual const CNetArray& GetNets() const = 0;
    virtual const CComponentArray& GetComponents() const = 0;
    // The shape cache, whose shapes the components place and whose padstacks pins, pads and
    // vias name.
    virtual const CShapeLib& GetShapeCache() const = 0;
    virtual int32_t GetPlaneCount() const = 0;
    virtual const CPour& GetPlane(int32_t i) const = 0;
    // Fills plane i and shows the result in every view.
    virtual void RefillPlane(int32_t i) = 0;
    virtual const CTextArray& GetTexts() const = 0;
    virtual const CWevraFont& GetFont() const = 0;
};
