#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"

class CComponentArray;
class CDrawRecArray;
class CNetArray;
class CPour;
class CShapeLib;
class CTextArray;
class CWevraDoc;

// Copies of the design's editable collections, taken before an edit so that Undo and Redo can
// bring that state back. The board outline, the layer table and the settings are not part of
// it, except in a snapshot of the whole design, which a replacement of the whole design needs.
// Planes are kept as the design file keeps them, without their fill, which can be far larger
// than everything else: a restored plane whose fill would be unchanged takes the document's
// plane with its fill, any other is filled again when it was filled before.
class CUndoSnapshot : public CObject {
public:
    // Mask bits: which collections the snapshot holds.
    static constexpr uint32_t maskLines = 0x1;
    static constexpr uint32_t maskTexts = 0x2;
    static constexpr uint32_t maskComponents = 0x4;
    static constexpr uint32_t maskNets = 0x8;
    static constexpr uint32_t maskPlanes = 0x20;
    // Given at construction it stands for all four and is stored as maskStoredAll.
    static constexpr uint32_t maskAll = 0x10;
    static constexpr uint32_t maskStoredAll = 0xFFFF;
    // The design's shape cache with its padstacks, for edits that renumber shapes or
    // padstacks under the components and nets; never part of maskAll.
    static constexpr uint32_t maskShapeCache = 0x10000;
    // The netlist the design names and its time stamp, for the netlist import.
    static constexpr uint32_t maskNetlist = 0x20000;
    // Marks the record of the current state that Undo takes itself, dropped by the next push.
    static constexpr uint32_t maskTemporary = 0x40000000;
    // Holds the whole design as its file stream instead of the four collections.
    static constexpr uint32_t maskWholeDesign = 0x20000000;
    // Taken just before the whole design was replaced: the collections of the next snapshot
    // would not fit the design this one brings back, so that one holds the whole design too.
    static constexpr uint32_t maskDesignReplaced = 0x10000000;

    // Copies the document's collections chosen by the mask, or the whole design; bits above
    // the collections' are kept as marks.
    CUndoSnapshot(uint32_t mask, CWevraDoc& document);
    ~CUndoSnapshot() override;
    CUndoSnapshot(const CUndoSnapshot&) = delete;
    CUndoSnapshot& operator=(const CUndoSnapshot&) = delete;

    uint32_t GetMask() const { return m_mask; }
    bool IsTemporary() const { return (m_mask & maskTemporary) != 0; }
    bool IsBeforeReplacement() const { return (m_mask & maskDesignReplaced) != 0; }
    // The stack's count of pushes when this one went on it.
    uint64_t GetSerial() const { return m_serial; }
    void SetSerial(uint64_t serial) { m_serial = serial; }

    // Copies each held collection into the document's own collection object, so that every
    // reference to the collections stays valid; the snapshot keeps its copies and can be
    // restored again. A whole design is taken over by the document as a pasted one is.
    void Restore(CWevraDoc& document) const;
    // Whether the document's collections that the snapshot holds are as it holds them, leaving
    // aside what only the editing state changes (selection, current vertex, change marks): an
    // edit that ends with the design as this snapshot has it made no step of its own.
    bool Matches(CWevraDoc& document) const;
    // Lets go of the held nets and components before the snapshot is dropped, freeing the nets
    // it alone holds side by side: after a big edit those are thousands of small blocks each.
    void Release();

private:
    struct PlaneCopy {
        std::unique_ptr<CPour> plane;
        bool filled = false;
    };
    void RestorePlanes(CWevraDoc& document) const;
    // The stored bytes of the nets and components held. The copies share the items the edit
    // does not touch with the design; the checked build takes them at once and again before
    // each use, and stops at a difference: something wrote to a shared item without asking for
    // its own copy first, and Undo would bring back the edited state.
    std::vector<uint8_t> SharedItemBytes() const;
    void CheckSharedItems() const;

    uint32_t m_mask;
    uint64_t m_serial = 0;
    std::unique_ptr<CDrawRecArray> m_lines;
    std::unique_ptr<CTextArray> m_texts;
    std::unique_ptr<CComponentArray> m_components;
    std::unique_ptr<CNetArray> m_nets;
    std::vector<PlaneCopy> m_planes;
    std::vector<uint8_t> m_design;
    std::unique_ptr<CShapeLib> m_shapeCache;
    std::string m_netlistPath;
    int64_t m_netlistTime = 0;
    std::vector<uint8_t> m_sharedItemBytes;
};
