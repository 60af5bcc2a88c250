#include "analysis/CCheckPadTable.h"

#include <algorithm>

#include "framework/Numeric.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/LayerMaps.h"

CCheckPadTable::CCheckPadTable(CNetDocument& document)
{
    const CPadStackArray& padStacks = document.GetPadStacks();
    m_sets.resize(size_t(std::max(padStacks.GetCount(), 0)) * 2);
    for (int32_t stack = 0; stack < padStacks.GetCount(); ++stack) {
        for (const bool mirrored : {false, true}) {
            PadSet& set = m_sets[size_t(stack) * 2 + (mirrored ? 1 : 0)];
            set.padStack = stack;
            set.mirrored = mirrored;
            Fill(set, padStacks.GetPadStack(stack));
        }
    }
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        m_layerEnabled[size_t(layer)] = document.IsLayerEnabled(layer);
}

void CCheckPadTable::Fill(PadSet& set, const CPadStack* stack)
{
    std::array<const CPad*, LAYER_COUNT> forms{};
    const CPad** const formsBegin = forms.data();
    const CPad** formsEnd = forms.data();
    int64_t reach = 0;
    for (int32_t layer = 0; stack && layer < LAYER_COUNT; ++layer) {
        const CPad* pad = stack->GetPad(set.mirrored ? OppositeLayer(layer) : layer);
        if (!pad || !pad->HasShape())
            continue;
        const CPad* const* same = std::find_if(formsBegin, formsEnd, [pad](const CPad* form) {
            return form->GetShape() == pad->GetShape() && form->GetRect() == pad->GetRect() &&
                   form->GetRotation() == pad->GetRotation();
        });
        if (same != formsEnd) {
            pad = *same;
        } else {
            *formsEnd++ = pad;
            if (layer < PADSTACK_LAYER_COUNT)
                reach = std::max(reach, CNet::PadReach(pad->GetRect(), 1));
        }
        set.pads[size_t(layer)] = pad;
    }
    set.reach = SaturateToInt(reach);
}
