#include "framework/CResourcePack.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "framework/CArchiveException.h"
#include "resources/CommandIds.h"
#include "tests/support/CTempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;

CResourcePack SamplePack()
{
    CResourcePack pack;
    pack.SetString(399, "YES");
    pack.SetString(361, "NO");
    pack.SetString(1, "");
    pack.SetString(210, "\nWevra PCB\n.PCB");
    pack.SetString(0xFFFFFFFFu, std::string("caf\xE9\0x", 6));
    pack.SetString(57344, std::string(300, 'w'));
    return pack;
}

CArchiveException::Cause CauseOfLoading(const Bytes& bytes)
{
    try {
        CResourcePack::FromBytes(bytes);
    } catch (const CArchiveException& e) {
        return e.GetCause();
    }
    ADD_FAILURE() << "pack was accepted";
    return CArchiveException::generic;
}

// The pack {399: "YES"}, written out byte by byte.
const Bytes yesPack = {'W',  'E',  'V',  'R',  'A',  'R',  'E',  'S',  // magic
                       0x01, 0x00,                                     // format version 1
                       0x01, 0x00,                                     // one section
                       'S',  'T',  'R',  'S',  0x0A, 0x00, 0x00, 0x00, // string table, 10 bytes
                       0x01, 0x00,                                     // one string
                       0x8F, 0x01, 0x00, 0x00, 0x03, 'Y',  'E',  'S'}; // 399, "YES"

TEST(CResourcePackFormat, WritesTheDocumentedLayout)
{
    CResourcePack pack;
    pack.SetString(399, "YES");
    EXPECT_EQ(pack.ToBytes(), yesPack);
}

TEST(CResourcePackFormat, RoundTripKeepsEveryByte)
{
    CResourcePack pack = SamplePack();
    pack.SetString(70000, std::string(70000, 'l')); // the longest string form
    CResourcePack loaded = CResourcePack::FromBytes(pack.ToBytes());
    EXPECT_EQ(loaded.GetStrings(), pack.GetStrings());
    EXPECT_EQ(loaded.GetString(0xFFFFFFFFu), std::string("caf\xE9\0x", 6));
    EXPECT_TRUE(loaded.HasString(1));
    EXPECT_EQ(loaded.GetString(2), "");
}

TEST(CResourcePackFormat, UnknownSectionsAreSkipped)
{
    Bytes bytes(yesPack.begin(), yesPack.begin() + 10);
    bytes.insert(bytes.end(), {0x02, 0x00, 'X', 'T', 'R', 'A', 0x03, 0x00, 0x00, 0x00, 1, 2, 3});
    bytes.insert(bytes.end(), yesPack.begin() + 12, yesPack.end());
    EXPECT_EQ(CResourcePack::FromBytes(bytes).GetString(399), "YES");
}

CResourcePack PackWithMenus()
{
    CResourcePack pack = SamplePack();
    CMenuItem file{CMenuItem::popup, 0, "&File", {}};
    file.items.push_back({CMenuItem::command, ID_FILE_OPEN, "&Open\tCtrl+O", {}});
    file.items.push_back({CMenuItem::separator, 0, "", {}});
    CMenuItem import{CMenuItem::popup, 0, "&Import", {}};
    import.items.push_back(
        {CMenuItem::command, ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, "Wevra &DOS Components", {}});
    file.items.push_back(import);
    pack.SetMenu(213, CMenuItem{CMenuItem::popup, 0, "", {file}});
    pack.SetAccelerators(213, {{"Ctrl+Z", ID_EDIT_UNDO}, {"Alt+Backspace", ID_EDIT_UNDO}});
    pack.SetImage(213, {0x89, 'P', 'N', 'G'});
    return pack;
}

TEST(CResourcePackFormat, MenusAcceleratorsAndImagesRoundTrip)
{
    CResourcePack pack = PackWithMenus();
    CResourcePack loaded = CResourcePack::FromBytes(pack.ToBytes());
    ASSERT_NE(loaded.GetMenu(213), nullptr);
    EXPECT_EQ(*loaded.GetMenu(213), *pack.GetMenu(213));
    EXPECT_EQ(loaded.GetMenu(210), nullptr);
    EXPECT_EQ(loaded.GetAccelerators(213), pack.GetAccelerators(213));
    EXPECT_TRUE(loaded.GetAccelerators(1).empty());
    EXPECT_EQ(loaded.GetImage(213), (Bytes{0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(loaded.ToBytes(), pack.ToBytes());

    Bytes full = pack.ToBytes();
    for (size_t size = 0; size < full.size(); ++size)
        EXPECT_THROW(CResourcePack::FromBytes(Bytes(full.begin(), full.begin() + size)),
                     CArchiveException)
            << "prefix of " << size << " bytes";
}

TEST(CResourcePackCorrupt, EndlesslyNestedMenusAreRefused)
{
    CMenuItem menu{CMenuItem::popup, 0, "", {}};
    for (int depth = 0; depth < 64; ++depth)
        menu = CMenuItem{CMenuItem::popup, 0, "p", {menu}};
    CResourcePack pack;
    pack.SetMenu(1, menu);
    EXPECT_THROW(CResourcePack::FromBytes(pack.ToBytes()), CArchiveException);
}

TEST(CResourcePackCorrupt, EveryPrefixIsRefused)
{
    Bytes full = SamplePack().ToBytes();
    for (size_t size = 0; size < full.size(); ++size)
        EXPECT_THROW(CResourcePack::FromBytes(Bytes(full.begin(), full.begin() + size)),
                     CArchiveException)
            << "prefix of " << size << " bytes";
}

TEST(CResourcePackCorrupt, DamagedHeadersAreRefused)
{
    Bytes badMagic = yesPack;
    badMagic[0] = 'X';
    EXPECT_EQ(CauseOfLoading(badMagic), CArchiveException::generic);

    Bytes newerFormat = yesPack;
    newerFormat[8] = 2;
    EXPECT_EQ(CauseOfLoading(newerFormat), CArchiveException::generic);

    Bytes trailing = yesPack;
    trailing.push_back(0);
    EXPECT_THROW(CResourcePack::FromBytes(trailing), CArchiveException);

    Bytes twoTables(yesPack.begin(), yesPack.begin() + 10);
    twoTables.insert(twoTables.end(), {0x02, 0x00});
    for (int i = 0; i < 2; ++i)
        twoTables.insert(twoTables.end(), yesPack.begin() + 12, yesPack.end());
    EXPECT_THROW(CResourcePack::FromBytes(twoTables), CArchiveException);

    Bytes duplicateId = yesPack;
    duplicateId[16] = 0x12; // section length 18: two entries
    duplicateId[20] = 0x02;
    duplicateId.insert(duplicateId.end(), yesPack.begin() + 22, yesPack.end());
    EXPECT_THROW(CResourcePack::FromBytes(duplicateId), CArchiveException);
}

TEST(CResourcePackCorrupt, HugeCountsAndLengthsAreRefusedBeforeAllocating)
{
    Bytes hugeString = yesPack;
    hugeString.resize(26);
    // Length form 0xFF 0xFFFF then 0xFFFFFFF0, with the section length widened to match.
    hugeString.insert(hugeString.end(), {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'Y'});
    hugeString[16] = 0x0E;
    EXPECT_EQ(CauseOfLoading(hugeString), CArchiveException::badCount);

    Bytes hugeSection = yesPack;
    hugeSection[16] = 0xF0;
    hugeSection[19] = 0xFF;
    EXPECT_EQ(CauseOfLoading(hugeSection), CArchiveException::badCount);

    Bytes hugeStringCount = yesPack;
    hugeStringCount[20] = 0xFE;
    hugeStringCount[21] = 0xFF;
    EXPECT_EQ(CauseOfLoading(hugeStringCount), CArchiveException::badCount);

    Bytes hugeSectionCount = yesPack;
    hugeSectionCount[10] = 0xFE;
    hugeSectionCount[11] = 0xFF;
    EXPECT_EQ(CauseOfLoading(hugeSectionCount), CArchiveException::badCount);
}

class CResourcePackLookup : public ::testing::Test {
protected:
    void SetUp() override { CResourcePack::SetCurrent(CResourcePack()); }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    std::filesystem::path PackPath(const std::string& name) const
    {
        return m_folder / (name + CResourcePack::fileExtension);
    }
    void WritePack(const std::string& name) const
    {
        CResourcePack pack;
        pack.SetString(1, name);
        pack.Save(PackPath(name));
    }
    static std::string CurrentName() { return CResourcePack::GetCurrent().GetString(1); }

    CTempFolder m_folder{"wevra-pack"};
};

TEST_F(CResourcePackLookup, SavedPackLoadsFromFile)
{
    SamplePack().Save(PackPath("PCB033"));
    EXPECT_EQ(CResourcePack::Load(PackPath("PCB033")).GetStrings(), SamplePack().GetStrings());
    EXPECT_THROW(CResourcePack::Load(PackPath("PCB099")), CArchiveException);
}

TEST_F(CResourcePackLookup, NoPackLeavesCurrentEmpty)
{
    EXPECT_FALSE(CResourcePack::LoadFirstFound(m_folder.Path()));
    EXPECT_TRUE(CResourcePack::GetCurrent().IsEmpty());
}

TEST_F(CResourcePackLookup, OnlyPackIsUsed)
{
    WritePack("PCB049");
    EXPECT_TRUE(CResourcePack::LoadFirstFound(m_folder.Path()));
    EXPECT_EQ(CurrentName(), "PCB049");
}

TEST_F(CResourcePackLookup, FirstInOrderWins)
{
    WritePack("PCB031");
    WritePack("PCB049");
    WritePack("PCB001");
    EXPECT_TRUE(CResourcePack::LoadFirstFound(m_folder.Path()));
    EXPECT_EQ(CurrentName(), "PCB001");
}

TEST_F(CResourcePackLookup, DamagedPackIsPassedOver)
{
    std::ofstream(PackPath("PCB001"), std::ios::binary) << "WEVRARES\x01";
    std::filesystem::create_directory(PackPath("PCB031"));
    WritePack("PCB033");
    EXPECT_TRUE(CResourcePack::LoadFirstFound(m_folder.Path()));
    EXPECT_EQ(CurrentName(), "PCB033");
}

} // namespace
