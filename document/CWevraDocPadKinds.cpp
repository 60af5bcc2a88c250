#include "document/CWevraDoc.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "document/CDocumentViews.h"
#include "framework/CArchive.h"
#include "framework/CMailService.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

namespace {

constexpr char viaInShapeText[] = "VIA in SHAPE!!";
constexpr char standardPadName[] = "CIR 1.60 H0.80";
constexpr char standardViaName[] = "VIA 1.00 H0.80";

bool HasKind(const CPadStackArray& stacks, int32_t k, int32_t kind)
{
    if (k < 0 || k >= stacks.GetCount())
        return false;
    switch (kind) {
    case PADSTACK_KIND_PAD:
        return stacks.IsPadKind(k);
    case PADSTACK_KIND_SHAPE_PAD:
        return stacks.IsShapePadKind(k);
    case PADSTACK_KIND_VIA:
        return stacks.IsVia(k);
    default:
        return false;
    }
}

bool StartsWithVia(const std::string& name)
{
    if (name.size() < 3)
        return false;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return upper(name[0]) == 'V' && upper(name[1]) == 'I' && upper(name[2]) == 'A';
}

// The padstack a kind falls back on when the design has none of it: a round through-hole pad
// of 1.6 mm (a via of 1.0 mm) with a 0.8 mm drill.
CPadStack StandardPadStack(int32_t kind)
{
    const bool via = kind == PADSTACK_KIND_VIA;
    const int32_t half = MmToUnits(via ? 0.5 : 0.8);
    return CPadStack(via ? standardViaName : standardPadName, PAD_ROUND, -half, -half, half, half,
                     MmToUnits(0.8), LAYER_COMMON, uint32_t(kind));
}

// The name a padstack got before a unique-name suffix ("__A", "__B", ...).
std::string BaseName(const std::string& name)
{
    return name.substr(0, name.find("__"));
}

// A padstack that neither a shape nor a net uses and that is no other kind's default.
bool IsSparePadStack(const CPadStackArray& stacks, int32_t k, int32_t kind, bool usedByNets)
{
    if (usedByNets || stacks.IsShapePadKind(k))
        return false;
    for (const int32_t other : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA}) {
        if (other != kind && stacks.GetDefault(other) == k)
            return false;
    }
    return true;
}

} // namespace

// ---- Padstack kinds -----------------------------------------------------------------------------

void CWevraDoc::ReplaceNetPadStack(int32_t from, int32_t to)
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) && net.GetVertexPadStack(v) == from)
                net.SetVertexPadType(v, to);
        }
    }
}

void CWevraDoc::SeparateNetPadStacks(CPadStackArray& stacks)
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        const CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const int32_t used = net.IsPadVertex(v) ? net.GetVertexPadStack(v) : -1;
            if (!HasKind(stacks, used, PADSTACK_KIND_SHAPE_PAD))
                continue;
            CPadStack copy(*stacks.GetPadStack(used));
            copy.ClearKinds();
            copy.SetPadKind(true);
            const int32_t added = stacks.GetCount();
            // A full table has been reported; the remaining pads keep sharing.
            if (!stacks.SetAt(added, copy))
                return;
            stacks.MakeUniqueName(added, copy.GetName());
            ReplaceNetPadStack(used, added);
        }
    }
}

void CWevraDoc::NormalizePadStackKinds(CShapeLib& cache)
{
    CPadStackArray& stacks = cache.GetPadStacks();
    for (int32_t k = 0; k < stacks.GetCount(); ++k)
        stacks.MakeUniqueName(k, stacks.GetName(k));

    stacks.ClearAllKinds();
    for (int32_t s = 0; s < cache.GetCount(); ++s) {
        for (const ShapePad& pad : cache.GetShape(s)->GetPads()) {
            if (pad.GetPadStackIndex() < stacks.GetCount())
                stacks.SetShapePadKind(pad.GetPadStackIndex(), true);
        }
    }

    // Net pads and vias get padstacks of their own, apart from the shapes' pads.
    SeparateNetPadStacks(stacks);

    for (int32_t k = 0; k < stacks.GetCount(); ++k) {
        if (StartsWithVia(stacks.GetName(k))) {
            if (stacks.IsShapePadKind(k)) {
                CServices::Messages().MessageBox(viaInShapeText, CResString::Load(IDS_APP_TITLE),
                                                 MB_OK);
                continue;
            }
            stacks.ClearKinds(k);
            stacks.SetVia(k, true);
        } else if (!stacks.IsShapePadKind(k)) {
            stacks.SetPadKind(k, true);
        }
    }

    std::vector<bool> usedByNets(size_t(stacks.GetCount()), false);
    for (const int32_t k : GetNetPadStackIndexes()) {
        if (k >= 0 && k < stacks.GetCount())
            usedByNets[size_t(k)] = true;
    }
    for (const int32_t kind : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA}) {
        if (HasKind(stacks, stacks.GetDefault(kind), kind))
            continue;
        int32_t found = -1;
        for (int32_t k = 0; k < stacks.GetCount() && found < 0; ++k) {
            if (HasKind(stacks, k, kind))
                found = k;
        }
        // No shape uses the standard shape pad an earlier load appended, so the passes above
        // made it a free pad; it is taken back rather than appending another on every load.
        CPadStack standard = StandardPadStack(kind);
        standard.RecalcMasks();
        for (int32_t k = 0; k < stacks.GetCount() && found < 0; ++k) {
            if (IsSparePadStack(stacks, k, kind, usedByNets[size_t(k)]) &&
                BaseName(stacks.GetName(k)) == standard.GetName() &&
                stacks.GetPadStack(k)->HasSameShapes(standard)) {
                stacks.ClearKinds(k);
                found = k;
            }
        }
        if (found < 0) {
            found = stacks.GetCount();
            if (!stacks.SetAt(found, standard))
                continue;
            // Unique at once, as the next pass would make it.
            stacks.MakeUniqueName(found, standard.GetName());
            stacks.RecalcMasks(found);
            usedByNets.push_back(false);
        }
        switch (kind) {
        case PADSTACK_KIND_PAD:
            stacks.SetPadKind(found, true);
            break;
        case PADSTACK_KIND_SHAPE_PAD:
            stacks.SetShapePadKind(found, true);
            break;
        default:
            stacks.SetVia(found, true);
            break;
        }
        stacks.SetDefault(kind, found);
    }
}

// ---- Small services -----------------------------------------------------------------------------

void CWevraDoc::OnBoardProperties()
{
    CDialogService::Get().PcbInfo(CLengthText::FormatLength(GetUnit(), m_settings.boardWidth),
                                  CLengthText::FormatLength(GetUnit(), m_settings.boardHeight),
                                  CNumberText::FormatInt(m_components->GetCount()),
                                  CNumberText::FormatInt(m_components->GetPinCount()),
                                  CNumberText::FormatInt(m_nets->GetCount()));
}

bool CWevraDoc::OnFileSendMail()
{
    std::error_code error;
    std::filesystem::path file = m_pathName;
    if (m_pathName.empty() || m_modified || !std::filesystem::is_regular_file(file, error)) {
        // The mail program reads the attachment after this returns, so the copy is left in the
        // temporary folder.
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error)
            return false;
        const std::string name = GetDesignName();
        file = folder / ((name.empty() ? CResString::Load(IDS_UNNAMED) : name) + ".PCB");
        try {
            CArchive ar;
            Serialize(ar);
            ar.SaveToFile(file);
        } catch (const CArchiveException& failure) {
            CServices::Messages().FileMessageBox(
                failure.what(), CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK,
                MB_ICONEXCLAMATION);
            return false;
        }
    }
    if (CServices::Mail().SendFile(file))
        return true;
    CServices::Messages().FileMessageBox(
        file.string() + " could not be mailed: no mail program (xdg-email) could be started.",
        CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK, MB_ICONEXCLAMATION);
    return false;
}

void CWevraDoc::OnToggleTransparentColors()
{
    m_settings.drawingMode = m_settings.drawingMode == CDesignSettings::drawTransparent
                                 ? CDesignSettings::drawOpaque
                                 : CDesignSettings::drawTransparent;
    RedrawBoardViews();
    m_view.Windows().UpdateAllViews();
}

// ---- Parts taken from a template design ---------------------------------------------------------

void CWevraDoc::CopyColorsFrom(const CWevraDoc& other)
{
    m_settings.colors = other.m_settings.colors;
    m_paint.pensBuilt = false;
    m_paint.boardDirty = true;
}

void CWevraDoc::CopyBoardOutlineFrom(const CWevraDoc& other)
{
    m_boardOutline.SetSize(other.m_boardOutline.GetSize());
    for (int32_t i = 0; i < other.m_boardOutline.GetSize(); ++i)
        m_boardOutline[i] = other.m_boardOutline[i];
    m_settings.offset = CPoint(0, 0);
    SetBoardSize(other.GetBoardWidth(), other.GetBoardHeight());
}
