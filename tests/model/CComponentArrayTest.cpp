#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "model/CComponentArray.h"
#include "model/CComponentArrayDocument.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CShapeLib.h"
#include "model/CWevraFont.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

// A design with four shapes in its cache: SMD2 (top pads at (-1000, 0) and (1000, 0), a top
// silkscreen line), L3 (pads (0, 0), (1000, 0), (0, 2000)), L3 turned a quarter back, and ONE
// (a single pad). Net 1 is "N1". The font is empty, so texts are centred on the boxes.
class CFakeArrayDocument : public CComponentArrayDocument {
public:
    CFakeArrayDocument()
    {
        CPadStackArray& stacks = cache.GetPadStacks();
        smd = stacks.Add(CPadStack("SMD", PAD_SQUARE, -300, -300, 300, 300, 0, LAYER_TOP,
                                   PADSTACK_KIND_SHAPE_PAD));
        drilled = stacks.Add(CPadStack("TH", PAD_ROUND, -600, -600, 600, 600, 3023, LAYER_COMMON,
                                       PADSTACK_KIND_SHAPE_PAD));
        stacks.SetDefault(PADSTACK_KIND_SHAPE_PAD, drilled);
        AddShape("SMD2", {{-1000, 0}, {1000, 0}});
        cache.AddOutlineToShape(smd2, -2000, -1000, uint16_t(LAYER_SILK_TOP << 4));
        cache.AddOutlineToShape(smd2, 2000, -1000, uint16_t(LAYER_SILK_TOP << 4 | 1));
        cache.RecalcShapeExtent(smd2);
        AddShape("L3", {{0, 0}, {1000, 0}, {0, 2000}});
        AddShape("L3turned", {{0, 0}, {1000, 0}, {0, 2000}});
        cache.GetShape(l3Turned)->Rotate(-90000);
        cache.RecalcShapeExtent(l3Turned);
        AddShape("ONE", {{500, 0}});
        nets.AddNet("N1");
    }

    void AddShape(const std::string& name, std::vector<CPoint> pads)
    {
        const int32_t i = cache.AddShape(name);
        for (CPoint p : pads)
            cache.GetShape(i)->AddPad(p.x, p.y, smd, 0);
        cache.RecalcShapeExtent(i);
    }

    const CShapeLib& GetShapeCache() const override { return cache; }
    CShapeLib& GetEditableShapeCache() override { return cache; }
    const CWevraFont& GetFont() const override { return font; }
    CPoint GetViewOffset() const override { return CPoint(0, 0); }
    int32_t GetScale() const override { return 10; }
    COLORREF GetLayerColor(int32_t layer, int32_t) const override { return COLORREF(layer); }
    CPen GetLayerPen(int32_t, int32_t) const override { return CPen(); }
    CBrush GetLayerBrush(int32_t, int32_t) const override { return CBrush(); }
    CPen GetUnconnectedPadPen() const override { return CPen(); }
    CBrush GetUnconnectedPadBrush() const override { return CBrush(); }
    CPen GetHolePen() const override { return CPen(); }
    CBrush GetHoleBrush() const override { return CBrush(); }
    int32_t GetCurrentNet() const override { return 0; }
    int32_t GetNetCount() const override { return nets.GetCount(); }
    CNetArray& GetNets() override { return nets; }
    const CNetArray& GetNets() const override { return nets; }
    uint32_t GetMode() const override { return mode; }
    int32_t GetComponentTextMode() const override { return textMode; }
    int32_t GetPadInfoMode() const override { return padInfoMode; }
    CPen GetComponentTextPen(bool bottomSide, bool highlight) const override
    {
        return CPen(CPen::Style::Solid, 1, COLORREF((bottomSide ? 2 : 1) + (highlight ? 16 : 0)));
    }
    void SetCurrentComponent(int32_t component) override { currentComponent = component; }

    static constexpr int32_t smd2 = 0;
    static constexpr int32_t l3 = 1;
    static constexpr int32_t l3Turned = 2;
    static constexpr int32_t one = 3;

    CShapeLib cache{CShapeLib::cacheName};
    CNetArray nets;
    CWevraFont font;
    int32_t smd = 0;
    int32_t drilled = 0;
    uint32_t mode = 0;
    int32_t textMode = 0;
    int32_t padInfoMode = 0;
    int32_t currentComponent = -1;
};

class CComponentArrayTest : public ::testing::Test {
protected:
    // Appends a component with the reference on the shape at the position.
    int32_t Place(const std::string& reference, int32_t shape, int32_t x = 0, int32_t y = 0)
    {
        const int32_t i = m_list.AddEmpty(shape);
        m_list.SetName(i, 0, reference);
        m_list.GetComponent(i)->ResizePadNets(m_list.GetShapePadCount(i));
        m_list.SetPosition(i, x, y);
        return i;
    }

    std::vector<std::string> References() const
    {
        std::vector<std::string> references;
        for (int32_t i = 0; i < m_list.GetCount(); ++i)
            references.push_back(m_list.GetReference(i));
        return references;
    }

    CPoint PinOf(int32_t net, int32_t component, int32_t pad)
    {
        const CNet& n = *m_document.nets.GetNet(net);
        const int32_t pin = n.FindPin(component, pad);
        return pin < 0 ? CPoint(-1, -1) : CPoint(n.GetPin(pin).x, n.GetPin(pin).y);
    }

    CFakeArrayDocument m_document;
    CComponentArray m_list{m_document};
};

// ---- References ------------------------------------------------------------------------------

TEST_F(CComponentArrayTest, ReferencesAreProposedAndCopiesNeverDuplicateThem)
{
    EXPECT_EQ(m_list.GetPrefix(0), "U1");
    for (const char* reference : {"R1", "R2", "R10", "R9", "X"})
        Place(reference, CFakeArrayDocument::smd2);
    m_list.RebuildReferencePrefixes();
    EXPECT_EQ(m_list.GetPrefix(0), "R5");
    EXPECT_EQ(m_list.GetPrefix(1), "X2");
    EXPECT_EQ(m_list.NextReference("R", 0), "R11");
    EXPECT_EQ(m_list.NextReference("R2", 3), "R5");
    EXPECT_EQ(m_list.NextReference("C7", 0), "C1");

    const struct {
        int32_t increment;
        const char* expected;
    } cases[] = {{0, "R11"}, {1, "R3"}, {8, "R18"}, {-1, "R0"}};
    for (const auto& c : cases) {
        m_list.SetReferenceIncrement(c.increment);
        m_list.SetFlag(1, ComponentFlags::lockMove | ComponentFlags::fromNetlist, true);
        m_list.GetComponent(1)->SetPadNet(0, 1, 2);
        const int32_t copy = m_list.CopyComponent(1);
        EXPECT_EQ(m_list.GetReference(copy), c.expected) << c.increment;
        EXPECT_FALSE(m_list.TestFlag(copy, ComponentFlags::lockMove));
        EXPECT_TRUE(m_list.TestFlag(copy, ComponentFlags::fromPlaceComponent));
        EXPECT_EQ(m_list.GetComponent(copy)->GetPadNets(), (std::vector<uint16_t>{0, 0}));
    }
    EXPECT_FALSE(m_list.AddComponent("R2", "x", 0, 0, 0, 0, false));
    EXPECT_EQ(m_list.GetCount(), 9);
}

TEST_F(CComponentArrayTest, CopySelectedFloatsSelectedCopies)
{
    Place("R1", CFakeArrayDocument::smd2);
    Place("R2", CFakeArrayDocument::smd2);
    m_list.Select(0, true);
    m_list.Select(1, true);
    m_list.CopySelected();
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "R3", "R4"}));
    EXPECT_EQ(m_list.GetSelectedCount(), 2);
    EXPECT_TRUE(m_list.IsSelected(2) && m_list.IsSelected(3) && !m_list.IsSelected(0));
    EXPECT_EQ(m_document.currentComponent, 3);
}

TEST_F(CComponentArrayTest, SortingFollowsPrefixNumberThenBytes)
{
    for (const char* reference : {"R10", "R2", "R1A", "R1"})
        Place(reference, CFakeArrayDocument::smd2);
    m_list.SetCurrent(0);
    m_list.SetActiveIndex(1);
    m_list.SortByReference();
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R1A", "R2", "R10"}));
    // The current and active components stay the same components.
    EXPECT_EQ(m_list.GetCurrent(), 3);
    EXPECT_EQ(m_list.GetActiveIndex(), 2);
}

// Any references, however odd, sort into one order whatever order they came in, and the order
// is a strict weak one (the sort is undefined with any other).
TEST_F(CComponentArrayTest, RandomReferencesSortTheSameEveryTime)
{
    std::mt19937 random(20240501);
    const std::string alphabet = "RC9105Z-x";
    std::vector<std::string> references = {"Z", "5", "M1", "", "R", "R0", "R00", "R99999999999"};
    for (int k = 0; k < 60; ++k) {
        std::string text;
        for (size_t n = random() % 6; n > 0; --n)
            text += alphabet[random() % alphabet.size()];
        references.push_back(text);
    }
    for (const std::string& a : references) {
        EXPECT_FALSE(CComponentArray::ReferenceLess(a, a)) << a;
        for (const std::string& b : references) {
            for (const std::string& c : references) {
                const auto less = CComponentArray::ReferenceLess;
                if (less(a, b) && less(b, c)) {
                    EXPECT_TRUE(less(a, c)) << a << " " << b << " " << c;
                }
                if (!less(a, b) && !less(b, a) && !less(b, c) && !less(c, b)) {
                    EXPECT_TRUE(!less(a, c) && !less(c, a)) << a << " " << b << " " << c;
                }
            }
        }
    }

    std::vector<std::string> first;
    for (int run = 0; run < 5; ++run) {
        std::shuffle(references.begin(), references.end(), random);
        CComponentArray list(m_document);
        for (const std::string& reference : references)
            list.SetName(list.AddEmpty(0), 0, reference);
        list.SortByReference();
        std::vector<std::string> sorted;
        for (int32_t i = 0; i < list.GetCount(); ++i)
            sorted.push_back(list.GetReference(i));
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), CComponentArray::ReferenceLess));
        if (run == 0)
            first = sorted;
        EXPECT_EQ(sorted, first);
    }
}

// ---- Placing ---------------------------------------------------------------------------------

TEST_F(CComponentArrayTest, NetlistComponentsArePlacedAboveAndRightOfTheOrigin)
{
    // SMD2's box reaches 2000 left and right and 1000 up and down.
    const struct {
        CPoint at;
        CPoint placed;
    } cases[] = {
        {{1000, 30000}, {26600, -21200}},
        {{5000, -5000}, {5000, -5000}},
        {{2000, -1000}, {2000, -1000}},
        {{-60000, 1001}, {16800, -24599}},
    };
    for (const auto& c : cases) {
        const std::string reference = "R" + std::to_string(m_list.GetCount() + 1);
        ASSERT_TRUE(m_list.AddComponent(reference, "1k", CFakeArrayDocument::smd2, c.at.x, c.at.y,
                                        0, false));
        const int32_t i = m_list.GetCount() - 1;
        EXPECT_EQ(m_list.GetPosition(i), c.placed) << c.at.x << "," << c.at.y;
        EXPECT_LE(m_list.GetBox(i).bottom, 0);
        EXPECT_GE(m_list.GetBox(i).left, 0);
        EXPECT_EQ(m_list.GetComponent(i)->GetTextPoint(0), m_list.GetCenter(i));
        EXPECT_TRUE(m_list.TestFlag(i, ComponentFlags::fromNetlist));
    }
}

// ---- Selection and hit tests -----------------------------------------------------------------

TEST_F(CComponentArrayTest, SelectAllSkipsSelectLockedComponents)
{
    for (int k = 0; k < 5; ++k)
        Place("R" + std::to_string(k + 1), CFakeArrayDocument::smd2);
    m_list.SetFlag(2, ComponentFlags::lockSelect, true);
    EXPECT_EQ(m_list.SelectAll(true), 4);
    EXPECT_EQ(m_list.GetSelectedCount(), 4);
    EXPECT_FALSE(m_list.IsSelected(2));
    EXPECT_FALSE(m_list.Select(0, true));
    m_list.DeleteSelected();
    EXPECT_EQ(References(), (std::vector<std::string>{"R3"}));
    EXPECT_EQ(m_list.GetSelectedCount(), 0);
}

TEST_F(CComponentArrayTest, FindAtPointTakesTheSmallestBoxOnTheSide)
{
    // Boxes whose areas leave the int32 range.
    CShapeLib& cache = m_document.cache;
    for (int32_t half : {30000000, 10000000}) {
        const int32_t shape = cache.AddShape("BIG" + std::to_string(half));
        cache.GetShape(shape)->AddPad(0, 0, m_document.smd, 0);
        cache.GetShape(shape)->SetExtent(CRect(-half, -half, half, half));
        Place("U" + std::to_string(shape), shape);
    }
    const int32_t small = Place("R1", CFakeArrayDocument::smd2, 100, 0);
    const uint32_t top = LayerBit(LAYER_TOP);
    const uint32_t bottom = LayerBit(LAYER_BOTTOM);

    CPoint point(0, 0);
    EXPECT_EQ(m_list.FindAtPoint(point, CComponentArray::hitSelect, top), small);
    EXPECT_EQ(point, CPoint(100, 0));
    EXPECT_TRUE(m_list.IsSelected(small));
    point = CPoint(0, 0);
    EXPECT_EQ(m_list.FindAtPoint(point, 0, bottom), -1);

    m_list.SetFlag(small, ComponentFlags::lockSelect, true);
    const struct {
        int32_t mode;
        uint32_t toolMode;
        int32_t found;
    } cases[] = {
        {0, 0, 1},
        {CComponentArray::hitIgnoreSelectLock, 0, small},
        {0, ID_COMPONENTS_PROPERTIES, small},
    };
    for (const auto& c : cases) {
        m_document.mode = c.toolMode;
        point = CPoint(0, 0);
        EXPECT_EQ(m_list.FindAtPoint(point, c.mode, top), c.found) << c.mode << " " << c.toolMode;
    }
    m_document.mode = 0;

    m_list.SetMirrored(small, true);
    point = CPoint(0, 0);
    EXPECT_EQ(m_list.FindAtPoint(point, CComponentArray::hitIgnoreSelectLock, bottom), small);

    // Find next walks the list in order and starts again after the last one.
    std::vector<int32_t> found;
    for (int k = 0; k < 4; ++k) {
        point = CPoint(0, 0);
        found.push_back(m_list.FindNextAtPoint(point, 0, LAYER_MASK_ALL));
    }
    EXPECT_EQ(found, (std::vector<int32_t>{0, 1, 2, 0}));
}

// ---- Moves, rotations and mirroring under locks ----------------------------------------------

TEST_F(CComponentArrayTest, EditsHonourLocksAndCarryPinsBoxAndTexts)
{
    struct Case {
        const char* name;
        std::function<void(CComponentArray&)> edit;
        uint32_t lock;
    };
    const Case cases[] = {
        {"move by", [](CComponentArray& l) { l.MoveBy(0, 100, 50); }, ComponentFlags::lockMove},
        {"move to", [](CComponentArray& l) { l.MoveTo(0, 0, 0); }, ComponentFlags::lockMove},
        {"move all", [](CComponentArray& l) { l.MoveAll(100, 0); }, ComponentFlags::lockMove},
        {"rotate to", [](CComponentArray& l) { l.RotateSelected(90000, true); },
         ComponentFlags::lockRotate},
        {"rotate by", [](CComponentArray& l) { l.RotateSelected(-45000, false); },
         ComponentFlags::lockRotate},
        {"rotate about", [](CComponentArray& l) { l.RotateSelectedAbout(0, 0, 90000); },
         ComponentFlags::lockRotate},
        {"mirror", [](CComponentArray& l) { l.MirrorSelected(); }, ComponentFlags::lockMirror},
    };
    for (const Case& c : cases) {
        for (uint32_t lock : {0u, ComponentFlags::lockMove, ComponentFlags::lockRotate,
                              ComponentFlags::lockMirror}) {
            CComponentArray list(m_document);
            list.AddComponent("R1", "1k", CFakeArrayDocument::smd2, 10000, -20000, 0, false);
            list.GetComponent(0)->ResizePadNets(2);
            list.GetComponent(0)->SetPadNet(0, 1, 2);
            list.RebuildNetPins();
            list.Select(0, true);
            list.SetFlag(0, lock, true);
            CNet& net = *m_document.nets.GetNet(1);
            net.MarkRatsnestDirty(false);
            const CComponent before = *list.GetComponent(0);

            c.edit(list);
            const CComponent& after = *list.GetComponent(0);
            const bool changed = after.GetPosition() != before.GetPosition() ||
                                 after.GetRotationWord() != before.GetRotationWord();
            EXPECT_EQ(changed, lock != c.lock) << c.name << " " << lock;
            if (!changed || std::string(c.name) == "move all")
                continue;
            const CRect box = after.GetBox();
            list.RecalcRect(0);
            EXPECT_EQ(box, list.GetBox(0)) << c.name;
            EXPECT_EQ(PinOf(1, 0, 0), list.GetPadPosition(0, 0)) << c.name;
            EXPECT_EQ(PinOf(0, 0, 1), list.GetPadPosition(0, 1)) << c.name;
            // Painting and the hit tests pass over a net by its box.
            EXPECT_TRUE(net.BoxContains(PinOf(1, 0, 0))) << c.name;
            EXPECT_TRUE(net.NeedsRatsnest()) << c.name;
            EXPECT_EQ(after.GetTextPoint(1), list.GetCenter(0)) << c.name;
        }
    }
}

TEST_F(CComponentArrayTest, BestRotationLinesTheNewPadsUpWithTheOld)
{
    const struct {
        int32_t shape;
        int32_t replacement;
        bool mirrored;
        int32_t rotation;
        int32_t best;
    } cases[] = {
        {CFakeArrayDocument::l3, CFakeArrayDocument::l3Turned, false, 30000, 120000},
        {CFakeArrayDocument::l3, CFakeArrayDocument::l3Turned, true, 30000, -60000},
        {CFakeArrayDocument::l3Turned, CFakeArrayDocument::l3, false, 0, 270000},
        {CFakeArrayDocument::l3, CFakeArrayDocument::l3, true, 300000, 300000},
        {CFakeArrayDocument::one, CFakeArrayDocument::one, false, 90000, 90000},
        {CFakeArrayDocument::one, CFakeArrayDocument::l3, false, 90000, 90000},
    };
    for (const auto& c : cases) {
        CComponentArray list(m_document);
        list.AddComponent("U1", "x", c.shape, 0, 0, c.rotation, c.mirrored);
        const int32_t best = list.BestRotationForShape(0, c.replacement);
        EXPECT_EQ(best, c.best) << c.shape << " " << c.mirrored;
        std::vector<CPoint> pads;
        for (int32_t n = 0; n < list.GetShapePadCount(0); ++n)
            pads.push_back(list.GetPadPosition(0, n));
        list.SetRotation(0, best);
        list.SetShapeIndex(0, c.replacement);
        for (size_t n = 0; n < pads.size() && c.shape != CFakeArrayDocument::one; ++n)
            EXPECT_EQ(list.GetPadPosition(0, int32_t(n)), pads[n]) << c.shape << " " << n;
    }
}

// ---- Pins ------------------------------------------------------------------------------------

TEST_F(CComponentArrayTest, PinsOfComponentsBeyondSixteenBitsStayInTheirNets)
{
    constexpr int32_t count = 65538;
    for (int32_t i = 0; i < count; ++i)
        m_list.AddEmpty(CFakeArrayDocument::one);
    m_list.SetPosition(count - 1, 7000, 3000);
    m_list.GetComponent(count - 1)->ResizePadNets(1);
    m_list.GetComponent(count - 1)->SetPadNet(0, 1, 2);
    m_list.RebuildNetPins();
    EXPECT_EQ(m_list.GetPinCount(), count);
    EXPECT_EQ(m_document.nets.GetNet(0)->GetPinCount(), count - 1);
    EXPECT_EQ(PinOf(1, count - 1, 0), CPoint(7500, 3000));

    // Deleting the first component renumbers every other one.
    m_list.Select(0, true);
    m_list.DeleteSelected();
    EXPECT_EQ(m_list.GetPinCount(), count - 1);
    EXPECT_EQ(PinOf(1, count - 2, 0), CPoint(7500, 3000));
    EXPECT_EQ(m_document.nets.GetNet(0)->FindPin(count - 3, 0), count - 3);
}

TEST_F(CComponentArrayTest, DeletingComponentsLeavesThePinsARebuildMakesAndCopiesOnlyNetsItChanges)
{
    CNetArray& nets = m_document.nets;
    for (const char* name : {"N2", "N3", "N4"})
        nets.AddNet(name);
    // The nets of each component's two pads: N1 holds early components only, N2 one to be
    // deleted and a later one, N3 later ones only, N4 one to be deleted alone.
    const std::vector<std::pair<int32_t, int32_t>> padNets = {
        {1, 1}, {1, 0}, {0, 0}, {2, 4}, {0, 0}, {0, 3}, {0, 0}, {2, 3}, {3, 3}};
    for (size_t i = 0; i < padNets.size(); ++i) {
        const int32_t c = Place("R" + std::to_string(i + 1), CFakeArrayDocument::smd2,
                                10000 * int32_t(i), 5000 * int32_t(i % 3));
        m_list.GetComponent(c)->SetPadNet(0, padNets[i].first, nets.GetCount());
        m_list.GetComponent(c)->SetPadNet(1, padNets[i].second, nets.GetCount());
    }
    m_list.RebuildNetPins();
    for (int32_t n = 0; n < nets.GetCount(); ++n)
        nets.GetNet(n)->MarkRatsnestDirty(false);
    const CNetArray& live = nets;
    const CNetArray snapshot(nets);
    const CNet* early = live.GetNet(1);
    ASSERT_EQ(snapshot.GetNet(1), early);

    m_list.Select(3, true);
    m_list.Select(4, true);
    m_list.DeleteSelected();
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "R3", "R6", "R7", "R8", "R9"}));
    EXPECT_EQ(snapshot.GetNet(1), early) << "a net whose pins stay is not copied";
    EXPECT_FALSE(early->NeedsRatsnest());
    EXPECT_NE(snapshot.GetNet(3), live.GetNet(3)) << "renumbered pins are written";
    EXPECT_FALSE(live.GetNet(3)->NeedsRatsnest()) << "renumbering leaves the clusters";
    EXPECT_TRUE(live.GetNet(2)->NeedsRatsnest()) << "a net that lost a pin is due";
    EXPECT_EQ(live.GetNet(4)->GetPinCount(), 0);
    EXPECT_EQ(snapshot.GetNet(4)->GetPinCount(), 1);
    EXPECT_EQ(PinOf(2, 5, 0), CPoint(69000, 5000));

    // Every pin is as a rebuild from the components makes it, in the same order.
    const auto pinsOf = [&] {
        std::vector<NetPinRec> pins;
        for (int32_t n = 0; n < live.GetCount(); ++n) {
            for (int32_t p = 0; p < live.GetNet(n)->GetPinCount(); ++p)
                pins.push_back(live.GetNet(n)->GetPin(p));
            pins.emplace_back();
        }
        return pins;
    };
    const std::vector<NetPinRec> afterDelete = pinsOf();
    const int32_t pinCount = m_list.GetPinCount();
    m_list.RebuildNetPins();
    EXPECT_EQ(afterDelete, pinsOf());
    EXPECT_EQ(pinCount, m_list.GetPinCount());
    EXPECT_EQ(pinCount, 14);
}

// ---- Shapes ----------------------------------------------------------------------------------

TEST_F(CComponentArrayTest, ReplacePadsWorksOnAnUnsharedPrivateShape)
{
    CShapeLib& cache = m_document.cache;
    const int32_t shapes = cache.GetCount();
    Place("R1", CFakeArrayDocument::smd2, 10000, 0);
    m_list.RebuildNetPins();
    const CPoint pad0 = m_list.GetPadPosition(0, 0);
    const CPoint pad1 = m_list.GetPadPosition(0, 1);

    EXPECT_FALSE(m_list.ReplacePadAtPoint(0, CPoint(0, 0)));
    EXPECT_TRUE(m_list.ReplacePadAtPoint(0, CPoint(pad0.x + 2000, pad0.y)));
    EXPECT_EQ(cache.GetCount(), shapes + 1);
    EXPECT_EQ(m_list.GetShapeName(0), "SMD2_R1");
    EXPECT_TRUE(m_list.TestFlag(0, ComponentFlags::shapeModified));
    EXPECT_EQ(m_list.GetPadShape(0, 0), m_document.drilled);
    EXPECT_EQ(cache.GetShape(CFakeArrayDocument::smd2)->GetPadStackIndex(0), m_document.smd);
    const CNet& net0 = *m_document.nets.GetNet(0);
    EXPECT_EQ(net0.GetPin(net0.FindPin(0, 0)).padStack, m_document.drilled);
    EXPECT_FALSE(m_list.ReplacePadAtPoint(0, pad0));

    // A copy shares the private shape: changing the copy's pad gives the copy its own.
    const int32_t copy = m_list.CopyComponent(0);
    const CPoint beyondPad1(pad1.x + 2000, pad1.y);
    EXPECT_TRUE(m_list.ReplacePadAtPoint(copy, beyondPad1));
    EXPECT_EQ(m_list.GetShapeName(copy), "SMD2_R1_R2");
    EXPECT_EQ(m_list.GetPadShape(0, 1), m_document.smd);
    EXPECT_TRUE(m_list.ReplacePadAtPoint(0, beyondPad1));
    EXPECT_EQ(cache.GetCount(), shapes + 2);

    m_list.SetFlag(copy, ComponentFlags::lockShape, true);
    m_list.ChangeShape(copy, CFakeArrayDocument::smd2);
    EXPECT_FALSE(m_list.ReplacePadAtPoint(copy, pad0));
}

TEST_F(CComponentArrayTest, ChangeShapeFitsPadNetsPinsAndBox)
{
    Place("R1", CFakeArrayDocument::smd2);
    m_list.GetComponent(0)->SetPadNet(0, 1, 2);
    m_list.SetFlag(0, ComponentFlags::shapeModified, true);
    m_list.RebuildNetPins();
    EXPECT_EQ(m_list.GetPinCount(), 2);
    EXPECT_FALSE(m_list.ChangeShape(0, CFakeArrayDocument::smd2));

    EXPECT_TRUE(m_list.ChangeShape(0, CFakeArrayDocument::l3));
    EXPECT_EQ(m_list.GetComponent(0)->GetPadNets(), (std::vector<uint16_t>{1, 0, 0}));
    EXPECT_FALSE(m_list.TestFlag(0, ComponentFlags::shapeModified));
    EXPECT_EQ(m_list.GetPinCount(), 3);
    EXPECT_EQ(m_document.nets.GetNet(0)->GetPinCount(), 2);
    EXPECT_EQ(PinOf(0, 0, 2), CPoint(0, 2000));
    EXPECT_EQ(m_list.GetBox(0), CRect(-1000, -1000, 1000, 2000));

    m_list.SetFlag(0, ComponentFlags::lockReplaceShape, true);
    EXPECT_FALSE(m_list.ChangeShape(0, CFakeArrayDocument::one));
}

// ---- Storage ---------------------------------------------------------------------------------

// Default text sizes, option 2 = 7; R1 / 1k at (256, -512) on shape 0 without pad nets; C2 with
// an empty type on shape 1, turned 90 degrees and locked against moving.
const Bytes smallList = Concat({
    {0xDF, 0x07, 0, 0, 0xDF, 0x07, 0, 0, 0xDF, 0x07, 0, 0},                   // line widths
    {0x5E, 0x27, 0, 0, 0x5E, 0x27, 0, 0, 0x5E, 0x27, 0, 0},                   // heights
    {0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, // options
    {0x02, 0x00},                                                             // count
    {0xFF, 0xFF, 0x00, 0x00, 0x0A, 0x00},
    Ascii("CComponent"),
    {0x00, 0x01, 0, 0, 0x00, 0xFE, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    Bytes(36, 0), // text points and angles
    {0x00, 0x00, 0x02, 0x00, 0x02, 'R', '1', 0x02, '1', 'k', 0x00, 0x00},
    {0x01, 0x80}, // the second CComponent
    {0, 0, 0, 0, 0, 0, 0, 0, 0x90, 0x5F, 0x01, 0x00, 0x00, 0x02, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0},
    Bytes(36, 0),
    {0x00, 0x00, 0x02, 0x00, 0x02, 'C', '2', 0x00, 0x00, 0x00},
});

TEST_F(CComponentArrayTest, RecordMatchesTheFileFormat)
{
    Place("R1", 0, 256, -512);
    m_list.SetName(0, 1, "1k");
    m_list.GetComponent(0)->ResizePadNets(0);
    m_list.AddEmpty(1);
    m_list.SetName(1, 0, "C2");
    m_list.SetName(1, 1, "");
    m_list.SetRotation(1, 90000);
    m_list.SetFlag(1, ComponentFlags::lockMove, true);
    m_list.SetTextOption(2, 7);
    EXPECT_EQ(Store(m_list), smallList);

    CComponentArray loaded(m_document);
    loaded.SetCurrent(1);
    Load(loaded, smallList);
    EXPECT_EQ(Store(loaded), smallList);
    EXPECT_EQ(loaded.GetSelectedCount(), 0);
    EXPECT_EQ(loaded.GetCurrent(), -1);
    EXPECT_EQ(loaded.GetPrefix(1), "C2");
    EXPECT_EQ(loaded.GetTextOption(2), 7);

    ExpectEveryPrefixFails(smallList, [&](CArchive& ar) {
        CComponentArray list(m_document);
        list.Serialize(ar);
    });
}

TEST_F(CComponentArrayTest, OldDesignsCarryTheShapeCacheAfterTheList)
{
    CShapeLib old("Old");
    old.AddShape("DIP8");
    Load(m_list, smallList);
    CArchive writer;
    m_list.Serialize(writer);
    old.Serialize(writer);
    const Bytes stream = writer.TakeBuffer();

    CArchive current(stream);
    m_list.Serialize(current, CComponentArray::ownShapeCacheVersion);
    EXPECT_EQ(current.GetRemaining(), stream.size() - smallList.size());
    EXPECT_EQ(m_document.cache.GetCount(), 4);

    CArchive older(stream);
    m_list.Serialize(older, CComponentArray::ownShapeCacheVersion - 1);
    EXPECT_TRUE(older.IsAtEnd());
    EXPECT_EQ(m_document.cache.GetName(), "Cache");
    EXPECT_EQ(m_list.GetShapeName(0), "DIP8");

    // Shape 1 is gone now; the repair is noted once, whatever the number of components.
    CResourcePack pack;
    pack.SetString(IDS_COMPONENT_SHAPE_REPAIRED, "shape");
    CResourcePack::SetCurrent(pack);
    m_list.SetShapeIndex(0, 1);
    m_list.RepairAfterLoad(older, 2);
    EXPECT_EQ(m_list.GetShapeIndex(0), -1);
    EXPECT_EQ(m_list.GetShapeIndex(1), -1);
    EXPECT_EQ(older.GetLoadWarnings(), std::vector<std::string>{"shape"});
    CResourcePack::SetCurrent(CResourcePack());
}

TEST_F(CComponentArrayTest, PadLabelsFollowThePadInfoMode)
{
    Place("R1", CFakeArrayDocument::smd2, 10000, 0);
    m_list.GetComponent(0)->SetPadNet(1, 1, 2);
    const struct {
        int32_t mode;
        std::vector<std::string> labels;
    } cases[] = {
        {1, {"TextOut 900 0 \"1\"", "TextOut 1100 0 \"2\""}},
        {5, {"TextOut 900 0 \"Zero\"", "TextOut 1100 0 \"N1\""}},
        {4,
         {"TextOut 900 0 \"" + std::to_string(m_document.smd + 1) + "\"",
          "TextOut 1100 0 \"" + std::to_string(m_document.smd + 1) + "\""}},
        {2, {}},
    };
    for (const auto& c : cases) {
        m_document.padInfoMode = c.mode;
        CRecordingDC dc;
        m_list.DrawPadInfo(dc);
        std::vector<std::string> labels;
        for (const std::string& line : dc.Lines()) {
            if (line.rfind("TextOut", 0) == 0)
                labels.push_back(line);
        }
        EXPECT_EQ(labels, c.labels) << c.mode;
    }
}

} // namespace
