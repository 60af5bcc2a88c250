#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "document/CDesignSettings.h"
#include "framework/CRect.h"

class CComponentArray;
class CNetArray;
class CPadStackArray;

// What the board picture in a view's buffer was drawn from, kept to tell which places of the
// picture a later change touched, so that only those are drawn again.
// The nets and components are kept as copies that share every item with the design: an item
// changed since is then another object in the design than in the copy (the collections copy
// at once the items a tool may hold, which count as changed when their content differs, and
// drop the selection of their copies, so that an item selected when drawn always counts as
// changed).
// So is the current net, which the picture shows in the highlight colours. Everything else the
// picture shows is kept as the settings and a fingerprint; any difference there, or in the
// order or number of the nets, asks for the whole picture.
class CPaintedBoard {
public:
    // Past `limit` changed items, drawing the whole picture costs about as much as the parts.
    explicit CPaintedBoard(size_t limit);
    ~CPaintedBoard();
    CPaintedBoard(const CPaintedBoard&) = delete;
    CPaintedBoard& operator=(const CPaintedBoard&) = delete;

    // What the picture now shows. An item selected when drawn counts as changed, so with more
    // selected than ChangedBoxes could ever accept (Select All) nothing is kept: copying the
    // selected items would cost more than the picture and the next one is drawn whole anyway.
    // `padCounts` are the nets' counts of pad and via vertices as PadCounts gave them, or
    // none.
    void Record(const CNetArray& nets, const CComponentArray& components,
                const CDesignSettings& settings, std::vector<uint8_t> fingerprint,
                std::vector<int32_t> padCounts = {});
    // Nothing kept: the next picture is drawn whole. Lets go of the kept copies.
    void Forget();
    bool IsRecorded() const { return m_nets != nullptr; }

    // The boxes, before and after, of every net and component that differs from the kept
    // ones (of a net, the box of what differs in it when that is only vertices, pins and
    // ratsnest lines); when another net is current, those of the nets made current and no longer
    // current and of the components with pads on them. None when nothing is kept, the settings or
    // the fingerprint differ, the nets were added, removed or reordered, or more than the limit of
    // items differ. With `viaCounts`, a net whose count of pad vertices changed also asks for the
    // whole picture (via labels number on from net to net); `pinClusters` says whether the picture
    // shows the pins' clusters.
    std::optional<std::vector<CRect>>
    ChangedBoxes(const CNetArray& nets, const CComponentArray& components,
                 const CPadStackArray& padStacks, const CDesignSettings& settings,
                 const std::vector<uint8_t>& fingerprint, bool viaCounts, bool pinClusters) const;

    // Each net's count of pad and via vertices, which the running via numbers add up: those of
    // the nets unchanged since the picture was recorded with them are taken from it, the rest
    // are counted. `asKept` says that ChangedBoxes with `viaCounts` gave boxes for the nets as
    // they are: it found no net's count changed, so the kept counts are taken whole.
    std::vector<int32_t> PadCounts(const CNetArray& nets, bool asKept = false) const;

private:
    // Lets go of the kept copies.
    void ReleaseCopies();

    size_t m_limit;
    std::unique_ptr<CNetArray> m_nets;
    std::unique_ptr<CComponentArray> m_components;
    // What had a selection when the picture was drawn: the copies drop it, so these count as
    // changed whatever the comparison says.
    std::vector<uint8_t> m_netSelected;
    std::vector<uint8_t> m_componentSelected;
    CDesignSettings m_settings;
    std::vector<uint8_t> m_fingerprint;
    // Of the kept nets, when the picture was recorded with them.
    std::vector<int32_t> m_padCounts;
    // The net the picture shows in the highlight colours.
    int32_t m_currentNet = -1;
};
