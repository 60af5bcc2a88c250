#pragma once

#include <cstdint>

#include "framework/CPen.h"
#include "model/CComponentDocument.h"

class CNetArray;
class CShapeLib;

// What the component list needs of the design beyond what one component needs to draw itself:
// the shape cache to add private shapes to, the nets whose pins the components' pads are, the
// editing state its hit tests and text tools read, and the pens of the component texts. The
// document implements it.
class CComponentArrayDocument : public CComponentDocument {
public:
    // The same library GetShapeCache gives, for the operations that add shapes to it.
    virtual CShapeLib& GetEditableShapeCache() = 0;
    virtual CNetArray& GetNets() = 0;
    virtual const CNetArray& GetNets() const = 0;

    // The tool mode: the id of the command that started the tool.
    virtual uint32_t GetMode() const = 0;
    // Which component text the text tools work on, from the current display layer set: 0 none,
    // 1 reference, 2 type, 3 shape name.
    virtual int32_t GetComponentTextMode() const = 0;
    // What the pad labels show: 0 nothing, 1 pin numbers, 2 hole diameters, 3 padstack names,
    // 4 padstack numbers, 5 net names, 6 net numbers.
    virtual int32_t GetPadInfoMode() const = 0;
    // The pen of component texts on the top or bottom silkscreen, in the normal or highlight
    // colour.
    virtual CPen GetComponentTextPen(bool bottomSide, bool highlight) const = 0;

    // The document's own current component index (its editing state).
    virtual void SetCurrentComponent(int32_t component) = 0;
};
