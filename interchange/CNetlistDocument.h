#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CComponentArray;
class CNetArray;
class CPour;
class CShapeLib;
class CShapeLibArray;

// What the netlist import needs of the design it changes: the components, the nets, the
// planes and the shape cache, the application's shape libraries to take missing shapes from, the
// undo point, the message list, the netlist path and time stamp kept with the design, and the few
// editor services it drives when it is done. The document implements it.
class CNetlistDocument {
public:
    virtual ~CNetlistDocument() = default;

    virtual CComponentArray& GetComponents() = 0;
    virtual CNetArray& GetNets() = 0;
    virtual CShapeLib& GetEditableShapeCache() = 0;
    virtual const std::vector<std::unique_ptr<CPour>>& GetPlanes() const = 0;
    // nullptr when the application has no library set.
    virtual const CShapeLibArray* GetShapeLibraries() const = 0;

    // An undo snapshot of the design before it changes.
    virtual void SaveUndoState() = 0;
    // Puts the design back as the last SaveUndoState found it, that snapshot dropped and the
    // modified flag as it was: a run the user cancelled leaves no trace.
    virtual void TakeBackUndoState() = 0;
    // Appends a line to the message list shown in the bottom pane.
    virtual void AddMessage(const std::string& text) = 0;
    virtual void SetNetlistPath(const std::string& path) = 0;
    // Seconds since 1970 of the netlist file's last change.
    virtual void SetNetlistTime(int64_t seconds) = 0;
    // The component the component tool works on, -1 for none.
    virtual void SetCurrentComponent(int32_t component) = 0;
    // Deselects every object of the design; returns how many changed.
    virtual int32_t SelectAll(bool select) = 0;
    // Switches the tool mode (a command id).
    virtual void SetMode(uint32_t mode) = 0;
    virtual void ShowLeftPane(bool shown) = 0;
    virtual void ShowBottomPane(bool shown) = 0;
    // Where the design lies (empty for a design never saved): the import's report goes there
    // when the netlist's own folder cannot take it.
    virtual std::string GetDesignFolder() const = 0;
};
