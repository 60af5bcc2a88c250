#include "document/CDesignFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "model/COutputArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One field of the table, of the design's records or of its shape cache's.
struct AnyField {
    const char* record;
    const char* name;
    int64_t low;
    int64_t high;
    CDesignFields::Beyond beyond;
    std::function<void(const CDesign&, const CDesignFields::Visit&)> each;
    std::function<void(CDesign&, int64_t)> set;
};

std::vector<AnyField> AllFields()
{
    std::vector<AnyField> fields;
    for (const auto& f : CDesignFields::Design())
        fields.push_back({f.record, f.name, f.low, f.high, f.beyond, f.each, f.set});
    for (const auto& f : CDesignFields::Library()) {
        fields.push_back(
            {f.record, f.name, f.low, f.high, f.beyond,
             [each = f.each](const CDesign& d, const CDesignFields::Visit& visit) {
                 each(d.GetShapeCache(), visit);
             },
             [set = f.set](CDesign& d, int64_t v) { set(d.GetEditableShapeCache(), v); }});
    }
    return fields;
}

constexpr int64_t int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t int32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t twoTo30 = int64_t(1) << 30;
// The ends of the ranges a damaged file reaches, the edge of the coordinate range, and the
// widest values of the narrow fields.
const int64_t extremes[] = {int32Min, -twoTo30 - 1, -1,  0,    twoTo30 - 1,
                            twoTo30,  int32Max,     255, 65535};

// Every coordinate of a Gerber file against its format statement, and of a drill program against
// the widest format the drill writer has (2.4 inch): the digits a reader takes.
std::string CoordinateBeyondFormat(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    size_t digits = 6;
    const size_t format = text.find("%FSLAX");
    if (format != std::string::npos && format + 7 < text.size())
        digits = size_t(text[format + 6] - '0') + size_t(text[format + 7] - '0');
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '%' || line[0] == 'T' || line.rfind("M48", 0) == 0)
            continue;
        for (size_t i = 0; i < line.size(); ++i) {
            if (std::string_view("XYIJ").find(line[i]) == std::string_view::npos)
                continue;
            size_t end = i + 1;
            if (end < line.size() && (line[end] == '-' || line[end] == '+'))
                ++end;
            const size_t first = end;
            while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
                ++end;
            if (end - first > digits)
                return file.filename().string() + ": " + line + " (" + std::to_string(digits) +
                       " digits)";
        }
    }
    return {};
}

// The commands that compute with what a design holds, each timed.
struct Timings {
    std::vector<double> seconds;
    std::vector<std::string> beyondFormat;
    int32_t files = 0;
};

Timings RunCommands(CWevraDoc& doc, const fs::path& folder, CFakeServices& services)
{
    Timings timings;
    const auto timed = [&](const std::function<void()>& command) {
        const Clock::time_point start = Clock::now();
        command();
        timings.seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    };
    timed([&] { doc.Analysis().TestAllNets(); });
    timed([&] { doc.Analysis().RebuildFromTracks(); });
    timed([&] { doc.Planes().RefillAll(); });
    timed([&] { doc.Analysis().RouteAllDefaultLayer(); });
    timed([&] {
        CRecordingDC dc;
        doc.Paint().DrawBoard(dc);
    });
    timed([&] {
        doc.Session().SelectAll(true);
        doc.Editing().MoveSelection(25600, 25600);
        doc.Editing().RotateSelection90();
        doc.History().Undo();
        doc.History().Undo();
        doc.Session().SelectAll(false);
    });
    const fs::path out = folder / "out";
    fs::create_directories(out);
    timed([&] {
        CDocumentOutput output(doc.Design(), doc.Planes(), out.string(), "field");
        for (int32_t job = 0; job < doc.Design().GetOutputJobs().GetCount(); ++job) {
            services.listPicker.QueueAnswer(job);
            output.RunOutputJob([] {});
        }
    });
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (entry.is_regular_file()) {
            ++timings.files;
            const std::string beyond = CoordinateBeyondFormat(entry.path());
            if (!beyond.empty())
                timings.beyondFormat.push_back(beyond);
        }
    }
    fs::remove_all(out);
    return timings;
}

class CDesignFieldsTest : public ::testing::TestWithParam<size_t> {
protected:
    CDesignFieldsTest() { CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin"); }
    ~CDesignFieldsTest() override { CResourcePack::SetCurrent(CResourcePack()); }

    CFakeServices services;
    CTempFolder temp{"wevra-fields"};
};

// Each field of the design file in turn at the ends of its number range, written into the
// sample and opened as File > Open opens it: a value beyond the range the field has on a board
// is named, and every command that computes with the design stays defined (the sanitizers
// watch), takes time of the order of the sample's own, and writes only coordinates its format
// can hold.
TEST_P(CDesignFieldsTest, EveryFieldAtTheEndsOfItsRangeIsNamedAndBounded)
{
    const AnyField field = AllFields()[GetParam()];
    SCOPED_TRACE(std::string(field.record) + " " + field.name);
    const std::string file = (temp.Path() / "FIELD.PCB").string();
    const auto prepare = [&](const std::function<void(CDesign&)>& change) {
        CWevraDoc sample;
        EXPECT_TRUE(sample.OnOpenDocument(WEVRA_DEMO_DESIGN));
        change(sample.Design());
        EXPECT_TRUE(sample.OnSaveDocument(file));
        services.messages.ClearShown();
    };
    prepare([](CDesign&) {});
    std::vector<double> usual;
    {
        CWevraDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(file));
        ASSERT_TRUE(services.messages.Shown().empty()) << services.messages.Shown()[0].text;
        const Timings timings = RunCommands(doc, temp.Path(), services);
        usual = timings.seconds;
        ASSERT_TRUE(timings.beyondFormat.empty()) << timings.beyondFormat[0];
        // The sample's jobs write photoplots and drill programs to read back.
        ASSERT_GE(timings.files, 4);
    }
    bool held = false;
    for (const int64_t value : extremes) {
        SCOPED_TRACE(value);
        prepare([&](CDesign& design) { field.set(design, value); });
        CWevraDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(file));
        std::string beyond;
        field.each(doc.Design(), [&](int64_t read, const CDesignFields::Item&) {
            held = true;
            if (beyond.empty() && (read < field.low || read > field.high))
                beyond = std::string(": ") + field.name + " " + std::to_string(read) + ", outside";
        });
        std::string shown;
        for (const auto& message : services.messages.Shown())
            shown += message.text + "\n";
        if (field.beyond == CDesignFields::Beyond::named) {
            // Another check may name what the value does to the item (an inverted rectangle).
            if (beyond.empty())
                EXPECT_EQ(shown.find(std::string(": ") + field.name + " "), std::string::npos)
                    << "a value in range is not named\n"
                    << shown;
            else
                EXPECT_NE(shown.find(beyond), std::string::npos) << beyond << "\n" << shown;
        } else {
            EXPECT_TRUE(beyond.empty()) << "the reader puts a usable value in its place";
        }

        const Timings timings = RunCommands(doc, temp.Path(), services);
        for (size_t i = 0; i < usual.size(); ++i)
            EXPECT_LE(timings.seconds[i], 10 * usual[i] + 1.0) << "command " << i;
        EXPECT_TRUE(timings.beyondFormat.empty()) << timings.beyondFormat[0];
    }
    EXPECT_TRUE(held) << "the sample holds no item with this field";
}

// A plane of style 0, a plane without fill as the design file knows it, opens without a word.
TEST_F(CDesignFieldsTest, APlaneWithoutFillOpensWithoutAMessage)
{
    const std::string file = (temp.Path() / "NOFILL.PCB").string();
    {
        CWevraDoc sample;
        ASSERT_TRUE(sample.OnOpenDocument(WEVRA_DEMO_DESIGN));
        ASSERT_GT(sample.Design().GetPlaneCount(), 0);
        sample.Design().GetPlanes()[0]->SetStyle(CPour::styleNone);
        ASSERT_TRUE(sample.OnSaveDocument(file));
    }
    services.messages.ClearShown();
    CWevraDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(file));
    EXPECT_TRUE(services.messages.Shown().empty()) << services.messages.Shown()[0].text;
    EXPECT_EQ(doc.Design().GetPlane(0).GetStyle(), CPour::styleNone);
}

INSTANTIATE_TEST_SUITE_P(Fields, CDesignFieldsTest, ::testing::Range(size_t(0), AllFields().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             const AnyField field = AllFields()[info.param];
                             std::string name = std::string(field.record) + "_" + field.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

} // namespace
