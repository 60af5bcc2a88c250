#pragma once

#include <cstdint>
#include <string>

#include "framework/CMessageService.h"
#include "framework/CServices.h"

class CNet;
class CPadStackArray;
class CPour;
class CWevraFont;
class CWevraText;

// What the plane fill needs of the design that holds the plane: the copper it must keep clear
// of (earlier planes, the nets with their pins, tracks, pads and vias, the free texts), and the
// few editor services it drives while it works. The document implements it.
class CPlaneBuildDocument {
public:
    virtual ~CPlaneBuildDocument() = default;

    // The design's padstack table (that of its shape cache), which pins, pads and vias name.
    virtual const CPadStackArray& GetPadStacks() const = 0;
    // The net list, net 0 included.
    virtual int32_t GetNetCount() const = 0;
    virtual const CNet& GetNet(int32_t i) const = 0;
    // The planes in list order; planes before the one being filled keep their fill.
    virtual int32_t GetPlaneCount() const = 0;
    virtual const CPour& GetPlane(int32_t i) const = 0;
    // The free texts and the stroke font they are drawn with.
    virtual int32_t GetTextCount() const = 0;
    virtual const CWevraText& GetText(int32_t i) const = 0;
    virtual const CWevraFont& GetFont() const = 0;

    // ---- Editor services ---------------------------------------------------------------------

    // Empties the report-line list (the lines of the design-rule check).
    virtual void ClearReportLines() = 0;
    // Shows the text in the first pane of the main window's status bar.
    virtual void SetStatusBarText(const std::string& text) = 0;
    // Switches the tool mode (a command id).
    virtual void SetMode(uint32_t mode) = 0;
    // A fill changed: the board is rendered again and every view updated.
    virtual void RedrawBoard() = 0;
    // A message box for the user (no answer wanted).
    virtual void ShowMessage(const std::string& text, MessageButtons buttons, MessageIcon icon)
    {
        CServices::Messages().MessageBox(text, "", buttons, icon);
    }
    // Whether the build may show its progress and ask the user whether to cancel: not for a
    // build away from the user-interface thread.
    virtual bool IsInteractive() const { return true; }
};
