#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CWorkPool.h"
#include "framework/LittleEndian.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CTempFolder.h"

namespace {

using namespace archive_bytes;

class CTestItem : public CObject {
    WEVRA_DECLARE_SERIAL(CTestItem)
public:
    CTestItem() = default;
    explicit CTestItem(int32_t v) : value(v) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
    int32_t value = 0;
};
WEVRA_IMPLEMENT_SERIAL(CTestItem, "CTestItem", 1)

class CTestOther : public CObject {
    WEVRA_DECLARE_SERIAL(CTestOther)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << flag;
        else
            ar >> flag;
    }
    uint8_t flag = 0x5A;
};
WEVRA_IMPLEMENT_SERIAL(CTestOther, "CTestOther", 2)

class CTestVersioned : public CObject {
    WEVRA_DECLARE_SERIAL(CTestVersioned)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            schemaSeen = ar.GetObjectSchema();
    }
    uint16_t schemaSeen = 0;
};
WEVRA_IMPLEMENT_SERIAL(CTestVersioned, "CTestVersioned", CRuntimeClass::versionableSchema | 3)

// A record holding an object record of its own.
class CTestHolder : public CObject {
    WEVRA_DECLARE_SERIAL(CTestHolder)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteObject(&held);
            ar << uint8_t(0xEE);
        }
    }
    CTestItem held{42};
};
WEVRA_IMPLEMENT_SERIAL(CTestHolder, "CTestHolder", 4)

} // namespace

TEST(CArchiveScalars, IntegersAndDoublesAreLittleEndian)
{
    CArchive ar;
    ar << uint8_t(0x12) << uint16_t(0x3456) << int32_t(-2) << uint32_t(0x89ABCDEF) << 1.0;
    EXPECT_EQ(ar.GetBuffer(), (Bytes{0x12, 0x56, 0x34, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB,
                                     0x89, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    CArchive in(ar.TakeBuffer());
    uint8_t b;
    uint16_t w;
    int32_t i;
    uint32_t d;
    double f;
    in >> b >> w >> i >> d >> f;
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(d, 0x89ABCDEFu);
    EXPECT_EQ(f, 1.0);
    EXPECT_TRUE(in.IsAtEnd());
    EXPECT_THROW(in.ReadByte(), CArchiveException);
}

struct StringCase {
    size_t length;
    Bytes prefix;
};

class CArchiveStrings : public ::testing::TestWithParam<StringCase> {};

TEST_P(CArchiveStrings, LengthFormRoundTrips)
{
    const StringCase& c = GetParam();
    std::string text(c.length, 'x');
    CArchive ar;
    ar.WriteString(text);
    Bytes expected = Concat({c.prefix, Bytes(c.length, 'x')});
    ASSERT_EQ(ar.GetBuffer(), expected);

    CArchive in(ar.TakeBuffer());
    EXPECT_EQ(in.ReadString(), text);
    EXPECT_TRUE(in.IsAtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CArchiveStrings,
    ::testing::Values(StringCase{0, {0x00}}, StringCase{254, {0xFE}},
                      StringCase{255, {0xFF, 0xFF, 0x00}}, StringCase{65533, {0xFF, 0xFD, 0xFF}},
                      StringCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                      StringCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                      StringCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(CArchiveStringFaults, HugeLengthIsRefusedBeforeAllocation)
{
    CArchive in(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
    try {
        in.ReadString();
        FAIL() << "a length beyond the data was accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badCount);
    }
}

TEST(CArchiveStringFaults, WideMarkerIsRefused)
{
    CArchive in(Bytes{0xFF, 0xFE, 0xFF, 0x01, 'a'});
    EXPECT_THROW(in.ReadString(), CArchiveException);
}

TEST(CArchiveStringFaults, EveryPrefixFails)
{
    for (size_t length : {3u, 300u}) {
        CArchive ar;
        ar.WriteString(std::string(length, 'q'));
        ExpectEveryPrefixFails(ar.GetBuffer(), [](CArchive& in) { in.ReadString(); });
    }
    // The long form: every cut inside the length fields, and one byte short of the end.
    CArchive ar;
    ar.WriteString(std::string(70000, 'q'));
    Bytes whole = ar.TakeBuffer();
    for (size_t n : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 69999u + 7u}) {
        CArchive in(Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n)));
        EXPECT_THROW(in.ReadString(), CArchiveException) << n;
    }
}

struct CountCase {
    size_t count;
    Bytes bytes;
};

class CArchiveCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(CArchiveCounts, CountFormRoundTrips)
{
    const CountCase& c = GetParam();
    CArchive ar;
    ar.WriteCount(c.count);
    ASSERT_EQ(ar.GetBuffer(), c.bytes);
    CArchive in(ar.TakeBuffer());
    EXPECT_EQ(in.ReadCount(0), c.count);
}

INSTANTIATE_TEST_SUITE_P(Counts, CArchiveCounts,
                         ::testing::Values(CountCase{0, {0x00, 0x00}},
                                           CountCase{65534, {0xFE, 0xFF}},
                                           CountCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                                           CountCase{70000, {0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(CArchiveCountFaults, CountBeyondTheDataIsRefused)
{
    // 0xFFFFFFFF elements of at least two bytes cannot follow in six bytes.
    CArchive in(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6});
    EXPECT_THROW(in.ReadCount(2), CArchiveException);

    CArchive words(Bytes{0x03, 0x00, 0x01, 0x00, 0x02, 0x00});
    EXPECT_THROW(words.ReadWordArray(), CArchiveException);
}

TEST(CArchiveArrays, WordArrayAndTimeStamp)
{
    CArchive ar;
    ar.WriteWordArray({1, 0xBEEF});
    ar.WriteTime(0x5F5E1000);
    ASSERT_EQ(ar.GetBuffer(), (Bytes{0x02, 0x00, 0x01, 0x00, 0xEF, 0xBE, 0x00, 0x10, 0x5E, 0x5F}));
    CArchive in(ar.TakeBuffer());
    EXPECT_EQ(in.ReadWordArray(), (std::vector<uint16_t>{1, 0xBEEF}));
    EXPECT_EQ(in.ReadTime(), 0x5F5E1000);
}

TEST(CArchiveArrays, BlocksAndWordArraysInPlace)
{
    CArchive ar;
    ar << uint8_t(1);
    uint8_t* block = ar.AppendBlock(3);
    block[0] = 2;
    block[1] = 3;
    block[2] = 4;
    ar << uint8_t(5);
    ar.WriteWordArray({});
    ASSERT_EQ(ar.GetBuffer(), (Bytes{1, 2, 3, 4, 5, 0, 0}));
    EXPECT_THROW(CArchive(Bytes{}).AppendBlock(1), CArchiveException);

    CArchive in(ar.TakeBuffer());
    EXPECT_EQ(in.ReadByte(), 1);
    const uint8_t* read = in.ReadBlock(3);
    EXPECT_EQ(Bytes(read, read + 3), (Bytes{2, 3, 4}));
    // A block longer than what is left moves nothing.
    EXPECT_THROW(in.ReadBlock(5), CArchiveException);
    EXPECT_EQ(in.ReadByte(), 5);
    std::vector<uint16_t> words{9, 9, 9};
    in.ReadWordArray(words);
    EXPECT_TRUE(words.empty());

    // A word array cut short leaves the vector as it was; a whole one replaces its content.
    words = {9, 9, 9};
    CArchive cut(Bytes{0x02, 0x00, 0x01, 0x00, 0xEF});
    EXPECT_THROW(cut.ReadWordArray(words), CArchiveException);
    EXPECT_EQ(words, (std::vector<uint16_t>{9, 9, 9}));
    CArchive whole(Bytes{0x02, 0x00, 0x01, 0x00, 0xEF, 0xBE});
    whole.ReadWordArray(words);
    EXPECT_EQ(words, (std::vector<uint16_t>{1, 0xBEEF}));
}

TEST(CArchiveByteOrder, ReverseBytesTurnsEveryWidth)
{
    EXPECT_EQ(ReverseBytes(uint8_t(0x12)), 0x12);
    EXPECT_EQ(ReverseBytes(uint16_t(0x1234)), 0x3412);
    EXPECT_EQ(ReverseBytes(uint32_t(0x12345678u)), 0x78563412u);
    EXPECT_EQ(ReverseBytes(uint64_t(0x0102030405060708u)), 0x0807060504030201u);
}

TEST(CArchiveObjects, OneClassTwoObjects)
{
    std::vector<std::unique_ptr<CTestItem>> items;
    items.push_back(std::make_unique<CTestItem>(7));
    items.push_back(std::make_unique<CTestItem>(-1));
    CArchive ar;
    ar.SerializeObjectArray(items);

    Bytes expected = Concat({{0x02, 0x00},                         // count
                             {0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}, // new class, schema, len
                             Ascii("CTestItem"),
                             {0x07, 0x00, 0x00, 0x00},   // value 7
                             {0x01, 0x80},               // class index 1
                             {0xFF, 0xFF, 0xFF, 0xFF}}); // value -1
    ASSERT_EQ(ar.GetBuffer(), expected);

    CArchive in(ar.TakeBuffer());
    std::vector<std::unique_ptr<CTestItem>> loaded;
    in.SerializeObjectArray(loaded);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0]->value, 7);
    EXPECT_EQ(loaded[1]->value, -1);
}

TEST(CArchiveObjects, TwoClassesShareOneRunningIndex)
{
    CTestItem a(1), b(2);
    CTestOther other;
    CArchive ar;
    ar.WriteObject(&a);     // class 1, object 2
    ar.WriteObject(&other); // class 3, object 4
    ar.WriteObject(&b);     // class 1 again, object 5
    ar.WriteObject(&other); // class 3 again
    ar.WriteObject(nullptr);

    Bytes expected = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                             Ascii("CTestItem"),
                             {0x01, 0x00, 0x00, 0x00},
                             {0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00},
                             Ascii("CTestOther"),
                             {0x5A},
                             {0x01, 0x80},
                             {0x02, 0x00, 0x00, 0x00},
                             {0x03, 0x80},
                             {0x5A},
                             {0x00, 0x00}});
    ASSERT_EQ(ar.GetBuffer(), expected);

    CArchive in(ar.TakeBuffer());
    EXPECT_EQ(dynamic_cast<CTestItem&>(*in.ReadObject()).value, 1);
    EXPECT_NE(dynamic_cast<CTestOther*>(in.ReadObject().get()), nullptr);
    EXPECT_EQ(in.ReadObjectOf<CTestItem>()->value, 2);
    EXPECT_NE(in.ReadObjectOf<CTestOther>(), nullptr);
    EXPECT_EQ(in.ReadObject(), nullptr);
    EXPECT_TRUE(in.IsAtEnd());
}

TEST(CArchiveObjects, ManyObjectsSwitchToBigClassTags)
{
    // 40000 objects of one class push the running index past 0x7FFE; a class first seen after
    // that is referenced with the word 0x7FFF and a 32-bit index with bit 31 set.
    const int count = 40000;
    std::vector<std::unique_ptr<CTestItem>> items;
    for (int i = 0; i < count; ++i)
        items.push_back(std::make_unique<CTestItem>(i));
    CTestOther first, second;
    CArchive ar;
    ar.SerializeObjectArray(items);
    ar.WriteObject(&first); // class index 1 + 40000 + 1 = 40002
    ar.WriteObject(&second);

    const Bytes& out = ar.GetBuffer();
    size_t tail = 2 + (6 + 9 + 4) + size_t(count - 1) * 6; // count word is 0x9C40
    ASSERT_EQ(out[0], 0x40);
    ASSERT_EQ(out[1], 0x9C);
    Bytes expectedTail = Concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00},
                                 Ascii("CTestOther"),
                                 {0x5A},
                                 {0xFF, 0x7F, 0x42, 0x9C, 0x00, 0x80}, // 0x80000000 | 40002
                                 {0x5A}});
    ASSERT_EQ(out.size(), tail + expectedTail.size());
    EXPECT_EQ(Bytes(out.begin() + static_cast<ptrdiff_t>(tail), out.end()), expectedTail);

    CArchive in(ar.TakeBuffer());
    std::vector<std::unique_ptr<CTestItem>> loaded;
    in.SerializeObjectArray(loaded);
    ASSERT_EQ(loaded.size(), size_t(count));
    EXPECT_EQ(loaded.back()->value, count - 1);
    EXPECT_NE(in.ReadObjectOf<CTestOther>(), nullptr);
    EXPECT_NE(in.ReadObjectOf<CTestOther>(), nullptr);
    EXPECT_TRUE(in.IsAtEnd());
}

// Records stored side by side come out as one by one: the tags follow the running index,
// a class first seen in a later run is declared there, nulls stay bare tags, a record holding
// records of its own is numbered in its place, and past index 0x7FFE the long tags take over.
TEST(CArchiveObjects, RecordsStoredSideBySideAreTheBytesOfOneByOne)
{
    const size_t count = 40000;
    std::vector<std::unique_ptr<CObject>> objects;
    for (size_t i = 0; i < count; ++i) {
        if (i % 101 == 50)
            objects.push_back(nullptr);
        else if (i == 4200 || i == 4201 || i == 39000)
            objects.push_back(std::make_unique<CTestHolder>());
        else if (i >= 8200 && i % 97 == 0)
            objects.push_back(std::make_unique<CTestOther>());
        else
            objects.push_back(std::make_unique<CTestItem>(int32_t(i * 7919)));
    }
    const auto objectAt = [&objects](size_t i) -> const CObject* { return objects[i].get(); };

    CArchive oneByOne;
    oneByOne << uint8_t(0x11);
    for (size_t i = 0; i < count; ++i)
        oneByOne.WriteObject(objectAt(i));
    oneByOne.WriteObject(objects[1].get());

    const int threadsBefore = CWorkPool::ThreadCount();
    for (const int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        CWorkPool::SetThreadCount(threads);
        CArchive together;
        together << uint8_t(0x11);
        together.WriteObjects(count, objectAt);
        // The running index goes on after the run.
        together.WriteObject(objects[1].get());
        EXPECT_EQ(together.GetBuffer(), oneByOne.GetBuffer());
    }
    CWorkPool::SetThreadCount(threadsBefore);

    // Spot checks by hand: the first record declares its class after the leading byte, the
    // first CTestOther (at 8245) declares its own.
    const Bytes& out = oneByOne.GetBuffer();
    const Bytes head = Concat({{0x11, 0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}, Ascii("CTestItem")});
    ASSERT_GE(out.size(), head.size());
    EXPECT_EQ(Bytes(out.begin(), out.begin() + ptrdiff_t(head.size())), head);
    const Bytes other = Concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, Ascii("CTestOther"), {0x5A}});
    EXPECT_NE(std::search(out.begin(), out.end(), other.begin(), other.end()), out.end());
}

TEST(CArchiveObjects, BigClassTagForAnEarlyClassIsAlsoRead)
{
    // Writers may use the long form for any index; the reader accepts it.
    Bytes stream = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                           Ascii("CTestItem"),
                           {0x05, 0x00, 0x00, 0x00},
                           {0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80},
                           {0x06, 0x00, 0x00, 0x00}});
    CArchive in(stream);
    EXPECT_EQ(in.ReadObjectOf<CTestItem>()->value, 5);
    EXPECT_EQ(in.ReadObjectOf<CTestItem>()->value, 6);
}

TEST(CArchiveObjects, VersionableClassAcceptsAnySchema)
{
    Bytes stream =
        Concat({{0xFF, 0xFF, 0x09, 0x00, 0x0E, 0x00}, Ascii("CTestVersioned"), {0x01, 0x80}});
    CArchive in(stream);
    EXPECT_EQ(in.ReadObjectOf<CTestVersioned>()->schemaSeen, 9);
    EXPECT_EQ(in.ReadObjectOf<CTestVersioned>()->schemaSeen, 9);

    CTestVersioned v;
    CArchive out;
    out.WriteObject(&v);
    EXPECT_EQ(out.GetBuffer()[2], 0x03); // only the low word of the schema is stored
    EXPECT_EQ(out.GetBuffer()[3], 0x00);
}

struct FaultCase {
    const char* name;
    Bytes stream;
    CArchiveException::Cause cause;
};

class CArchiveObjectFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CArchiveObjectFaults, AreRefusedWithTheirCause)
{
    CArchive in(GetParam().stream);
    try {
        in.ReadObject();
        in.ReadObject();
        FAIL() << "accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), GetParam().cause) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CArchiveObjectFaults,
    ::testing::Values(
        FaultCase{"WrongSchema",
                  Concat({{0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00}, Ascii("CTestItem"), {0, 0, 0, 0}}),
                  CArchiveException::badSchema},
        FaultCase{"UnknownClass", Concat({{0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00}, Ascii("CBad")}),
                  CArchiveException::badClass},
        FaultCase{
            "TagWithoutClass", {0x05, 0x80, 0x00, 0x00, 0x00, 0x00}, CArchiveException::badIndex},
        FaultCase{"ClassTagZero", {0x00, 0x80, 0x00, 0x00}, CArchiveException::badIndex},
        FaultCase{"BigTagWithoutClass",
                  {0xFF, 0x7F, 0x00, 0x01, 0x00, 0x80},
                  CArchiveException::badIndex},
        FaultCase{"TagNamingAnObject",
                  Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                          Ascii("CTestItem"),
                          {0x07, 0x00, 0x00, 0x00},
                          {0x02, 0x80}}),
                  CArchiveException::badIndex},
        FaultCase{"SharedObjectReference",
                  Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
                          Ascii("CTestItem"),
                          {0x07, 0x00, 0x00, 0x00},
                          {0x02, 0x00}}),
                  CArchiveException::badIndex},
        FaultCase{"ClassNameBeyondData",
                  {0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x7F, 'C'},
                  CArchiveException::badCount}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CArchiveObjectFaults, WrongClassInATypedArray)
{
    CTestOther other;
    CArchive ar;
    ar.WriteCount(1);
    ar.WriteObject(&other);
    CArchive in(ar.TakeBuffer());
    std::vector<std::unique_ptr<CTestItem>> items;
    EXPECT_THROW(in.SerializeObjectArray(items), CArchiveException);
}

TEST(CArchiveObjectFaults, EveryPrefixOfAnObjectStreamFails)
{
    std::vector<std::unique_ptr<CTestItem>> items;
    for (int i = 0; i < 3; ++i)
        items.push_back(std::make_unique<CTestItem>(i));
    CTestOther other;
    CArchive ar;
    ar.SerializeObjectArray(items);
    ar.WriteObject(&other);
    ar.WriteString("tail");
    ExpectEveryPrefixFails(ar.GetBuffer(), [](CArchive& in) {
        std::vector<std::unique_ptr<CTestItem>> loaded;
        in.SerializeObjectArray(loaded);
        in.ReadObjectOf<CTestOther>();
        in.ReadString();
    });
}

TEST(CArchiveFiles, SaveReplacesOnlyAfterACompleteWrite)
{
    namespace fs = std::filesystem;
    const CTempFolder folder("wevra-archive");
    fs::path file = folder / "design.PCB";
    {
        std::ofstream old(file, std::ios::binary);
        old << "old";
    }

    CArchive ar;
    ar.WriteString("new content");
    ar.SaveToFile(file);
    auto in = CArchive::OpenForLoading(file, 1024);
    EXPECT_EQ(in->ReadString(), "new content");
    EXPECT_EQ(in->GetFilePath(), file);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);

    EXPECT_THROW(ar.SaveToFile(folder / "missing" / "x.PCB"), CArchiveException);
    EXPECT_THROW(CArchive::OpenForLoading(folder / "absent.PCB", 1024), CArchiveException);
}
