#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CDeviceContext;
class CWevraDoc;

// The Pinswapping tool: exchanges the nets of two pins of one component that the component's
// type declares swappable in "ProjectInfo.txt" beside the design. The first click picks a
// component or its first pin, the second click the pin to swap with.
//
// Pins are kept as net and pin indexes, never as references into a net's pin list, which the
// nets rebuild. A swap is an edit: it pushes an undo snapshot and marks the design modified.
class CPinSwapTool {
public:
    static constexpr char fileName[] = "ProjectInfo.txt";
    // The rules of a project are a few lines per component type.
    static constexpr uintmax_t maxFileSize = 16 * 1024 * 1024;

    explicit CPinSwapTool(CWevraDoc& document) : m_document(document) {}

    // Highlight colours of the picked component's swappable pins: those on the current net,
    // and the others.
    static constexpr uint32_t currentNetColor = 0x0000FFFF;
    static constexpr uint32_t otherBrushColor = 0x0000BFBF;
    static constexpr uint32_t otherPenColor = 0x00008080;

    // One click at the raw cursor.
    void OnClick();
    // The picked component's swappable pins that have a pad on the work layer (on the other
    // side for a component mounted underneath), over the board.
    void Draw(CDeviceContext& dc) const;
    // Empties the swap list and reads that of the type from the file beside the design; true
    // when a pin list for the type was read up to its end line.
    bool LoadSwapList(const std::string& type);
    // The same from a file of that path.
    bool LoadSwapList(const std::filesystem::path& file, const std::string& type);
    bool IsSwappable(int32_t pin) const;
    const std::vector<uint16_t>& GetSwapList() const { return m_swapList; }
    int32_t GetPickedComponent() const { return m_component; }

    // Exchanges the nets of pin `firstPin` of net `firstNet` and pin `secondPin` of net
    // `secondNet`; false for indexes that name no pin.
    [[nodiscard]] bool Swap(int32_t firstNet, int32_t firstPin, int32_t secondNet,
                            int32_t secondPin);

private:
    void FirstClick();
    void SecondClick();
    // The picked component becomes that of the pin or point; false with the message shown
    // when its type has no swap information.
    bool PickComponent(int32_t component);
    uint32_t LayerFilter() const;
    void Refuse(const std::string& text) const;

    CWevraDoc& m_document;
    int32_t m_component = -1;
    int32_t m_firstNet = -1;
    int32_t m_firstPin = -1;
    std::vector<uint16_t> m_swapList;
};
