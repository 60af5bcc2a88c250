#include "document/CPinSwapTool.h"

#include <cstdlib>
#include <sstream>
#include <utility>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CArchiveException.h"
#include "framework/CDeviceContext.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "framework/TextTrim.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerMaps.h"

namespace {

constexpr char typeTag[] = "<TYPE ";
constexpr size_t typeTagLength = sizeof(typeTag) - 1;
// Components are found with this hit mode when no pin is under the cursor.
constexpr int32_t componentHitMode = 8;

// Whether a type line names the type: the trimmed line less the tag and its closing
// character. A line too short to hold both names no type at all.
bool NamesType(const std::string& line, const std::string& type)
{
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.size() <= typeTagLength)
        return false;
    return trimmed.compare(typeTagLength, trimmed.size() - typeTagLength - 1, type) == 0;
}

} // namespace

bool CPinSwapTool::LoadSwapList(const std::string& type)
{
    const std::filesystem::path folder = m_document.GetDesignFolder();
    return LoadSwapList(CPathHelper::FindIgnoringCase(folder, fileName), type);
}

bool CPinSwapTool::LoadSwapList(const std::filesystem::path& file, const std::string& type)
{
    m_swapList.clear();
    std::istringstream in;
    try {
        in.str(CInputFile::ReadText(file, maxFileSize));
    } catch (const CArchiveException&) {
        return false;
    }
    enum class State { outside, block, typeFound, pinList } state = State::outside;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        switch (state) {
        case State::outside:
            if (line.find("<PINSWAP") != std::string::npos)
                state = State::block;
            break;
        case State::block:
            if (line.find(typeTag) != std::string::npos && NamesType(line, type))
                state = State::typeFound;
            break;
        case State::typeFound:
            if (TrimBlanks(line) == "<PINLIST")
                state = State::pinList;
            break;
        case State::pinList:
            if (line.find("/>") != std::string::npos)
                return true;
            m_swapList.push_back(uint16_t(std::atoi(line.c_str()) - 1));
            break;
        }
    }
    m_swapList.clear();
    return false;
}

bool CPinSwapTool::IsSwappable(int32_t pin) const
{
    for (const uint16_t swappable : m_swapList)
        if (swappable == pin)
            return true;
    return false;
}

uint32_t CPinSwapTool::LayerFilter() const
{
    const int32_t layer = m_document.Session().GetWorkLayer();
    return layer <= 0 || layer > 32 ? 0xFFFFFFFFu : 1u << (layer - 1);
}

void CPinSwapTool::Refuse(const std::string& text) const
{
    CServices::Messages().MessageBox(text, m_document.GetDesignName(), MB_OK, MB_ICONEXCLAMATION);
}

void CPinSwapTool::Draw(CDeviceContext& dc) const
{
    const CComponent* component = m_document.Design().GetComponents().GetComponent(m_component);
    const int32_t scale = m_document.View().GetScale();
    if (component == nullptr || scale < 1)
        return;
    const CShapeLib& cache = m_document.Design().GetShapeCache();
    const CShape* shape = component->GetShape(cache);
    if (shape == nullptr)
        return;
    const CPadStackArray& stacks = cache.GetPadStacks();
    const bool mirrored = component->IsMirrored();
    const int32_t layer = mirrored ? OppositeLayer(m_document.Session().GetWorkLayer())
                                   : m_document.Session().GetWorkLayer();
    const int32_t currentNet = m_document.Session().GetCurrentNetIndex();
    const CPoint offset = m_document.View().GetViewOffset();
    const CPen previousPen = dc.SelectPen(CPen());
    const CBrush previousBrush = dc.SelectBrush(CBrush());
    const std::vector<ShapePad>& pads = shape->GetPads();
    for (const uint16_t pad : m_swapList) {
        if (pad >= pads.size())
            continue;
        const int32_t stack = pads[pad].GetPadStackIndex();
        if (stacks.GetPad(stack, layer) == nullptr)
            continue;
        const bool current = component->GetPadNet(pad) == currentNet;
        dc.SelectPen(CPen(CPen::Style::Solid, 1, current ? currentNetColor : otherPenColor));
        dc.SelectBrush(CBrush(current ? currentNetColor : otherBrushColor));
        const CPoint at = component->GetPadPosition(pad, cache);
        const int32_t x = SaturateToInt((int64_t(at.x) + offset.x) / scale);
        const int32_t y = SaturateToInt((int64_t(at.y) + offset.y) / scale);
        const int32_t angle = component->GetPadAngle(pad, cache);
        if (mirrored)
            stacks.DrawPadMirrored(dc, stack, layer, x, y, angle, scale);
        else
            stacks.DrawPad(dc, stack, layer, x, y, angle, scale);
    }
    dc.SelectPen(previousPen);
    dc.SelectBrush(previousBrush);
}

void CPinSwapTool::OnClick()
{
    if (m_document.Session().IsAction(CEditState::actionWaiting))
        FirstClick();
    else
        SecondClick();
}

bool CPinSwapTool::PickComponent(int32_t component)
{
    const CComponent* picked = m_document.Design().GetComponents().GetComponent(component);
    if (picked == nullptr || !LoadSwapList(picked->GetType())) {
        Refuse("Error: No PinswapInfo for this component!");
        return false;
    }
    m_component = component;
    return true;
}

void CPinSwapTool::FirstClick()
{
    CNetArray& nets = m_document.Design().GetNets();
    CPoint point = m_document.Session().GetRawCursor();
    const int32_t pin = nets.FindPinAt(point, CNet::hitMakeNetCurrent, LayerFilter());
    if (pin >= 0) {
        const int32_t net = m_document.Session().GetCurrentNetIndex();
        const CNet* owner = nets.GetNet(net);
        if (owner == nullptr || pin >= owner->GetPinCount())
            return;
        const NetPinRec record = owner->GetPin(pin);
        if (record.component != m_component && !PickComponent(record.component))
            return;
        if (!IsSwappable(record.pad)) {
            Refuse("Error: This pin can not swap!");
            return;
        }
        m_firstNet = net;
        m_firstPin = pin;
        m_document.Session().SetAction(CEditState::actionDragging);
    } else {
        point = m_document.Session().GetRawCursor();
        const int32_t component =
            m_document.Design().GetComponents().FindAtPoint(point, componentHitMode, LayerFilter());
        if (component < 0)
            return;
        if (component != m_component) {
            const CComponent* picked = m_document.Design().GetComponents().GetComponent(component);
            if (picked == nullptr || !LoadSwapList(picked->GetType())) {
                m_component = -1;
                Refuse("Error: No PinswapInfo for this component!");
            } else {
                m_component = component;
            }
        }
    }
    m_document.Windows().RedrawBoardViews();
}

void CPinSwapTool::SecondClick()
{
    CNetArray& nets = m_document.Design().GetNets();
    CPoint point = m_document.Session().GetRawCursor();
    const int32_t pin = nets.FindPinAt(point, CNet::hitMakeNetCurrent, LayerFilter());
    if (pin < 0)
        return;
    const int32_t net = m_document.Session().GetCurrentNetIndex();
    const CNet* owner = nets.GetNet(net);
    const CNet* first = nets.GetNet(m_firstNet);
    if (owner == nullptr || pin >= owner->GetPinCount() || first == nullptr || m_firstPin < 0 ||
        m_firstPin >= first->GetPinCount())
        return;
    const NetPinRec& record = owner->GetPin(pin);
    if (record.component != m_component) {
        Refuse("Pin must be on the same component!");
        return;
    }
    if (!IsSwappable(record.pad)) {
        Refuse("Error: This pin can not swap! Please select another pin");
        return;
    }
    if (record.pad == first->GetPin(m_firstPin).pad) {
        Refuse("Error: This pin is the same as the first pin! Please select another pin");
        return;
    }
    // The pins were checked above; should the swap still not happen, the tool keeps its pick.
    if (!Swap(m_firstNet, m_firstPin, net, pin))
        return;
    m_document.Session().SetAction(CEditState::actionWaiting);
    m_document.Windows().RedrawBoardViews();
}

bool CPinSwapTool::Swap(int32_t firstNet, int32_t firstPin, int32_t secondNet, int32_t secondPin)
{
    CNetArray& nets = m_document.Design().GetNets();
    const CNet* first = std::as_const(nets).GetNet(firstNet);
    const CNet* second = std::as_const(nets).GetNet(secondNet);
    if (first == nullptr || second == nullptr || firstPin < 0 || firstPin >= first->GetPinCount() ||
        secondPin < 0 || secondPin >= second->GetPinCount())
        return false;
    // The nets are taken for writing after the snapshot, which may share them.
    m_document.History().SaveUndoState();
    CNet* a = nets.GetNet(firstNet);
    CNet* b = nets.GetNet(secondNet);
    const NetPinRec pinA = a->GetPin(firstPin);
    const NetPinRec pinB = b->GetPin(secondPin);
    m_document.Design().SetPadNet(pinA.component, pinA.pad, secondNet);
    m_document.Design().SetPadNet(pinB.component, pinB.pad, firstNet);
    // Each net now holds the other pin.
    a->SetPin(firstPin, pinB);
    b->SetPin(secondPin, pinA);
    for (CNet* net : {a, b}) {
        net->SetBoxChanged(true);
        net->CalcBoundingBox(m_document.Link());
    }
    if (firstNet != 0)
        a->CalcRatsnest(m_document.Link());
    if (secondNet != 0 && secondNet != firstNet)
        b->CalcRatsnest(m_document.Link());
    m_document.SetModified();
    return true;
}
