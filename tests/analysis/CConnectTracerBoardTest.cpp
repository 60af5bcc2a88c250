#include "analysis/CConnectTracer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BoardGenerator.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "framework/CWorkPool.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "tests/support/CFakeServices.h"

namespace {

namespace fs = std::filesystem;

// FNV-1a over everything fed in, so that one number stands for a whole board.
class CDigest {
public:
    void Bytes(const std::vector<uint8_t>& bytes)
    {
        for (uint8_t b : bytes)
            Byte(b);
    }
    void Number(int64_t value)
    {
        for (int k = 0; k < 8; ++k)
            Byte(uint8_t(uint64_t(value) >> (8 * k)));
    }
    void Text(const std::string& text)
    {
        Number(int64_t(text.size()));
        for (char c : text)
            Byte(uint8_t(c));
    }
    uint64_t Value() const { return m_hash; }

private:
    void Byte(uint8_t b)
    {
        m_hash ^= b;
        m_hash *= 0x100000001b3ull;
    }
    uint64_t m_hash = 0xcbf29ce484222325ull;
};

// What the design file keeps, and what it does not: boxes, clusters of pins and copper, ToDo
// and ratsnest of every net.
uint64_t BoardDigest(CWevraDoc& doc)
{
    CDigest digest;
    CArchive saved;
    doc.Serialize(saved);
    digest.Bytes(saved.TakeBuffer());
    const CNetArray& nets = doc.Design().GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        digest.Text(net.GetName());
        const CRect& box = net.GetBox();
        for (int32_t v : {box.left, box.top, box.right, box.bottom, net.GetClusterCount(),
                          net.GetToDo(), net.GetRatsnestLength()})
            digest.Number(v);
        for (int32_t i = 0; i < net.GetPinCount(); ++i) {
            const NetPinRec& pin = net.GetPin(i);
            for (int32_t v :
                 {pin.x, pin.y, int32_t(pin.component), int32_t(pin.pad), net.GetPinCluster(i)})
                digest.Number(v);
        }
        for (int32_t i = 0; i < net.GetVertexCount(); ++i)
            digest.Number(net.GetVertex(i).cluster);
        for (int32_t i = 0; i < net.GetRatsLineCount(); ++i) {
            const RatsLine& line = net.GetRatsLine(i);
            for (int32_t v : {line.x1, line.y1, line.x2, line.y2})
                digest.Number(v);
        }
    }
    return digest.Value();
}

// Generated boards whose nets, clusters and ratsnest were taken down once and must stay as
// they are, however the work is done.
class CTracerBoardTest : public ::testing::Test {
protected:
    void SetUp() override { CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin"); }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    // Every few components leave their copper behind, some a little and some wholly, so that
    // nets fall apart into clusters with ratsnest between them.
    static void MoveSomeComponents(CWevraDoc& doc)
    {
        CComponentArray& components = doc.Design().GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            if (i % 5 == 0)
                components.MoveBy(i, 9000, 0);
            else if (i % 7 == 0)
                components.MoveBy(i, 0, -40000);
        }
    }

    CFakeServices services;
};

// The nets are worked out on one thread and on several alike.
TEST_F(CTracerBoardTest, RebuiltBoardsKeepTheirNetsClustersAndRatsnest)
{
    struct Case {
        uint32_t seed;
        uint64_t rebuilt;
        uint64_t moved;
        uint64_t retraced;
    };
    const Case cases[] = {
        {1, 18281428561714559428ull, 2922985435036098787ull, 7975424056625101819ull},
        {7, 10022627042001195769ull, 1978649337865564520ull, 96780300758945903ull}};
    const int threadsBefore = CWorkPool::ThreadCount();
    for (int threads : {1, 4}) {
        CWorkPool::SetThreadCount(threads);
        for (const Case& c : cases) {
            SCOPED_TRACE("seed " + std::to_string(c.seed) + ", " + std::to_string(threads) +
                         " threads");
            CWevraDoc doc;
            GenerateBoard(doc, BoardPlan{600, 6000, c.seed});
            doc.Design().SetAutoRatsnest(true);
            ASSERT_TRUE(doc.Analysis().RebuildFromTracks());
            EXPECT_EQ(BoardDigest(doc), c.rebuilt);

            MoveSomeComponents(doc);
            doc.Design().GetNets().RecalcAll();
            EXPECT_EQ(BoardDigest(doc), c.moved);

            ASSERT_TRUE(doc.Analysis().UpdateFromNetPins());
            ASSERT_TRUE(doc.Analysis().RebuildFromTracks());
            ASSERT_TRUE(doc.Analysis().UpdateFromNetPins());
            EXPECT_EQ(BoardDigest(doc), c.retraced);
        }
    }
    CWorkPool::SetThreadCount(threadsBefore);
}

} // namespace
