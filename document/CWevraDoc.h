#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"

class CArchive;
class CDesign;
class CDocumentAnalysis;
class CDocumentCleanup;
class CDocumentDosImport;
class CDocumentEditing;
class CDocumentHistory;
class CDocumentLink;
class CDocumentPaint;
class CDocumentPlanes;
class CDocumentViews;
class CDocumentWindows;
class CEditSession;
class CPadStackUse;
class CShapeLib;
class CViewState;
struct CDesignSettings;
struct CEditState;
struct CShapeSource;

// The document of one open board design: the root that owns the parts of the design's state for
// its whole life and hands them out, so that callers take the part they use and include only
// that part's header (each says its job): Design(), View(), Session(), Planes(), PadStackUse(),
// Paint(), Editing(), Analysis(), History(), Windows(), Cleanup(), DosImport() and Link(), the
// document as the collections and the netlist import see it. The document itself keeps the path,
// the title and the modified flags, opens, saves and closes the design and reads and writes its
// file stream. The windows are reached through CDocumentViews (its own windows) and CDocumentFrame
// (the main window), so the document itself runs without a window system.
//
// A document is either a design document (a board) or a shape document: a board-like editing
// window for one shape of a shape library, made from the shape when it is created and written
// back into that library, and only there, when it is closed (its source: CShapeSource).
class CWevraDoc : public CObject {
    WEVRA_DECLARE_SERIAL(CWevraDoc)

public:
    // Creates every collection and resets to the defaults.
    CWevraDoc();
    ~CWevraDoc() override;
    CWevraDoc(const CWevraDoc&) = delete;
    CWevraDoc& operator=(const CWevraDoc&) = delete;

    // The document's windows; nullptr for none.
    void SetViews(CDocumentViews* views);

    // ---- Parts ----------------------------------------------------------------------------------

    // The collections, the header settings, the board and its outline: what a design file holds.
    CDesign& Design() { return m_design; }
    const CDesign& Design() const { return m_design; }
    // Scale, scrolling, zoom, the panes' flags and the status line's info text and ruler.
    CViewState& View() { return m_view; }
    const CViewState& View() const { return m_view; }
    // The planes' tools, fill and drawing.
    CDocumentPlanes& Planes() { return m_planeSet; }
    const CDocumentPlanes& Planes() const { return m_planeSet; }
    // The editing session: mode, action, selection, cursor, rubber band and work layer; what
    // the tools see of the design.
    CEditSession& Session() { return m_session; }
    const CEditSession& Session() const { return m_session; }
    // The pens and colours, the board picture, the overlays, the previews and the printing.
    CDocumentPaint& Paint() { return m_painting; }
    const CDocumentPaint& Paint() const { return m_painting; }
    // The edits of the selection as a whole (move, rotate, copy, array, delete), the snap
    // settings and the current pen.
    CDocumentEditing& Editing() { return m_editing; }
    const CDocumentEditing& Editing() const { return m_editing; }
    // The design as the import of a DOS design set sees it.
    CDocumentDosImport& DosImport() { return m_dosImport; }
    // Which padstacks the design's components and nets use, and the padstacks' kinds.
    CPadStackUse& PadStackUse() { return m_padStackUse; }
    const CPadStackUse& PadStackUse() const { return m_padStackUse; }
    // The undo snapshots, the design time and the automatic backups.
    CDocumentHistory& History() { return m_history; }
    const CDocumentHistory& History() const { return m_history; }
    // The connectivity tracer, the design-rule check and the autorouter, and their report lines.
    CDocumentAnalysis& Analysis() { return m_analysis; }
    const CDocumentAnalysis& Analysis() const { return m_analysis; }
    // The toolbar's combo boxes, the panes, the status line, the redraws of the document's windows
    // and the netlist import's message lines.
    CDocumentWindows& Windows() { return m_windows; }
    const CDocumentWindows& Windows() const { return m_windows; }
    // Board > Clean: the removal of what the design no longer uses.
    CDocumentCleanup& Cleanup() { return m_cleanup; }
    // The document as the nets, the components and the netlist import see it.
    CDocumentLink& Link() { return m_link; }
    const CDocumentLink& Link() const { return m_link; }

    // ---- Life cycle -----------------------------------------------------------------------------

    // Every setting and the editing state back to a new design's; the collections keep their
    // content. Loads the stroke font from the program folder.
    bool ResetToDefaults();
    // A design document after the new-design dialog (false when it is cancelled), or, when the
    // main window asked for one, a shape document of the edited library's current shape.
    bool OnNewDocument();
    // By extension: ".PCB" a design file, ".PLY" a DOS design set; anything else is refused.
    // True only when the file was read completely.
    bool OnOpenDocument(const std::string& path);
    // Reads a ".PCB" design file into this design, showing why when it cannot; the path, the
    // title and the recent-file list are left alone. True only when it was read completely.
    bool OpenDesignFile(const std::string& path);
    // A shape document never asks (its shape is written back on close); a design document
    // asks the framework's question when it is modified. False keeps the document open.
    bool SaveModified();
    // A shape document writes its shape back into the library it was made from; the main
    // window's context toolbar is reset.
    void OnCloseDocument();
    // The framework's save: the design goes through Serialize into a temporary file that
    // replaces the file only after a complete write, and only then is the design unmodified.
    // A failure is shown to the user and answers false.
    bool OnSaveDocument(const std::string& path);
    // Reads a template design into the document as the start of a new design (the template
    // flag set around the read); the template becomes the design's template path. True when
    // it was read completely.
    bool ReadTemplate(const std::string& path);

    // ---- Path and title -------------------------------------------------------------------------

    const std::string& GetPathNameRef() const { return m_pathName; }
    // Empty name: the current path. Otherwise the name with the extension ".PCB" becomes the
    // path (and enters the recent-file list); nothing for a shape document.
    void SetDesignPath(const std::string& name);
    // The file title of the path: no folder, no extension; the base name of generated files.
    std::string GetDesignName() const;
    // The folder of the path (never changed in case: folder names are case-sensitive).
    std::string GetDesignFolder() const;
    // Rebuilds the title: "Design] - [" + design name + " ->" + the prompt of the tool mode
    // (with the user offset in Set Grid Offset); the frames add the outer brackets.
    void SetTitle();
    // In the file system's encoding, as it holds the file name.
    const std::string& GetTitle() const { return m_title; }
    // The menu resource of a shape document; 0 for a design document (the template's menu).
    uint32_t GetDefaultMenu() const { return m_menuResource; }

    // ---- Flags ----------------------------------------------------------------------------------

    // Sets the modified flag and the dirty flag counted by the automatic backups.
    void SetModified();
    // An edit that the undo snapshots do not see changed what the planes' fills depend on:
    // their fills become stale, and the design modified.
    void SetCopperModified();
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified) { m_modified = modified; }
    bool IsDirty() const { return m_dirty; }
    void ClearDirty() { m_dirty = false; }
    bool IsShapeDocument() const { return m_shapeDocument; }
    // Set only around the read of a template design by the new-design dialog.
    bool IsTemplateLoad() const { return m_templateLoad; }
    void SetTemplateLoad(bool on) { m_templateLoad = on; }
    // 1 after a design was read successfully.
    int32_t GetLoadResult() const { return m_loadResult; }
    bool IsFromFile() const { return m_fromFile; }

    // ---- Board ----------------------------------------------------------------------------------

    // A layer's colour in one of the three colour sets (screen, highlight, print); the design
    // is modified and the pens are rebuilt from the colours at the next paint. False, and
    // nothing changes, for a set or layer outside the tables.
    bool SetStoredColor(int32_t table, int32_t layer, COLORREF color);

    // ---- Design services
    // --------------------------------------------------------------------------

    // Whether the netlist file was written after the netlist time stamp of the design; false
    // when there is no such file.
    bool IsNetlistNewer() const;
    // The design configuration sheet on that page; its grids are taken on OK. True on OK.
    bool EditDesignConfig(int32_t firstPage);
    // The nets' whole-board recompute and design-rule check.
    void RunCheckAll();
    // Whether the current grid is drawn.
    bool IsGridShown() const;

    // ---- Shape document -------------------------------------------------------------------------

    // Rebuilds the edited shape from the board objects into `library` (the library the
    // document was made from, or a copy of it), relative to the grid origin, which marks the
    // shape's origin: its pens and padstacks become the document's.
    // False when the library has no shape at the edited shape's index.
    bool RebuildShapeInto(CShapeLib& library) const;
    // The document's copy of the library it was made from; nullptr for a design document.
    const CShapeLib* GetShapeLibrary() const;

    // ---- Design file (CWevraDocFile.cpp) --------------------------------------------------------

    // The design file stream. Storing writes the current version and leaves the modified flag
    // alone (backups and clipboard copies are written through here too). Loading reads the
    // whole stream into a fresh design and takes it over only once everything was read; then
    // the fix-ups run, the padstack kinds are derived afresh, the repairs of the load are
    // reported once and the design is unmodified. A refused version is shown and changes
    // nothing; archive errors reach the caller with the open design unchanged.
    void Serialize(CArchive& ar) override;
    // Reads a design stream as opening a design file does: an archive error is shown under the
    // caption. True only when a design was read.
    bool LoadFromArchive(CArchive& ar, const std::string& caption);
    // A design stream pasted over the open design: read as LoadFromArchive does, and once it
    // was read, a snapshot of the whole design before it is pushed, so that one Undo brings
    // that design back. The design is modified afterwards.
    bool PasteDesign(CArchive& ar, const std::string& caption);
    // The whole design as its file stream, and back (for undo snapshots of the whole design).
    std::vector<uint8_t> SaveDesignBytes();
    void RestoreDesign(const std::vector<uint8_t>& design);
    // Whether a component lay off the board when the design was read.
    bool IsComponentOutsideBoard() const { return m_componentOutsideBoard; }

    // ---- Parts taken from a template design (CWevraDocPadKinds.cpp) ----------------------------

    // All three colour tables; the pens are rebuilt from them at the next paint.
    void CopyColorsFrom(const CWevraDoc& other);

    // ---- Small services (CWevraDocPadKinds.cpp) ------------------------------------------------

    // Board/Properties: the "PCB-design Info" dialog with the board size and the counts.
    void OnBoardProperties();
    // File/Send Mail: the design file, or a copy of the design in the temporary folder when it
    // has unsaved changes or no file yet, handed to the desktop's mail program. False when no
    // mail was started.
    bool OnFileSendMail();
    // View/Toggle Transparent Colors: the board drawing switches between opaque and transparent
    // colours, and every view is redrawn.
    void OnToggleTransparentColors();

private:
    struct LoadTarget {};
    // The parts, made in the order they depend on each other (CWevraDocParts.h).
    struct Parts;

    // A document whose design is made as a load target of `current` (nullptr: a fresh one).
    explicit CWevraDoc(const CDesign* current);
    // A design to read a stream into: fresh collections, the header values of `current` (the
    // fields an older stream lacks keep them) and a copy of its font; no reset, no windows.
    CWevraDoc(LoadTarget, const CWevraDoc& current);
    // Names, under the file's title, what the design just read holds that no board would use.
    void NameUnusableValues(const std::string& path) const;

    void StoreDesign(CArchive& ar);
    void LoadDesign(CArchive& ar);
    // The design a stream holds, read completely; nullptr (after saying so) for a version this
    // program does not read. A damaged stream throws, naming the file.
    std::unique_ptr<CWevraDoc> ReadDesign(CArchive& ar);
    // Takes over a design ReadDesign gave, with the fix-ups and repairs of a load.
    void AdoptDesign(CWevraDoc& loaded, CArchive& ar);
    // Takes every collection and the header of a completely read design.
    void TakeOverDesign(CWevraDoc& loaded);
    void FixUpAfterLoad(const std::string& netlistPath, int64_t netlistTime,
                        const std::string& sourcePath);
    // A shape document's cache becomes its library with the edited shape rebuilt.
    void RebuildShapeCache();
    void ResetColors();
    bool MakeShapeDocument();
    void PlaceShapeOnBoard(CShapeLib& library, int32_t shapeIndex);

    std::unique_ptr<Parts> m_parts;
    // What the collections and the netlist import see of the document.
    CDocumentLink& m_link;
    // What a design file holds.
    CDesign& m_design;
    // The header of the design file, which the session, the view and the painting read too.
    CDesignSettings& m_settings;
    CEditSession& m_session;
    // The session's state, which the document's painting and commands work on.
    CEditState& m_edit;
    CDocumentPaint& m_painting;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    CDocumentHistory& m_history;
    CShapeSource& m_shapeSource;
    CDocumentPlanes& m_planeSet;
    CDocumentDosImport& m_dosImport;
    CPadStackUse& m_padStackUse;
    CDocumentAnalysis& m_analysis;
    CDocumentEditing& m_editing;
    CDocumentCleanup& m_cleanup;

    // ---- Document -------------------------------------------------------------------------------
    std::string m_pathName;
    std::string m_title;
    uint32_t m_menuResource = 0;
    bool m_modified = false;
    bool m_dirty = false;
    bool m_shapeDocument = false;
    bool m_templateLoad = false;
    int32_t m_loadResult = 0;
    bool m_componentOutsideBoard = false;
    bool m_fromFile = false;
};
