#include "model/CNetArray.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CBrush.h"
#include "framework/CDeviceContext.h"
#include "framework/CMessageService.h"
#include "framework/CPen.h"
#include "framework/CRect.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "framework/ShownLines.h"
#include "model/CDialogService.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNetArrayDocument.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/CTrackTool.h"
#include "model/Geometry.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CNetArray, "CNetArray", CRuntimeClass::versionableSchema | 1u)

namespace {

// The track widths a new board offers, in millimetres.
constexpr double boardWidthsMm[] = {0.25, 0.3, 0.35, 0.4, 0.5, 0.6, 0.8, 1.0, 1.2, 1.5, 2.0, 2.5};

constexpr COLORREF errorLineColor = 0xFFFFFF;

// Up to this many nets are gone through on one thread: waking others would cost more.
constexpr size_t netsAlone = 4096;

bool WithinSquare(CPoint p, CPoint centre, int32_t halfSize)
{
    return std::abs(int64_t(p.x) - centre.x) <= halfSize &&
           std::abs(int64_t(p.y) - centre.y) <= halfSize;
}

// Text left-aligned in at least `width` characters, as "%-Ns" and "%-Nd" write it.
std::string PadRight(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// Pen 1 on of the table with that width, or -1 (pen 0 only lifts the pen).
int32_t FindDrawingPen(const CNet& net, int32_t width)
{
    const std::vector<uint16_t>& pens = net.GetPenTable();
    for (size_t p = 1; p < pens.size(); ++p) {
        if (pens[p] == width)
            return int32_t(p);
    }
    return -1;
}

bool Contains(const std::vector<uint16_t>& widths, uint16_t width)
{
    return std::find(widths.begin(), widths.end(), width) != widths.end();
}

CPoint ToScreen(CPoint p, int32_t offsetX, int32_t offsetY, int32_t scale)
{
    return {SaturateToInt((int64_t(p.x) + offsetX) / scale),
            SaturateToInt((int64_t(p.y) + offsetY) / scale)};
}

bool IsSignalLayer(int32_t layer)
{
    return layer >= LAYER_TOP && layer <= LAYER_INNER_12;
}

} // namespace

CNetArray::CNetArray()
{
    CreateNetZero();
}

CNetArray::CNetArray(CNetArrayDocument& document) : m_document(&document)
{
    CreateNetZero();
}

CNetArray::CNetArray(const CNetArray& other)
    : m_trackLayerUse(other.m_trackLayerUse), m_padLayerUse(other.m_padLayerUse),
      m_currentNet(other.m_currentNet), m_toDoList(other.m_toDoList), m_toDoNets(other.m_toDoNets),
      m_toDoTotal(other.m_toDoTotal), m_document(other.m_document),
      m_repaintRect(other.m_repaintRect), m_repaintCounts(other.m_repaintCounts)
{
    // The copy shares the nets; those an edit is about to write (net 0, the current net and any
    // with a selection) are copied now, so that a net a tool already holds is never shared with
    // an undo snapshot taken of it.
    m_nets = CSharedItem<CNet>::CopyEach(other.m_nets.size(), netsAlone,
                                         [&](size_t i) { return other.KeptNet(i); });
}

CSharedItem<CNet> CNetArray::KeptNet(size_t i) const
{
    const CSharedItem<CNet>& net = m_nets[i];
    if (net->GetSelectedCount() == 0 && i != 0 && i != size_t(m_currentNet))
        return net;
    auto copy = std::make_unique<CNet>(*net);
    copy->SelectAllVertices(false);
    return copy;
}

bool CNetArray::ShareNetsOf(const CNetArray& other, std::vector<CSharedItem<CNet>>& replaced)
{
    if (m_nets.size() != other.m_nets.size())
        return false;
    // Written without taking non-const access, by a tool that holds them, are only net 0, the
    // current net and selected nets (selected ones no longer shared), which are copied anew.
    replaced = CSharedItem<CNet>::ShareAgain(
        m_nets, other.m_nets, netsAlone,
        [&](size_t i) { return i == 0 || i == size_t(other.m_currentNet); },
        [&](size_t i) { return other.KeptNet(i); });
    return true;
}

CNetArray& CNetArray::operator=(const CNetArray& other)
{
    if (this == &other)
        return *this;
    // The document, the error records and the info text belong to the live list.
    CNetArray copy(other);
    m_nets = std::move(copy.m_nets);
    m_trackLayerUse = copy.m_trackLayerUse;
    m_padLayerUse = copy.m_padLayerUse;
    m_currentNet = copy.m_currentNet;
    m_toDoList = std::move(copy.m_toDoList);
    m_toDoNets = std::move(copy.m_toDoNets);
    m_toDoTotal = copy.m_toDoTotal;
    m_selectedTotal = 0;
    m_repaintRect = copy.m_repaintRect;
    m_repaintCounts = copy.m_repaintCounts;
    return *this;
}

CNetArray::~CNetArray() = default;

CTrackTool& CNetArray::GetTrackTool()
{
    if (!m_trackTool)
        m_trackTool = std::make_unique<CTrackTool>(*this);
    return *m_trackTool;
}

void CNetArray::CreateNetZero()
{
    const int32_t min = MmToUnits(0.2);
    auto zero = std::make_unique<CNet>(newNetZeroName, min, MmToUnits(2.5), min);
    for (double mm : boardWidthsMm)
        zero->AddPen(MmToUnits(mm));
    m_nets.push_back(std::move(zero));
}

void CNetArray::RecountSelected()
{
    std::vector<int32_t> selected(CWorkPool::RunCount(m_nets.size(), netsAlone), 0);
    const auto countRun = [&](size_t run, size_t first, size_t last) {
        int32_t count = 0;
        for (size_t k = first; k < last; ++k)
            count += std::as_const(m_nets)[k]->GetSelectedCount();
        selected[run] = count;
    };
    CWorkPool::Shared().ForEachRun(m_nets.size(), netsAlone, countRun);
    m_selectedTotal = 0;
    for (const int32_t count : selected)
        m_selectedTotal += count;
}

// ---- Lookup and naming --------------------------------------------------------------------------

CNet* CNetArray::GetNet(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_nets[size_t(i)].get() : nullptr;
}

const CNet* CNetArray::GetNet(int32_t i) const
{
    return i >= 0 && i < GetCount() ? m_nets[size_t(i)].get() : nullptr;
}

std::string CNetArray::GetNetName(int32_t i) const
{
    const CNet* net = std::as_const(*this).GetNet(i);
    return net ? net->GetName() : std::string();
}

CNet* CNetArray::GetCurrentNet()
{
    return GetNet(GetCurrentIndex());
}

int32_t CNetArray::GetCurrentIndex()
{
    if (m_currentNet < 0 || m_currentNet >= GetCount())
        SetCurrentNet(m_currentNet);
    return m_currentNet;
}

void CNetArray::SetCurrentNet(int32_t i)
{
    m_currentNet = std::clamp(i, 0, std::max(GetCount() - 1, 0));
    if (!m_document)
        return;
    m_document->SelectNetInCombo(m_currentNet);
    CGridArr& grids = m_document->GetGridSettings();
    if (grids.GetSnapRange() != 0) {
        const uint32_t mode = m_document->GetMode();
        const bool trackTool = mode == ID_TRACKS_ADD || mode == ID_TRACKS_EDIT;
        if (trackTool && GetCount() >= 2 && m_currentNet >= 1) {
            const CNet& net = *std::as_const(m_nets)[size_t(m_currentNet)];
            std::vector<CPoint> pins;
            pins.reserve(size_t(net.GetPinCount()));
            for (int32_t p = 0; p < net.GetPinCount(); ++p)
                pins.emplace_back(net.GetPin(p).x, net.GetPin(p).y);
            grids.CollectSnapPoints(pins);
        } else {
            grids.ClearSnapPoints();
        }
    }
    m_document->SetStatusText(GetStatusText());
}

CPoint CNetArray::GetCurrentVertexPoint()
{
    const CNet* net = GetCurrentNet();
    return net ? net->GetCurrentVertexPoint() : CPoint();
}

std::string CNetArray::GetStatusText()
{
    const CNet* net = GetCurrentNet();
    if (!net || !m_document)
        return {};
    if (m_document->GetAction() == 1)
        return net->GetShortInfo();
    return net->GetStatusText(m_document->GetUnit());
}

int32_t CNetArray::FindNet(const std::string& name) const
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (m_nets[size_t(i)]->GetName() == name)
            return i;
    }
    return -1;
}

int32_t CNetArray::AddNet(const std::string& name)
{
    m_nets.push_back(std::make_unique<CNet>(name));
    return GetCount() - 1;
}

int32_t CNetArray::AddNetWithWidths(const std::string& name, int32_t minWidth, int32_t maxWidth,
                                    int32_t clearance)
{
    m_nets.push_back(std::make_unique<CNet>(name, minWidth, maxWidth, clearance));
    return GetCount() - 1;
}

bool CNetArray::AddPadToCurrent(int32_t x, int32_t y, int32_t padStack, int32_t rotation,
                                bool mirrored)
{
    return GetCurrentNet()->AppendPadVertex(x, y, padStack, rotation, mirrored);
}

bool CNetArray::AddVertexToCurrent(int32_t x, int32_t y, int32_t layer, int32_t pen)
{
    return GetCurrentNet()->AppendVertex(x, y, layer, pen);
}

std::string CNetArray::MakeUniqueName(int32_t start) const
{
    for (int64_t n = start;; ++n) {
        std::string name = std::to_string(n);
        if (FindNet(name) < 0)
            return name;
    }
}

void CNetArray::CreateNumberedNets(int32_t n)
{
    while (GetCount() <= n) {
        const std::string digits = "00000" + std::to_string(GetCount());
        AddNet("N" + digits.substr(digits.size() - 6));
    }
    SetCurrentNet(n);
}

// ---- Storage and reset --------------------------------------------------------------------------

void CNetArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_nets.size());
        ar.WriteObjects(m_nets.size(), [this](size_t i) -> const CObject* {
            return std::as_const(m_nets)[i].get();
        });
        return;
    }

    // Each net is compacted as soon as it was read, while its records are at hand. Compacting
    // gives a table without any width a usable one, which is said.
    const uint32_t count = ar.ReadCount(2);
    std::vector<CSharedItem<CNet>> loaded = ar.ReadObjectsOf<CNet, CSharedItem<CNet>>(
        count, &CNet::SkipRecord, [](size_t i, CNet& net) {
            if (i > 0)
                net.CompactPens(true);
        });
    if (std::any_of(loaded.begin(), loaded.end(), [](const auto& net) { return !net; }))
        CArchive::Fail(CArchiveException::badClass, "A net of the net list is missing.");

    m_nets = std::move(loaded);
    m_errors.clear();
    if (m_nets.empty()) {
        CreateNetZero();
        ar.AddLoadWarning(CResString::Load(IDS_NET_ZERO_CREATED));
    }
    std::vector<std::string> penless;
    for (size_t i = 1; i < m_nets.size(); ++i) {
        if (m_nets[i]->WasLoadedWithoutWidth())
            penless.push_back(m_nets[i]->GetName());
    }
    if (!penless.empty())
        ar.AddLoadWarning(ShownLines(CResString::LoadWith(IDS_NET_PENS_WITHOUT_WIDTH,
                                                          std::to_string(CNet::fallbackPenWidth)),
                                     penless, 20));
    CollectPens(&ar);
    m_nets[0]->SetName(loadedNetZeroName);
    m_currentNet = std::clamp(m_currentNet, 0, GetCount() - 1);
    RecountSelected();
}

bool CNetArray::Reset()
{
    // The other nets are dropped below, so their copper must be in net 0 first.
    if (m_document && !m_document->AllNetsToNet0())
        return false;
    auto zero = std::make_unique<CNet>(*m_nets[0]);
    zero->SelectAllVertices(false);
    m_nets.clear();
    m_errors.clear();
    m_currentNet = 0;
    m_selectedTotal = 0;
    m_nets.push_back(std::move(zero));
    m_trackLayerUse.fill(0);
    m_padLayerUse.fill(0);
    if (m_document)
        m_document->ResetPadNets();
    return true;
}

bool CNetArray::CollectPensIntoNetZero()
{
    return CollectPens(nullptr);
}

std::vector<uint16_t> CNetArray::MissingNetZeroWidths() const
{
    // Runs of nets are looked at side by side and their findings merged in net order, so each
    // width keeps the place of the first net that needs it.
    const size_t others = m_nets.empty() ? 0 : m_nets.size() - 1;
    constexpr size_t widthNetsAlone = 8192;
    std::vector<std::vector<uint16_t>> found(CWorkPool::RunCount(others, widthNetsAlone));
    const auto findWidths = [&](size_t run, size_t first, size_t last) {
        // Net 0 is left out: the runs count from net 1.
        for (size_t i = first + 1; i <= last; ++i)
            AddMissingWidths(*m_nets[0], *m_nets[i], found[run]);
    };
    CWorkPool::Shared().ForEachRun(others, widthNetsAlone, findWidths);
    std::vector<uint16_t> missing;
    for (const std::vector<uint16_t>& widths : found) {
        for (const uint16_t width : widths) {
            if (!Contains(missing, width))
                missing.push_back(width);
        }
    }
    return missing;
}

void CNetArray::AddMissingWidths(const CNet& zero, const CNet& net, std::vector<uint16_t>& missing)
{
    const std::vector<uint16_t>& pens = net.GetPenTable();
    for (size_t p = 1; p < pens.size(); ++p) {
        if (FindDrawingPen(zero, pens[p]) < 0 && !Contains(missing, pens[p]))
            missing.push_back(pens[p]);
    }
}

bool CNetArray::CollectPens(CArchive* ar)
{
    return CollectPens(ar, MissingNetZeroWidths());
}

bool CNetArray::CollectPens(CArchive* ar, const std::vector<uint16_t>& missing)
{
    CNet& zero = *m_nets[0];
    if (zero.GetPenCount() + int32_t(missing.size()) <= maxNetZeroPens) {
        for (uint16_t width : missing)
            zero.AddPen(width);
        zero.MergePens();
        return true;
    }

    // Widths no other net has and no copper of net 0 draws with may make room.
    std::vector<uint16_t> needed = missing;
    for (size_t i = 1; i < m_nets.size(); ++i) {
        const std::vector<uint16_t>& pens = m_nets[i]->GetPenTable();
        needed.insert(needed.end(), pens.begin() + std::min<size_t>(1, pens.size()), pens.end());
    }
    for (int32_t v = 0; v < zero.GetVertexCount(); ++v) {
        if (zero.GetVertexPen(v) >= 1)
            needed.push_back(uint16_t(zero.GetVertexWidth(v)));
    }
    std::vector<uint16_t> kept;
    std::vector<uint16_t> unneeded;
    for (int32_t p = 1; p < zero.GetPenCount(); ++p) {
        const uint16_t width = uint16_t(zero.GetPenWidth(p));
        std::vector<uint16_t>& list = Contains(needed, width) ? kept : unneeded;
        if (!Contains(list, width))
            list.push_back(width);
    }
    if (1 + kept.size() + missing.size() > size_t(maxNetZeroPens)) {
        Notify(ar, CResString::Load(IDS_NET_ZERO_PENS_FULL));
        return false;
    }

    Notify(ar, CResString::Load(IDS_TOO_MANY_PENS));
    zero.MergePens();
    std::sort(unneeded.begin(), unneeded.end());
    // Free entries first; then the widest unused entries take the missing widths in place, so
    // the table never outgrows its limit on the way and keeps every other board width.
    for (uint16_t width : missing) {
        if (zero.GetPenCount() < maxNetZeroPens || unneeded.empty()) {
            zero.AddPen(width);
        } else {
            zero.ReplacePenWidth(unneeded.back(), width);
            unneeded.pop_back();
        }
    }
    zero.MergePens();
    return true;
}

void CNetArray::Notify(CArchive* ar, const std::string& text)
{
    if (ar)
        ar->AddLoadWarning(text);
    else
        CServices::Messages().MessageBox(text, "", MB_OK, MB_ICONWARNING);
}

// ---- Loops over all nets ------------------------------------------------------------------------

void CNetArray::RecalcAll(bool askForLarge)
{
    if (!m_document)
        return;
    // The user answers for every large net first; then the nets are worked out side by side,
    // each from its own copper alone, so that any number of threads gives the same nets.
    std::vector<CNet*> chosen;
    chosen.reserve(m_nets.size());
    for (int32_t i = 1; i < GetCount(); ++i) {
        CNet& net = *m_nets[size_t(i)];
        if (askForLarge && net.GetVertexCount() > largeNetVertices) {
            const std::string text = "Net: " + std::to_string(i) + " heeft " +
                                     std::to_string(net.GetVertexCount()) + " records!\n";
            if (CServices::Messages().MessageBox(text, "", MB_OKCANCEL) == IDCANCEL)
                continue;
        }
        chosen.push_back(&net);
    }
    CNetArrayDocument& document = *m_document;
    const bool ratsnest = document.IsAutoRatsnest();
    struct Batch {
        CNetArrayDocument& document;
        explicit Batch(CNetArrayDocument& checked) : document(checked)
        {
            document.BeginClusterChecks();
        }
        ~Batch() { document.EndClusterChecks(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    } batch(document);
    CWorkPool::Shared().ForEach(chosen.size(), [&chosen, &document, ratsnest](size_t k) {
        chosen[k]->CalcClusters(document);
        if (ratsnest)
            chosen[k]->CalcRatsnest(document);
    });
}

void CNetArray::RecalcDirtyRatsnest()
{
    if (!m_document)
        return;
    for (int32_t i = 1; i < GetCount(); ++i) {
        if (std::as_const(m_nets)[size_t(i)]->NeedsRatsnest())
            m_nets[size_t(i)]->CalcRatsnest(*m_document);
    }
}

void CNetArray::CalcBoundingBoxes()
{
    if (!m_document)
        return;
    CPadStackReaches margins(m_document->GetPadStacks());
    for (auto& net : m_nets)
        net->CalcBoundingBox(margins);
}

void CNetArray::CalcBoundingBoxesWithoutPins()
{
    if (!m_document)
        return;
    // Each net's box is its own: runs of nets are measured side by side.
    const auto measure = [&](size_t, size_t first, size_t last) {
        std::optional<CPadStackReaches> margins;
        for (size_t k = first; k < last; ++k) {
            if (std::as_const(m_nets)[k]->GetPinCount() != 0)
                continue;
            if (!margins)
                margins.emplace(m_document->GetPadStacks());
            m_nets[k]->CalcBoundingBox(*margins);
        }
    };
    CWorkPool::Shared().ForEachRun(m_nets.size(), netsAlone, measure);
}

void CNetArray::ClearAllPins()
{
    for (auto& net : m_nets)
        net->ClearPins();
}

void CNetArray::ReleaseNets()
{
    const auto release = [&](size_t, size_t first, size_t last) {
        for (size_t k = first; k < last; ++k)
            m_nets[k] = CSharedItem<CNet>();
    };
    CWorkPool::Shared().ForEachRun(m_nets.size(), netsAlone, release);
    m_nets.clear();
}

int32_t CNetArray::RenumberPinComponents(const std::vector<int32_t>& newIndex)
{
    // Nets are looked at alone, so runs of them go side by side; most keep their pins, and a
    // net an undo snapshot shares is copied only when its pins change.
    std::vector<int32_t> dropped(CWorkPool::RunCount(m_nets.size(), netsAlone), 0);
    const auto renumber = [&](size_t run, size_t first, size_t last) {
        std::optional<CPadStackReaches> margins;
        // Counted here and handed over once: neighbouring runs' counts share a cache line.
        int32_t droppedHere = 0;
        for (size_t k = first; k < last; ++k) {
            if (!std::as_const(m_nets)[k]->PinsChangeWith(newIndex))
                continue;
            CNet& net = *m_nets[k];
            droppedHere += net.RenumberPinComponents(newIndex);
            // As a rebuild of the pins leaves it.
            if (m_document && net.GetPinCount() > 0) {
                if (!margins)
                    margins.emplace(m_document->GetPadStacks());
                net.CalcBoundingBox(*margins);
            }
        }
        dropped[run] = droppedHere;
    };
    CWorkPool::Shared().ForEachRun(m_nets.size(), netsAlone, renumber);
    int32_t total = 0;
    for (const int32_t count : dropped)
        total += count;
    return total;
}

void CNetArray::CountLayerUse()
{
    m_trackLayerUse.fill(0);
    m_padLayerUse.fill(0);
    if (!m_document)
        return;
    const CPadStackArray& padStacks = m_document->GetPadStacks();
    for (const auto& net : m_nets) {
        for (int32_t v = 0; v < net->GetVertexCount(); ++v) {
            if (net->IsPadVertex(v)) {
                for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
                    if (padStacks.GetPad(net->GetVertexPadStack(v), layer))
                        ++m_padLayerUse[size_t(layer)];
                }
            } else {
                ++m_trackLayerUse[size_t(net->GetVertexLayer(v))];
            }
        }
    }
}

int32_t CNetArray::GetTrackLayerUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT ? m_trackLayerUse[size_t(layer)] : 0;
}

int32_t CNetArray::GetPadLayerUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT ? m_padLayerUse[size_t(layer)] : 0;
}

int32_t CNetArray::CountWidthUse(int32_t net, int32_t width) const
{
    if (net >= 1)
        return net < GetCount() ? m_nets[size_t(net)]->CountPenUse(width) : 0;
    int32_t count = 0;
    for (const auto& each : m_nets)
        count += each->CountPenUse(width);
    return count;
}

void CNetArray::ReplacePenWidthAll(int32_t oldWidth, int32_t newWidth)
{
    if (oldWidth == newWidth || newWidth < 0 || newWidth > CNet::maxPenWidth)
        return;
    for (auto& net : m_nets) {
        int32_t pen = FindDrawingPen(*std::as_const(net), oldWidth);
        while (pen >= 1) {
            net->ReplacePenWidth(oldWidth, newWidth);
            net->SetCurrentPen(pen);
            pen = FindDrawingPen(*std::as_const(net), oldWidth);
        }
    }
}

void CNetArray::ReplacePadType(int32_t oldPadStack, int32_t newPadStack)
{
    for (auto& shared : m_nets) {
        const CNet& net = *std::as_const(shared);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) && net.GetVertexPadStack(v) == oldPadStack)
                shared->SetVertexPadType(v, newPadStack);
        }
    }
}

int32_t CNetArray::SelectAll(bool on)
{
    const int32_t before = m_selectedTotal;
    // Each net selects its own vertices: runs of nets go side by side.
    const auto select = [&](size_t, size_t first, size_t last) {
        for (size_t k = first; k < last; ++k) {
            if (on || std::as_const(m_nets)[k]->GetSelectedCount() > 0)
                m_nets[k]->SelectAllVertices(on);
        }
    };
    CWorkPool::Shared().ForEachRun(m_nets.size(), netsAlone, select);
    RecountSelected();
    return on ? m_selectedTotal - before : before;
}

int32_t CNetArray::SelectNet(int32_t i, bool on)
{
    CNet* net = GetNet(i);
    if (!net)
        return 0;
    m_selectedTotal -= net->GetSelectedCount();
    net->SelectAllVertices(on);
    m_selectedTotal += net->GetSelectedCount();
    return net->GetSelectedCount();
}

void CNetArray::SelectVerticesAtComponentPins(int32_t component, bool on)
{
    std::vector<CPoint> pins;
    for (const auto& net : m_nets) {
        for (int32_t p = 0; p < net->GetPinCount(); ++p) {
            if (net->GetPin(p).component == component)
                pins.emplace_back(net->GetPin(p).x, net->GetPin(p).y);
        }
    }
    for (auto& shared : m_nets) {
        const CNet& net = *std::as_const(shared);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const CPoint point = net.GetVertexPoint(v);
            if (std::any_of(pins.begin(), pins.end(), [&](CPoint pin) {
                    return WithinSquare(point, pin, componentPinReach);
                }))
                shared->SelectVertex(v, on);
        }
    }
    RecountSelected();
}

void CNetArray::DeleteSelected()
{
    std::vector<bool> changed(m_nets.size(), false);
    for (size_t i = 0; i < m_nets.size(); ++i) {
        if (std::as_const(m_nets)[i]->GetSelectedCount() > 0) {
            m_nets[i]->DeleteSelected();
            changed[i] = true;
        }
    }
    // The checks' errors may name what is gone.
    if (std::find(changed.begin(), changed.end(), true) != changed.end())
        ClearErrors();
    if (m_document) {
        // A net that lost nothing keeps its parts and ratsnest unless they were already due.
        for (int32_t i = 1; i < GetCount(); ++i) {
            const CNet& before = *std::as_const(m_nets)[size_t(i)];
            if (!changed[size_t(i)] && !before.AreClustersDirty() && !before.NeedsRatsnest())
                continue;
            CNet& net = *m_nets[size_t(i)];
            net.CalcClusters(*m_document);
            if (m_document->IsAutoRatsnest())
                net.CalcRatsnest(*m_document);
        }
    }
    RecountSelected();
}

void CNetArray::DuplicateSelected()
{
    for (auto& net : m_nets) {
        if (std::as_const(net)->GetSelectedCount() > 0)
            net->CopySelectedInto(*net);
    }
    RecountSelected();
}

void CNetArray::MoveAll(int32_t dx, int32_t dy)
{
    for (auto& net : m_nets)
        net->OffsetAll(dx, dy);
    for (const auto& error : m_errors)
        error->Offset(dx, dy);
}

void CNetArray::MoveSelected(int32_t dx, int32_t dy)
{
    if (m_selectedTotal < 1 || !m_document)
        return;
    for (auto& net : m_nets) {
        if (std::as_const(net)->GetSelectedCount() > 0)
            net->MoveSelected(*m_document, dx, dy);
    }
}

void CNetArray::RotateSelected(int32_t cx, int32_t cy, int32_t angle)
{
    for (auto& net : m_nets) {
        if (std::as_const(net)->GetSelectedCount() > 0)
            net->RotateSelected(cx, cy, angle);
    }
    if (!m_document || m_document->GetMode() == ID_COMPONENTS_MOVE_ROTATE ||
        !m_document->IsAutoRatsnest())
        return;
    RecalcDirtyRatsnest();
}

void CNetArray::SetLayerOfSelection(int32_t layer)
{
    for (auto& net : m_nets) {
        if (std::as_const(net)->GetSelectedCount() == 0)
            continue;
        for (int32_t v = 0; v < net->GetVertexCount(); ++v) {
            if (net->IsVertexSelected(v) && !net->IsPadVertex(v))
                net->SetVertexLayer(v, layer);
        }
    }
}

void CNetArray::SetWidthOfSelection(int32_t width)
{
    for (auto& net : m_nets) {
        const int32_t pen = net->AddPen(width);
        if (pen < 1)
            continue;
        for (int32_t v = 0; v < net->GetVertexCount(); ++v) {
            if (net->IsVertexSelected(v) && net->GetVertexPen(v) >= 1)
                net->SetVertexPen(v, pen);
        }
    }
}

void CNetArray::UnrouteCurrent()
{
    if (!m_document)
        return;
    GetCurrentNet()->Unroute(*m_document);
    RecountSelected();
}

void CNetArray::UnrouteAll()
{
    if (!m_document)
        return;
    for (int32_t i = 1; i < GetCount(); ++i)
        m_nets[size_t(i)]->Unroute(*m_document);
    RecountSelected();
}

bool CNetArray::MoveCopperToNetZero(int32_t index)
{
    CNet& net = *m_nets[size_t(index)];
    CNet& zero = *m_nets[0];
    std::vector<uint16_t> added;
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        if (net.GetVertexPen(v) < 1)
            continue;
        const uint16_t width = uint16_t(net.GetVertexWidth(v));
        if (FindDrawingPen(zero, width) < 0 && !Contains(added, width))
            added.push_back(width);
    }
    if (!added.empty() && zero.GetPenCount() + int32_t(added.size()) > maxNetZeroPens)
        return false;
    for (uint16_t width : added)
        zero.AddPen(width);

    const int32_t current = zero.GetCurrentVertex();
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        if (net.IsPadVertex(v)) {
            const CPoint p = net.GetVertexPoint(v);
            zero.AppendPadVertex(p.x, p.y, net.GetVertexPadStack(v), net.GetVertexRotation(v),
                                 net.IsVertexMirrored(v));
        } else {
            // The copied block must not start by drawing from net 0's last vertex.
            const int32_t pen = (v == 0 || net.GetVertexPen(v) == 0)
                                    ? 0
                                    : std::max(FindDrawingPen(zero, net.GetVertexWidth(v)), 0);
            const CPoint p = net.GetVertexPoint(v);
            zero.AppendVertex(p.x, p.y, net.GetVertexLayer(v), pen);
        }
        zero.SetVertexAutorouted(zero.GetVertexCount() - 1, net.IsVertexAutorouted(v));
    }
    zero.SetCurrentVertex(current);
    net.ClearVertices();
    return true;
}

int32_t CNetArray::DeleteEmptyNets(bool boxNetZero)
{
    if (!m_document)
        return 0;
    std::vector<bool> remove(m_nets.size(), false);
    bool kept = false;
    int32_t removed = 0;
    for (int32_t i = GetCount() - 1; i >= 1; --i) {
        if (m_nets[size_t(i)]->GetPinCount() > 0)
            continue;
        if (MoveCopperToNetZero(i)) {
            remove[size_t(i)] = true;
            ++removed;
        } else {
            kept = true;
        }
    }
    if (kept) {
        CServices::Messages().MessageBox(CResString::Load(IDS_EMPTY_NETS_KEPT), "", MB_OK,
                                         MB_ICONWARNING);
    }
    if (removed == 0)
        return 0;

    std::vector<int32_t> newIndex(m_nets.size(), 0);
    std::vector<CSharedItem<CNet>> nets;
    for (size_t i = 0; i < m_nets.size(); ++i) {
        if (remove[i])
            continue;
        newIndex[i] = int32_t(nets.size());
        nets.push_back(std::move(m_nets[i]));
    }
    m_nets = std::move(nets);
    m_currentNet = m_currentNet >= 0 && size_t(m_currentNet) < newIndex.size()
                       ? newIndex[size_t(m_currentNet)]
                       : 0;
    m_errors.clear();
    if (boxNetZero)
        m_nets[0]->CalcBoundingBox(*m_document);
    RecountSelected();
    m_document->RenumberNets(newIndex);
    return removed;
}

void CNetArray::CheckAll()
{
    if (!m_document)
        return;
    m_document->RecalcComponentBoxes();
    m_document->DeselectAll();
    SelectAll(false);
    m_document->RebuildNetPins();
    CalcBoundingBoxesWithoutPins();
    m_document->TestAllNets();
    RecalcAll();
    BuildToDoList();
}

bool CNetArray::RouteAllDefaultLayer()
{
    return m_document && m_document->RouteAllDefaultLayer();
}

bool CNetArray::RouteAllTopBottom()
{
    return m_document && m_document->RouteAllTopBottom();
}

// ---- Hit tests and rectangle selection over all nets -------------------------------------------

template <typename Test, typename IsHit, typename MayHit>
int32_t CNetArray::FindInNets(int32_t mode, Test test, IsHit isHit, MayHit mayHit)
{
    if (!m_document)
        return -1;
    // The first net in order that the test hits is the one found. Which nets the test may hit
    // is asked on the pool, a block of nets at a time: looking through every pin of a big board
    // took a click on it several milliseconds.
    constexpr size_t block = 16384;
    std::vector<uint8_t> may;
    for (size_t first = 0; first < m_nets.size(); first += block) {
        may.assign(std::min(block, m_nets.size() - first), 0);
        CWorkPool::Shared().ForEachRun(may.size(), netsAlone, [&](size_t, size_t from, size_t to) {
            for (size_t k = from; k < to; ++k)
                may[k] = mayHit(*std::as_const(m_nets)[first + k]) ? 1 : 0;
        });
        for (size_t k = 0; k < may.size(); ++k) {
            if (!may[k])
                continue;
            const auto i = int32_t(first + k);
            CNet& net = *m_nets[size_t(i)];
            m_selectedTotal -= net.GetSelectedCount();
            const auto result = test(net);
            m_selectedTotal += net.GetSelectedCount();
            if (!isHit(result))
                continue;
            if (mode & CNet::hitMakeNetCurrent)
                SetCurrentNet(i);
            return i;
        }
    }
    return -1;
}

template <typename Test> bool CNetArray::SelectInNets(Test test)
{
    if (!m_document)
        return false;
    bool any = false;
    for (auto& net : m_nets) {
        m_selectedTotal -= net->GetSelectedCount();
        any = test(*net) || any;
        m_selectedTotal += net->GetSelectedCount();
    }
    return any;
}

namespace {

bool IndexHit(int32_t index)
{
    return index >= 0;
}

} // namespace

int32_t CNetArray::FindIndexInNets(CPoint& point, int32_t mode, uint32_t layerMask, IndexTest test,
                                   PassOver passOver)
{
    const CPoint at = point;
    std::vector<int64_t> missDistances;
    if (passOver == PassOver::withoutPinThere && m_document)
        missDistances = CNet::PadStackMissDistances(m_document->GetPadStacks());
    const auto mayHit = [&](const CNet& net) {
        return passOver == PassOver::withoutPinThere
                   ? net.HasPinAt(*m_document, at, layerMask, missDistances)
                   : net.BoxContains(at);
    };
    // The caller wants what the net's own test returned, not the net.
    int32_t found = -1;
    FindInNets(
        mode, [&](CNet& net) { return found = (net.*test)(*m_document, point, mode, layerMask); },
        IndexHit, mayHit);
    return found;
}

int32_t CNetArray::FindPinAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindIndexInNets(point, mode, layerMask, &CNet::HitTestPin, PassOver::withoutPinThere);
}

int32_t CNetArray::FindPadAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindIndexInNets(point, mode, layerMask, &CNet::HitTestPad, PassOver::outsideBox);
}

int32_t CNetArray::FindViaAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindIndexInNets(point, mode, layerMask, &CNet::HitTestVia, PassOver::outsideBox);
}

int32_t CNetArray::FindVertexAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindIndexInNets(point, mode, layerMask, &CNet::HitTestVertex, PassOver::outsideBox);
}

int32_t CNetArray::FindRunAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindIndexInNets(point, mode, layerMask, &CNet::HitTestRun, PassOver::outsideBox);
}

int32_t CNetArray::FindSegmentAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindInNets(
        mode, [&](CNet& net) { return net.HitTestSegment(*m_document, point, mode, layerMask); },
        IndexHit, [&point](const CNet& net) { return net.BoxContains(point); });
}

int32_t CNetArray::FindNetAt(CPoint& point, int32_t mode, uint32_t layerMask)
{
    return FindInNets(
        mode, [&](CNet& net) { return net.HitTestNet(*m_document, point, mode, layerMask); },
        [](bool hit) { return hit; }, [](const CNet&) { return true; });
}

bool CNetArray::SelectNetsWithPinsInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectInNets(
        [&](CNet& net) { return net.SelectIfPinsInRect(*m_document, rect, mode, layerMask); });
}

bool CNetArray::SelectPadsInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectInNets(
        [&](CNet& net) { return net.SelectPadsInRect(*m_document, rect, mode, layerMask); });
}

bool CNetArray::SelectTrackVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectInNets(
        [&](CNet& net) { return net.SelectTrackVerticesInRect(rect, mode, layerMask); });
}

bool CNetArray::SelectRunsInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectInNets([&](CNet& net) { return net.SelectRunsInRect(rect, mode, layerMask); });
}

bool CNetArray::SelectViasInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    return SelectInNets(
        [&](CNet& net) { return net.SelectViasInRect(*m_document, rect, mode, layerMask); });
}

bool CNetArray::AddEllipseTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!m_document)
        return false;
    const bool added = GetCurrentNet()->AddEllipseTrack(x1, y1, x2, y2, m_document->GetWorkLayer());
    RecountSelected();
    return added;
}

bool CNetArray::AddRectangleTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!m_document)
        return false;
    const bool added =
        GetCurrentNet()->AddRectangleTrack(x1, y1, x2, y2, m_document->GetWorkLayer());
    RecountSelected();
    return added;
}

// ---- ToDo list ----------------------------------------------------------------------------------

void CNetArray::BuildToDoList()
{
    m_toDoList.clear();
    m_toDoNets.clear();
    m_toDoTotal = 0;
    struct Line {
        int32_t toDo;
        int32_t net;
        std::string text;
    };
    // Runs of nets are looked at side by side and their lines joined in net order.
    const size_t others = m_nets.empty() ? 0 : m_nets.size() - 1;
    std::vector<std::vector<Line>> found(CWorkPool::RunCount(others, netsAlone));
    const auto listRun = [&](size_t run, size_t first, size_t last) {
        std::vector<Line> mine;
        // Net 0 is left out: the runs count from net 1.
        for (size_t i = first + 1; i <= last; ++i) {
            const CNet& net = *std::as_const(m_nets)[i];
            const int32_t toDo = net.GetToDo();
            if (toDo <= 0)
                continue;
            mine.push_back({toDo, int32_t(i),
                            PadRight(std::to_string(toDo), 4) + " " + PadRight(net.GetName(), 10) +
                                " " + PadRight(std::to_string(net.GetPinCount()), 5)});
        }
        found[run] = std::move(mine);
    };
    CWorkPool::Shared().ForEachRun(others, netsAlone, listRun);
    std::vector<Line> lines;
    for (std::vector<Line>& run : found) {
        for (Line& line : run) {
            m_toDoTotal += line.toDo;
            lines.push_back(std::move(line));
        }
    }
    // Most connections to make first; nets with as many keep their order.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.toDo > b.toDo; });
    for (auto& line : lines) {
        m_toDoList.push_back(std::move(line.text));
        m_toDoNets.push_back(line.net);
    }
}

int32_t CNetArray::GetToDoNet(int32_t line) const
{
    return line >= 0 && line < int32_t(m_toDoNets.size()) ? m_toDoNets[size_t(line)] : -1;
}

bool CNetArray::ShowToDoNet(int32_t line)
{
    const int32_t net = GetToDoNet(line);
    if (net < 0 || net >= GetCount())
        return false;
    SetCurrentNet(net);
    if (m_document) {
        m_document->SetAction(1);
        m_document->RedrawBoardViews();
    }
    return true;
}

bool CNetArray::RefreshLeftPane(int32_t net)
{
    if (m_toDoList.empty() || !m_document)
        return false;
    if (net < 0) {
        m_document->RedrawLeftPane(-1);
        return true;
    }
    const auto row = std::find(m_toDoNets.begin(), m_toDoNets.end(), net);
    if (row == m_toDoNets.end())
        return false;
    m_document->RedrawLeftPane(int32_t(row - m_toDoNets.begin()));
    return true;
}

// ---- Info text ----------------------------------------------------------------------------------

std::string CNetArray::HoleText(int32_t padStack) const
{
    const CPadStack* stack = m_document->GetPadStacks().GetPadStack(padStack);
    if (!stack || stack->GetDrill() <= 0)
        return {};
    return " " + CLengthText::FormatLength(m_document->GetUnit(), stack->GetDrill());
}

std::string CNetArray::DescribePin(const CNet& net, int32_t pin) const
{
    const NetPinRec& rec = net.GetPin(pin);
    std::string text = net.GetName() + "; " + m_document->GetComponentReference(rec.component) +
                       "(" + std::to_string(rec.pad + 1) + "); " +
                       m_document->GetPadStacks().GetName(rec.padStack) + HoleText(rec.padStack);
    if (net.GetToDo() > 0)
        text += " Unconnected: " + std::to_string(net.GetToDo());
    return text;
}

std::string CNetArray::DescribePadVertex(int32_t netIndex, int32_t vertex) const
{
    const CNet& net = *std::as_const(m_nets)[size_t(netIndex)];
    const int32_t padStack = net.GetVertexPadStack(vertex);
    const std::string name = m_document->GetPadStacks().GetName(padStack);
    if (netIndex != 0)
        return net.GetName() + ", " + name + HoleText(padStack);
    const CPoint p = net.GetVertexPoint(vertex);
    const CPoint origin = m_document->GetOrigin();
    const int32_t unit = m_document->GetUnit();
    return "X:" + CLengthText::FormatLength(unit, SaturateToInt(int64_t(p.x) - origin.x)) +
           " Y:" + CLengthText::FormatLength(unit, SaturateToInt(int64_t(p.y) - origin.y)) + " " +
           name + HoleText(padStack);
}

bool CNetArray::GetInfoAt(int32_t x, int32_t y, uint32_t layerMask)
{
    if (!m_document)
        return false;
    for (int32_t i = 0; i < GetCount(); ++i) {
        CNet& net = *m_nets[size_t(i)];
        if (!net.GetBox().PtInRect({x, y}))
            continue;
        std::string text;
        CPoint point(x, y);
        int32_t hit = net.HitTestPin(*m_document, point, 0, layerMask);
        if (hit >= 0) {
            text = DescribePin(net, hit);
        } else if ((hit = net.HitTestPad(*m_document, point = {x, y}, 0, layerMask)) >= 0 ||
                   (hit = net.HitTestVia(*m_document, point = {x, y}, 0, layerMask)) >= 0) {
            text = DescribePadVertex(i, hit);
        } else if ((hit = net.HitTestVertex(*m_document, point = {x, y}, CNet::hitReport,
                                            layerMask)) >= 0) {
            text = net.GetName() + "; " +
                   CLengthText::FormatLength(m_document->GetUnit(), net.GetVertexWidth(hit));
        } else {
            continue;
        }
        SetCurrentNet(i);
        m_infoText = text;
        return true;
    }
    return false;
}

// ---- Tools --------------------------------------------------------------------------------------

CNetArray::PinRef CNetArray::FindPinNear(CPoint cursor) const
{
    PinRef found;
    int32_t best = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CNet& net = *std::as_const(m_nets)[size_t(i)];
        for (int32_t p = 0; p < net.GetPinCount(); ++p) {
            const NetPinRec& pin = net.GetPin(p);
            if (!WithinSquare({pin.x, pin.y}, cursor, connectPinReach))
                continue;
            const int32_t d = Distance(pin.x, pin.y, cursor.x, cursor.y);
            if (d < best) {
                best = d;
                found = {i, p};
            }
        }
    }
    return found;
}

void CNetArray::TransferPin(const PinRef& from, int32_t toNet)
{
    CNet& source = *m_nets[size_t(from.net)];
    CNet& target = *m_nets[size_t(toNet)];
    const NetPinRec pin = source.GetPin(from.pin);

    // A net keeps its pins in a list without removal: rebuild it without the pin.
    std::vector<NetPinRec> others;
    for (int32_t p = 0; p < source.GetPinCount(); ++p) {
        if (p != from.pin)
            others.push_back(source.GetPin(p));
    }
    source.ClearPins();
    for (const NetPinRec& other : others) {
        source.AddPin(other.x, other.y, other.component, other.pad, other.padStack, other.angle,
                      other.side != 0, other.layerMask);
    }
    source.MarkClustersDirty(true);
    source.CalcBoundingBox(*m_document);

    m_document->SetPadNet(pin.component, pin.pad, toNet);
    target.AddPin(pin.x, pin.y, pin.component, pin.pad, pin.padStack, pin.angle, pin.side != 0,
                  pin.layerMask);
    target.MarkClustersDirty(true);
    target.CalcBoundingBox(*m_document);
}

bool CNetArray::AskNewNetName(std::string& name) const
{
    for (;;) {
        name = MakeUniqueName(GetCount());
        if (CDialogService::Get().NetAdd(name) != CDialogService::resultOk)
            return false;
        if (FindNet(name) < 0)
            return true;
    }
}

bool CNetArray::OnConnectPinsClick()
{
    if (!m_document)
        return false;
    const PinRef found = FindPinNear(m_document->GetCursor());
    if (found.net < 0) {
        SetCurrentNet(0);
        return false;
    }
    const int32_t current = GetCurrentIndex();
    if (current == 0) {
        if (found.net != 0) {
            SetCurrentNet(found.net);
            return true;
        }
        std::string name;
        if (!AskNewNetName(name))
            return false;
        const int32_t added = AddNet(name);
        m_document->FillNetCombo();
        SetCurrentNet(added);
        // The pin leaves net 0, or a second click would find it there and add it again.
        TransferPin(found, added);
        if (m_document->IsAutoRatsnest())
            m_nets[size_t(added)]->CalcRatsnest(*m_document);
        m_document->SetModified();
        return true;
    }
    if (found.net == 0) {
        TransferPin(found, current);
        m_document->SetModified();
        return true;
    }
    if (found.net != current) {
        SetCurrentNet(found.net);
        return true;
    }
    TransferPin(found, 0);
    if (m_document->IsAutoRatsnest())
        m_nets[size_t(current)]->CalcRatsnest(*m_document);
    m_document->SetModified();
    return true;
}

bool CNetArray::RouteAtCursor()
{
    if (!m_document)
        return false;
    const CPoint cursor = m_document->GetCursor();
    const int32_t layer = m_document->GetWorkLayer();
    const int32_t left = SaturateToInt(int64_t(cursor.x) - routeLineReach);
    const int32_t top = SaturateToInt(int64_t(cursor.y) - routeLineReach);
    const int32_t right = SaturateToInt(int64_t(cursor.x) + routeLineReach);
    const int32_t bottom = SaturateToInt(int64_t(cursor.y) + routeLineReach);
    for (int32_t i = 1; i < GetCount(); ++i) {
        CNet& net = *m_nets[size_t(i)];
        for (int32_t r = 0; r < net.GetRatsLineCount(); ++r) {
            const RatsLine line = net.GetRatsLine(r);
            if (!SegmentTouchesRect(left, top, right, bottom, line.x1, line.y1, line.x2, line.y2))
                continue;
            // Tracks on a layer that is off or holds no copper would connect nothing.
            if (!IsSignalLayer(layer) || !m_document->IsLayerEnabled(layer))
                return false;
            SetCurrentNet(i);
            if (!m_document->RouteConnection(net, layer, line.x1, line.y1, line.x2, line.y2)) {
                RecountSelected();
                return false;
            }
            net.SimplifyRun(net.GetCurrentVertex());
            net.SelectAllVertices(false);
            net.CalcClusters(*m_document);
            net.CalcRatsnest(*m_document);
            net.CalcBoundingBox(*m_document);
            RecountSelected();
            return true;
        }
    }
    for (auto& net : m_nets) {
        if (net->UnrouteRunAt(*m_document, cursor.x, cursor.y, layer)) {
            RecountSelected();
            return true;
        }
    }
    return false;
}

// ---- Error records ------------------------------------------------------------------------------

const CNetErrorRec* CNetArray::GetError(int32_t i) const
{
    return i >= 0 && i < GetErrorCount() ? m_errors[size_t(i)].get() : nullptr;
}

void CNetArray::AddError(const CNetErrorRec& record)
{
    for (const auto& error : m_errors) {
        if (error->HasSamePositions(record))
            return;
    }
    m_errors.push_back(std::make_unique<CNetErrorRec>(record));
}

void CNetArray::AddDistinctError(const CNetErrorRec& record)
{
    m_errors.push_back(std::make_unique<CNetErrorRec>(record));
}

void CNetArray::RemoveErrorsOfNet(int32_t net)
{
    std::erase_if(m_errors, [net](const auto& error) {
        return error->GetFirst().net == net || error->GetSecond().net == net;
    });
}

void CNetArray::DrawErrors(CDeviceContext& dc, int32_t offsetX, int32_t offsetY,
                           int32_t scale) const
{
    scale = std::max(scale, 1);
    const CPen previous = dc.SelectPen(CPen(CPen::Style::Solid, 1, errorLineColor));
    const CBrush previousBrush = dc.SelectBrush(CBrush::Null());
    for (const auto& error : m_errors) {
        const CPoint first = ToScreen(error->GetFirst().position, offsetX, offsetY, scale);
        const CPoint second = ToScreen(error->GetSecond().position, offsetX, offsetY, scale);
        dc.MoveTo(first);
        dc.LineTo(second);
        // Two points close together make no visible line: the ring marks the place at every
        // zoom.
        const CPoint middle(int32_t((int64_t(first.x) + second.x) / 2),
                            int32_t((int64_t(first.y) + second.y) / 2));
        dc.Ellipse(CRect(middle.x - errorMarkerRadius, middle.y - errorMarkerRadius,
                         middle.x + errorMarkerRadius + 1, middle.y + errorMarkerRadius + 1));
    }
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previous);
}
