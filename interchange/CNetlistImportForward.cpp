#include "interchange/CNetlistImport.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/Numeric.h"
#include "interchange/CComponentListReader.h"
#include "interchange/CImportProgress.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistDocument.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CComponentArrayDocument.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CopperGeometry.h"
#include "model/FontWarning.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

bool CNetlistImport::ForwardAnnotate(const std::filesystem::path& path)
{
    const std::filesystem::path listPath = SiblingPath(path, ComponentListExtension());
    SectionMessage("Updating project");
    SectionMessage("Load " + m_formatName +
                   " Componentslist: " + CWindows1252::FromUtf8(listPath.string()) + "\n");
    CNetlistLines lines;
    if (!OpenComponentList(listPath, lines))
        return false;

    // First pass: the references the list names. A record that cannot be placed still keeps
    // its component on the board.
    CNameIndex listed;
    int64_t recordCount = 0;
    std::vector<CComponentRecord> records;
    CComponentRecord record;
    CComponentListReader first(m_format, lines);
    while (first.ReadComponentRecord(record)) {
        if (record.HasReference()) {
            listed.Add(record.reference, 0);
            ++recordCount;
            record.text.clear();
            records.push_back(std::move(record));
        }
    }
    if (listed.Size() == 0) {
        // A list that names nothing is a wrong or damaged file, never an order to clear the
        // board.
        ShowNotFound("No components found in the component list", "Load Netlist", listPath);
        SectionMessage("ERROR: Load Componentlist: " + CWindows1252::FromUtf8(listPath.string()));
        return false;
    }
    if (!ConfirmTwiceListed(listPath, records,
                            "the second record changes the component the first one names") ||
        !ConfirmRemovals(path, listed)) {
        SectionMessage("Forward annotation cancelled by the user: nothing was changed");
        return false;
    }
    m_document->SaveUndoState();
    // Re-anchoring a shape would move the copper of every component placed with it off its
    // tracks: the shapes of the board as it stands keep their anchors.
    std::unordered_set<std::string> placedShapes;
    {
        const CShapeLib& cache = m_document->GetEditableShapeCache();
        CComponentArray& components = m_document->GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            if (const CShape* shape = cache.GetShape(components.GetShapeIndex(i)))
                placedShapes.insert(shape->GetName());
        }
    }
    ForwardDeletions(listed);
    m_referenceIndex.Clear();
    {
        const CComponentArray& components = m_document->GetComponents();
        m_referenceIndex.Reserve(size_t(components.GetCount()));
        for (int32_t i = 0; i < components.GetCount(); ++i)
            m_referenceIndex.Add(components.GetReference(i), i);
    }

    lines.Rewind();
    CComponentListReader second(m_format, lines);
    m_progress->SetStatus("Updating components");
    for (int64_t r = 0; second.ReadComponentRecord(record); ++r) {
        if (m_progress->Advance(std::min(r, recordCount) * (progressUnits / 2) / recordCount))
            return false;
        if (record.IsComplete())
            ForwardRecord(record);
        else
            ReportUnreadable(listPath, record);
    }
    records.clear();
    CShapeLib& cache = m_document->GetEditableShapeCache();
    for (int32_t i = 0; i < cache.GetCount(); ++i) {
        if (const CShape* shape = cache.GetShape(i);
            shape && !placedShapes.contains(shape->GetName()))
            cache.NormalizeShape(i);
    }
    return true;
}

namespace {

// The pads a net file gives a net, by reference and pad index; the design is not touched.
class CAssignedPadsSink : public CNetReaderSink {
public:
    // Marks the pads of the board's references that the netlist names (components sharing a
    // reference share the marks, as they share the name).
    explicit CAssignedPadsSink(const CComponentArray& components)
    {
        const int32_t count = components.GetCount();
        m_references.Reserve(size_t(count));
        m_referenceOf.resize(size_t(count));
        std::vector<size_t> pads;
        for (int32_t i = 0; i < count; ++i) {
            const std::string reference = components.GetReference(i);
            int32_t id = m_references.Find(reference);
            if (id < 0) {
                id = int32_t(pads.size());
                m_references.Add(reference, id);
                pads.push_back(0);
            }
            m_referenceOf[size_t(i)] = id;
            pads[size_t(id)] =
                std::max(pads[size_t(id)], components.GetComponent(i)->GetPadNets().size());
        }
        m_firstPad.assign(pads.size() + 1, 0);
        for (size_t id = 0; id < pads.size(); ++id)
            m_firstPad[id + 1] = m_firstPad[id] + pads[id];
        m_named.assign(m_firstPad.back(), 0);
        m_netOf.assign(m_firstPad.back(), noNet);
    }

    // As the import takes them: a net without a name holds its pins on no net.
    void OnNet(const std::string& name, int32_t /*line*/) override
    {
        if (name.empty()) {
            m_current = noNet;
            return;
        }
        m_current = m_netIndex.Find(name);
        if (m_current < 0) {
            m_current = int32_t(m_netNames.size());
            m_netIndex.Add(name, m_current);
            m_netNames.push_back(name);
        }
    }
    void OnPin(const std::string& reference, const std::string& pin, int32_t /*line*/) override
    {
        const int32_t id = m_references.Find(reference);
        if (id < 0)
            return;
        const int64_t pad = int64_t(ParsePinNumber(pin)) - 1;
        const size_t first = m_firstPad[size_t(id)];
        if (pad >= 0 && uint64_t(pad) < m_firstPad[size_t(id) + 1] - first) {
            m_named[first + size_t(pad)] = 1;
            // The last net wins, as in the import.
            m_netOf[first + size_t(pad)] = m_current;
        }
    }
    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}

    // Whether the netlist names the pad of the board's component.
    bool Names(int32_t component, size_t pad) const { return m_named[Slot(component, pad)] != 0; }
    // The name of the net the netlist puts the pad into, "" for none.
    std::string NetOf(int32_t component, size_t pad) const
    {
        const int32_t net = m_netOf[Slot(component, pad)];
        return net == noNet ? std::string() : m_netNames[size_t(net)];
    }

private:
    static constexpr int32_t noNet = -1;

    size_t Slot(int32_t component, size_t pad) const
    {
        return m_firstPad[size_t(m_referenceOf[size_t(component)])] + pad;
    }

    CNameIndex m_references;
    std::vector<int32_t> m_referenceOf;
    std::vector<size_t> m_firstPad;
    std::vector<uint8_t> m_named;
    // Per pad, the netlist's net (an index into m_netNames) or noNet.
    std::vector<int32_t> m_netOf;
    CNameIndex m_netIndex;
    std::vector<std::string> m_netNames;
    int32_t m_current = noNet;
};

} // namespace

bool CNetlistImport::ConfirmRemovals(const std::filesystem::path& path, const CNameIndex& listed)
{
    const CComponentArray& components = m_document->GetComponents();
    CNetlistLines lines;
    CAssignedPadsSink assigned(components);
    if (OpenLines(SiblingPath(path, ".NET"), lines))
        CNetReader(m_format, lines, assigned).Read();
    int32_t deleted = 0;
    int64_t padsInNets = 0;
    int64_t padsLeaving = 0;
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const bool stays = listed.Find(components.GetReference(i)) >= 0 ||
                           components.TestFlag(i, ComponentFlags::lockDelete);
        if (!stays)
            ++deleted;
        const std::vector<uint16_t>& nets = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < nets.size(); ++pad) {
            if (nets[pad] == 0)
                continue;
            ++padsInNets;
            if (!stays || !assigned.Names(i, pad))
                ++padsLeaving;
        }
    }
    const int32_t placed = components.GetCount();
    const auto newNet = [&assigned](int32_t component, size_t pad) {
        return assigned.NetOf(component, pad);
    };
    if (int64_t(deleted) * 4 <= placed && padsLeaving * 4 <= padsInNets)
        return ConfirmPadsLeavingCopper(SiblingPath(path, ".NET"), listed, newNet);
    const std::string text =
        std::to_string(deleted) + " of " + std::to_string(placed) +
        " components would be deleted, " + std::to_string(padsLeaving) + " of " +
        std::to_string(padsInNets) + " pads in nets would lose their net.\n\nNetlist: " +
        CWindows1252::FromUtf8(SiblingPath(path, ".NET").string()) + "\n\nContinue?";
    return CServices::Messages().MessageBox(text, "Forward Annotate", MB_YESNO_DEFAULTNO,
                                            MB_ICONQUESTION) == IDYES &&
           ConfirmPadsLeavingCopper(SiblingPath(path, ".NET"), listed, newNet);
}

namespace {

// How far a pad's copper reaches from its centre, at any angle, on each signal layer (-1 where
// it has none); entry 0 holds the farthest of them.
using CPadReach = std::array<int32_t, LAYER_INNER_12 + 1>;

// A pad of a component that stays, in the net it has now.
struct CNetPad {
    int32_t component = 0;
    size_t pad = 0;
    CPoint at;
    CPadReach reach{};
};

CPadReach PadReach(const CPadStackArray& padStacks, int32_t stack, bool mirrored)
{
    CPadReach reach;
    reach.fill(-1);
    if (stack < 0)
        return reach;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        const CRect rect = padStacks.GetPadRect(stack, mirrored ? OppositeLayer(layer) : layer);
        if (rect.IsRectEmpty())
            continue;
        // Any angle but a quarter turn: the pad's farthest corner.
        reach[size_t(layer)] = SaturateToInt(CNet::PadReach(rect, 1));
        reach[0] = std::max(reach[0], reach[size_t(layer)]);
    }
    return reach;
}

// A piece of the net's copper: a drawn segment of half width `halfWidth`, or a lone vertex.
struct CNetPiece {
    CPoint from;
    CPoint to;
    int32_t halfWidth = 0;
    int64_t left = 0; // the leftmost x it covers
    // A track's signal layer; 0 for a pad or via, which is taken to reach every layer.
    int32_t layer = 0;
};

// The net's copper, sorted by its left edges, and how wide the widest piece is.
struct CNetCopper {
    std::vector<CNetPiece> pieces;
    int64_t widest = 0;
};

CNetCopper NetCopper(const CNet& net)
{
    CNetCopper copper;
    copper.pieces.reserve(size_t(net.GetVertexCount()));
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        CNetPiece piece;
        piece.to = net.GetVertexPoint(v);
        piece.from = piece.to;
        if (v > 0 && net.GetVertex(v).IsDrawn()) {
            piece.from = net.GetVertexPoint(v - 1);
            piece.halfWidth = net.GetVertexWidth(v) / 2;
        }
        if (!net.IsPadVertex(v)) {
            piece.layer = net.GetVertexLayer(v);
            if (piece.layer < LAYER_TOP || piece.layer > LAYER_INNER_12)
                continue; // drawn on no signal layer: no copper
        }
        piece.left = std::min<int64_t>(piece.from.x, piece.to.x) - piece.halfWidth;
        const int64_t right = std::max<int64_t>(piece.from.x, piece.to.x) + piece.halfWidth;
        copper.widest = std::max(copper.widest, right - piece.left);
        copper.pieces.push_back(piece);
    }
    std::sort(copper.pieces.begin(), copper.pieces.end(),
              [](const CNetPiece& a, const CNetPiece& b) { return a.left < b.left; });
    return copper;
}

// Whether a track or vertex of the net reaches the pad's copper on its layer: a track ending on
// the pad or only running across it.
bool CopperAtPad(const CNetCopper& copper, const CNetPad& pad)
{
    const int64_t farthest = pad.reach[0];
    if (farthest < 0)
        return false;
    const int64_t right = int64_t(pad.at.x) + farthest;
    auto it = std::lower_bound(copper.pieces.begin(), copper.pieces.end(),
                               int64_t(pad.at.x) - farthest - copper.widest,
                               [](const CNetPiece& piece, int64_t x) { return piece.left < x; });
    for (; it != copper.pieces.end() && it->left <= right; ++it) {
        const int32_t reach = pad.reach[size_t(it->layer)];
        if (reach >= 0 && SegmentTouchesCircle(it->from, it->to, pad.at, it->halfWidth, reach))
            return true;
    }
    return false;
}

// Whether a filled plane of the net covers the pad's centre on a layer where the pad has copper:
// the fill joins the pad to the plane.
bool PlaneAtPad(const std::vector<std::unique_ptr<CPour>>& planes, int32_t net, const CNetPad& pad)
{
    for (const auto& plane : planes) {
        const int32_t layer = plane->GetLayer();
        if (plane->GetNet() == net && plane->HasFill() && layer >= LAYER_TOP &&
            layer <= LAYER_INNER_12 && pad.reach[size_t(layer)] >= 0 &&
            plane->ContainsPoint(pad.at.x, pad.at.y, layer))
            return true;
    }
    return false;
}

} // namespace

bool CNetlistImport::ConfirmPadsLeavingCopper(
    const std::filesystem::path& netPath, const CNameIndex& listed,
    const std::function<std::string(int32_t, size_t)>& newNet)
{
    const CComponentArray& components = m_document->GetComponents();
    const CNetArray& nets = m_document->GetNets();
    const CPadStackArray& padStacks = m_document->GetEditableShapeCache().GetPadStacks();
    // The pads that change nets, by the net they leave.
    std::map<int32_t, std::vector<CNetPad>> leaving;
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        if (listed.Find(components.GetReference(i)) < 0 &&
            !components.TestFlag(i, ComponentFlags::lockDelete))
            continue; // deleted: its pads are named with the tracks they leave
        const std::vector<uint16_t>& padNets = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < padNets.size(); ++pad) {
            const CNet* net = nets.GetNet(padNets[pad]);
            if (padNets[pad] == 0 || net == nullptr ||
                newNet(i, pad) == nets.GetNetName(padNets[pad]))
                continue;
            leaving[padNets[pad]].push_back(
                {i, pad, components.GetPadPosition(i, int32_t(pad)),
                 PadReach(padStacks, components.GetPadShape(i, int32_t(pad)),
                          components.IsMirrored(i))});
        }
    }
    std::vector<std::string> named;
    for (const auto& [netIndex, pads] : leaving) {
        const CNet& net = *nets.GetNet(netIndex);
        const CNetCopper copper = NetCopper(net);
        for (const CNetPad& pad : pads) {
            if (!CopperAtPad(copper, pad) && !PlaneAtPad(m_document->GetPlanes(), netIndex, pad))
                continue;
            const std::string to = newNet(pad.component, pad.pad);
            const std::string text =
                components.GetReference(pad.component) + "-" + std::to_string(pad.pad + 1) + " (" +
                net.GetName() + (to.empty() ? std::string(", to no net)") : ", to net " + to + ")");
            ItemMessage(CResString::LoadWith(IDS_NETLIST_PAD_LEAVES_COPPER, text));
            named.push_back(text);
        }
    }
    if (named.empty())
        return true;
    constexpr size_t shownPads = 20;
    std::string list;
    for (size_t k = 0; k < std::min(named.size(), shownPads); ++k)
        list += (k == 0 ? "" : "\n") + named[k];
    if (named.size() > shownPads)
        list += "\nand " + std::to_string(named.size() - shownPads) + " more";
    list += "\n\nNetlist: " + CWindows1252::FromUtf8(netPath.string());
    if (CServices::Messages().MessageBox(CResString::LoadWith(IDS_NETLIST_PADS_LEAVE_COPPER, list),
                                         "Forward Annotate", MB_YESNO_DEFAULTNO,
                                         MB_ICONQUESTION) == IDYES)
        return true;
    m_showReport = true;
    return false;
}

void CNetlistImport::ForwardDeletions(const CNameIndex& listed)
{
    CComponentArray& components = m_document->GetComponents();
    m_document->SelectAll(false);
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const std::string reference = components.GetReference(i);
        if (listed.Find(reference) >= 0)
            continue;
        ItemMessage("Delete Component: " + reference + ", " + components.GetType(i) + ", " +
                    components.GetShapeName(i));
        // A component locked against selection cannot be marked for deletion: its lock
        // keeps it as the delete lock would.
        if (components.TestFlag(i, ComponentFlags::lockDelete) || !components.Select(i, true)) {
            components.Select(i, false);
            ItemMessage("Warning: Delete Ignored by properties: " + reference);
        }
    }
    if (components.GetSelectedCount() > 0) {
        const std::map<int32_t, std::vector<std::string>> lost = PadsLeavingTracks();
        components.DeleteSelected();
        m_document->SetCurrentComponent(-1);
        // The tracks stay where they were laid: the user should know which now end in the air.
        constexpr size_t shownPads = 20;
        const CNetArray& nets = m_document->GetNets();
        for (const auto& [net, pads] : lost) {
            std::string names;
            for (size_t k = 0; k < std::min(pads.size(), shownPads); ++k)
                names += (k == 0 ? "" : ", ") + pads[k];
            if (pads.size() > shownPads)
                names += " and " + std::to_string(pads.size() - shownPads) + " more";
            ItemMessage("Warning: Tracks of net " + nets.GetNetName(net) +
                        " lost their pads: " + names);
        }
    }
}

std::map<int32_t, std::vector<std::string>> CNetlistImport::PadsLeavingTracks()
{
    std::map<int32_t, std::vector<std::string>> lost;
    CComponentArray& components = m_document->GetComponents();
    const CNetArray& nets = m_document->GetNets();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        if (!components.IsSelected(i))
            continue;
        const std::vector<uint16_t>& padNets = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < padNets.size(); ++pad) {
            const CNet* net = nets.GetNet(padNets[pad]);
            if (padNets[pad] != 0 && net != nullptr && net->GetVertexCount() > 0)
                lost[padNets[pad]].push_back(components.GetReference(i) + "-" +
                                             std::to_string(pad + 1));
        }
    }
    return lost;
}

void CNetlistImport::ForwardRecord(const CComponentRecord& record)
{
    CComponentArray& components = m_document->GetComponents();
    const std::string names = record.reference + ", " + record.type + ", " + record.shape;
    const int32_t index = m_referenceIndex.Find(record.reference);
    const int32_t shape = FindOrImportShape(record.shape);
    if (index < 0) {
        ItemMessage("Add    Component: " + names);
        if (shape < 0) {
            ItemMessage("Warning: Shape not Found: " + names);
            return;
        }
        m_referenceIndex.Add(record.reference,
                             components.AppendComponent(record.reference, record.type, shape,
                                                        placeX, placeY, 0, false));
        FontMessage("Reference", record.reference);
        FontMessage("Type of " + record.reference, record.type);
        return;
    }
    if (shape < 0) {
        ItemMessage("Warning: Shape not Found: " + names);
        return;
    }
    if (components.GetShapeName(index) != record.shape) {
        ItemMessage("Replace Shape: " + names);
        if (components.TestFlag(index, ComponentFlags::lockReplaceShape)) {
            ItemMessage("Warning: Replace Shape Ignored by properties: " + record.reference);
        } else {
            components.SetRotation(index, components.BestRotationForShape(index, shape));
            components.SetShapeIndex(index, shape);
        }
    }
    if (components.GetType(index) != record.type) {
        ItemMessage("Replace Typename: " + names);
        if (components.TestFlag(index, ComponentFlags::lockType))
            ItemMessage("Warning: Replace Typename Ignored by properties: " + record.reference);
        else {
            components.SetName(index, CComponent::textType, record.type);
            FontMessage("Type of " + record.reference, record.type);
        }
    }
}

void CNetlistImport::FontMessage(const std::string& what, const std::string& name)
{
    const CComponentArrayDocument* board = m_document->GetComponents().GetDocument();
    if (!board)
        return;
    const std::string line = MissingCharactersLine(board->GetFont(), what, name);
    if (!line.empty())
        ItemMessage("Warning: " + line);
}

bool CNetlistImport::ReloadNets(const std::filesystem::path& path)
{
    const bool loaded = ReadNetFile(path);
    // Components were deleted, added and sorted: the pins follow them even when no net was
    // read.
    m_document->GetComponents().RebuildNetPins();
    return loaded;
}
