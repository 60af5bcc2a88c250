#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/CComponent.h"

class CToolDocument;

// The fields of a placed component as "Component Properties" shows and takes them: texts for
// what is typed, switches for the flag bits. Read fills them from the component; Apply writes
// them back on OK.
class CComponentProperties {
public:
    // The locks in the order of the "Enabled for Editing" boxes: Select, Delete, Move,
    // Rotate, Mirror, Move Text, Replace Shape, Shape, Group, Cluster, Reference, Type,
    // Partfields.
    static constexpr std::array<uint32_t, 13> locks = {
        ComponentFlags::lockSelect,       ComponentFlags::lockDelete,
        ComponentFlags::lockMove,         ComponentFlags::lockRotate,
        ComponentFlags::lockMirror,       ComponentFlags::lockMoveText,
        ComponentFlags::lockReplaceShape, ComponentFlags::lockShape,
        ComponentFlags::lockGroup,        ComponentFlags::lockCluster,
        ComponentFlags::lockReference,    ComponentFlags::lockType,
        ComponentFlags::lockPartfields};
    // The bits OK writes: the locks and the two opposite-side switches.
    static constexpr uint32_t editedFlags =
        ComponentFlags::allLocks | ComponentFlags::oppositeText | ComponentFlags::oppositeSilk;

    struct Values {
        std::string reference;
        std::string type;
        // The name of its shape; not edited.
        std::string shape;
        // The position relative to the user offset, as length texts in the display unit.
        std::string x;
        std::string y;
        // Degrees with three decimals.
        std::string rotation;
        std::string group;
        std::string cluster;
        bool mirrored = false;
        // The component's flags word; only editedFlags are written back.
        uint32_t flags = 0;
    };

    static Values Read(CToolDocument& document, int32_t component);
    // The reference as it is kept: upper case, without the blanks around it.
    static std::string NormalizeReference(std::string_view reference);
    // Another component that bears the typed reference already; -1 for none.
    static int32_t FindOther(CToolDocument& document, int32_t component,
                             std::string_view reference);
    // An undo state, then the values. With `swapWith` (another component's index, -1 for
    // none) that component takes the edited one's old reference. The position is set whatever
    // the component's locks; a length or angle whose text is left as shown keeps the stored
    // value (the texts are rounded); group and cluster are kept in 0..65535. False, with
    // nothing changed, when a typed place is refused.
    static bool Apply(CToolDocument& document, int32_t component, const Values& values,
                      int32_t swapWith);
};
