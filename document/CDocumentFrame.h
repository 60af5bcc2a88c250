#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "resources/CommandIds.h"

class CConfigFiles;
class CShapeLib;
class CShapeLibArray;
class CWevraDoc;

// What the documents ask of the main window: the user settings they start from, the context
// toolbar and its combo boxes, the status line, the active child frame's panes and the shape
// edit. The editor's main frame installs itself; until then a headless default answers with
// the settings of a fresh installation and does nothing else. The installed object is not
// owned.
class CDocumentFrame {
public:
    // Control ids of the toolbar's combo boxes; the pad-stack combo sends its own id as its
    // command.
    static constexpr int32_t layerCombo = 1444;
    static constexpr int32_t penCombo = 1533;
    static constexpr int32_t netCombo = ID_NET_COMBO;
    static constexpr int32_t padStackCombo = ID_TOOLBARS_PAD_STACK_ARRAY;
    static constexpr int32_t planeCombo = 1569;

    virtual ~CDocumentFrame() = default;

    static CDocumentFrame& Get();
    // Returns the frame installed before (nullptr for the default); nullptr reinstalls it.
    static CDocumentFrame* Set(CDocumentFrame* frame);

    // ---- User settings --------------------------------------------------------------------------

    // The folder that holds the stroke-font file: by default the running program's folder.
    virtual std::filesystem::path GetProgramFolder() const;
    // The stroke font linked into the program, for a font file beside it that is missing or
    // damaged; empty where the program carries none.
    virtual std::span<const uint8_t> GetBuiltInFont() const { return {}; }
    // The shape library file; a shape document is placed in its folder.
    virtual std::string GetLibraryFile() const { return {}; }
    // The user's configured folders and files; nullptr before the configuration is read.
    virtual const CConfigFiles* GetConfigFiles() const { return nullptr; }
    // The start-up settings "Left Pane" and "Bottom Pane".
    virtual bool IsLeftPaneSetting() const { return false; }
    virtual bool IsBottomPaneSetting() const { return false; }
    // The grey clearance halo around the track being edited.
    virtual bool ShowsClearanceHalo() const { return true; }

    // ---- Main window ----------------------------------------------------------------------------

    // The main frame's own left-pane flag.
    virtual void SetLeftPaneFlag(bool /*shown*/) {}
    // The active child frame shows or hides a pane; nothing without an active child frame.
    virtual void ShowLeftPane(bool /*shown*/) {}
    virtual void ShowBottomPane(bool /*shown*/) {}
    // Switches both panes off and repaints the main window (a new design starts bare).
    virtual void HidePanes() {}
    virtual void SetStatusText(const std::string& /*text*/) {}
    // Posts a command to the main window, to run after the current one.
    virtual void PostCommand(uint32_t /*id*/) {}
    virtual void RedrawMenuBar() {}
    virtual void AddToRecentFiles(const std::string& /*path*/) {}

    // ---- Context toolbar ------------------------------------------------------------------------

    // Rebuilds the toolbar for the document's tool mode; nullptr for no document (the toolbar
    // then holds Open alone and is hidden).
    virtual void UpdateContextToolbar(const CWevraDoc* /*document*/) {}
    virtual void ApplyToolbarVisibility() {}
    // Whether the current layout has the combo box: a list as long as the board's nets is made
    // only for a layout that shows it.
    virtual bool HasCombo(int32_t /*comboId*/) const { return false; }
    // Refills a combo box of the current layout and chooses entry `selected` (-1 for none);
    // nothing when the layout has no such combo box.
    virtual void FillCombo(int32_t /*comboId*/, const std::vector<std::string>& /*items*/,
                           int32_t /*selected*/)
    {
    }
    virtual void SelectInCombo(int32_t /*comboId*/, int32_t /*index*/) {}
    // The entries of a combo box and the one chosen (-1 for none); empty and -1 when the layout
    // has no such combo box.
    virtual std::vector<std::string> GetComboItems(int32_t /*comboId*/) const { return {}; }
    virtual int32_t GetComboSelection(int32_t /*comboId*/) const { return -1; }

    // ---- Shape edit -----------------------------------------------------------------------------

    // Whether the next new document is to edit a shape; the document clears the request.
    virtual bool IsShapeEditRequested() const { return false; }
    virtual void ClearShapeEditRequest() {}
    // The application's shape library set; nullptr when there is none.
    virtual const CShapeLibArray* GetLibrarySet() const { return nullptr; }
    virtual CShapeLibArray* GetEditableLibrarySet() { return nullptr; }
    // The library set was written to a file the user chose: it becomes the user's library.
    virtual void AdoptLibraryFile(const std::string& /*path*/) {}
    // The shape editor takes a copy of the library whose current shape is to be edited; the
    // next new document edits it.
    virtual void BeginShapeEdit(const CShapeLib& /*library*/) {}
    // The library whose current shape the shape document edits; nullptr when none is.
    virtual const CShapeLib* GetEditedShapeLibrary() const { return nullptr; }
    // The end of a shape edit: the library set takes the edited library in place of its
    // library of the same name.
    virtual void EndShapeEdit(const CShapeLib& /*edited*/) {}

    // ---- Messages -------------------------------------------------------------------------------

    // True the first time a problem of the program's own files (a damaged font) is to be told
    // for this frame: every document loads them, and the user is told once a run, not once a
    // design.
    bool FirstReportOf(const std::string& problem) const
    {
        return m_reported.insert(problem).second;
    }

private:
    mutable std::set<std::string> m_reported;
};
