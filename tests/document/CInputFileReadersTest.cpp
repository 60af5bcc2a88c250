#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>

#include "document/CDesign.h"
#include "document/CDocumentDosImport.h"
#include "document/CPinSwapTool.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "interchange/CDosConfig.h"
#include "interchange/CDosImport.h"
#include "interchange/CLmcImport.h"
#include "interchange/CNetlistLines.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/CWevraFont.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CTempFolder.h"
#include "tests/support/LimitedChild.h"

namespace {

namespace fs = std::filesystem;
using archive_bytes::Ascii;
using archive_bytes::Bytes;
using archive_bytes::Concat;
using archive_bytes::U16;

// A record whose reading runs out of memory.
class CAllocationFailure : public CObject {
    WEVRA_DECLARE_SERIAL(CAllocationFailure)
public:
    void Serialize(CArchive&) override { throw std::bad_alloc(); }
};
WEVRA_IMPLEMENT_SERIAL(CAllocationFailure, "CAllocationFailure", 0)

Bytes AllocationFailureRecord()
{
    return Concat({U16(1), U16(0xFFFF), U16(0), U16(18), Ascii("CAllocationFailure")});
}

class CPlyReader : public CDosImport {
public:
    using CDosImport::CDosImport;
    using CDosImport::ReadPly;
};

// The files no reader may take in: a device, a pipe and a sparse file of 3 GB, each under the
// name of the kind the reader looks for.
class CInputFileReaders : public CDocumentTest {
protected:
    void SetUp() override
    {
        CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin");
        CDocumentTest::SetUp();
    }
    void TearDown() override
    {
        CDocumentTest::TearDown();
        CResourcePack::SetCurrent(CResourcePack());
    }

    fs::path Hostile(const std::string& kind, const std::string& extension)
    {
        const fs::path path = folder / (kind + extension);
        if (kind == "zero")
            fs::create_symlink("/dev/zero", path);
        else if (kind == "pipe")
            EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        else {
            archive_bytes::WriteFile(path, {});
            fs::resize_file(path, uintmax_t(3) << 30);
        }
        return path;
    }

    // Every reader refuses each kind, under a memory and a time limit, and the open design
    // stays as it was.
    void ExpectRefused(const std::string& kind)
    {
        SCOPED_TRACE(kind);
        const fs::path design = Hostile(kind, ".PCB");
        const fs::path library = Hostile(kind, ".SHP");
        const fs::path font = Hostile(kind, ".dat");
        const fs::path netlist = Hostile(kind, ".NET");
        const fs::path ply = Hostile(kind, ".PLY");
        const fs::path cnf = Hostile(kind, ".CNF");
        const fs::path lmc = Hostile(kind, ".LMC");
        const fs::path swaps = Hostile(kind, ".txt");
        const fs::path pack = Hostile(kind, ".lng");
        doc->Design().GetNets().AddNet("KEEP");
        const int32_t nets = doc->Design().GetNets().GetCount();

        const auto throws = [](const std::function<void()>& read) {
            try {
                read();
            } catch (const CArchiveException& error) {
                return error.GetCause() == CArchiveException::fileError;
            }
            return false;
        };
        EXPECT_TRUE(RunInLimitedChild([&] {
            services.messages.ClearShown();
            const bool designRefused =
                !doc->OpenDesignFile(design.string()) && !doc->ReadTemplate(design.string()) &&
                services.messages.Shown().size() == 2 && doc->Design().GetNets().GetCount() == nets;
            CShapeLibArray libraries;
            CWevraFont wevraFont;
            CNetlistLines lines;
            CPlyReader plyReader(doc->DosImport());
            CDosConfig config;
            std::string error;
            CShapeLib lmcLibrary("L");
            CLmcImport lmcImport;
            CPinSwapTool swapTool(*doc);
            return designRefused && throws([&] { libraries.Load(library); }) &&
                   !wevraFont.Load(font) && !lines.Open(netlist) &&
                   !plyReader.ReadPly(ply.string()) && !config.ReadBeside(cnf.string(), error) &&
                   !lmcImport.ReadLmcFile(lmc.string(), lmcLibrary, lmcLibrary.AddShape("S"),
                                          error) &&
                   !swapTool.LoadSwapList(swaps, "T") && throws([&] { CResourcePack::Load(pack); });
        }));
    }

    CTempFolder folder{"wevra-hostile"};
};

TEST_F(CInputFileReaders, DevicesPipesAndHugeFilesAreRefusedUnread)
{
    ExpectRefused("zero");
    ExpectRefused("pipe");
    ExpectRefused("huge");
}

// Running out of memory while reading is a refusal like any other: the program and the open
// design stay.
TEST_F(CInputFileReaders, AnAllocationFailureIsARefusal)
{
    doc->Design().GetNets().AddNet("KEEP");
    const Bytes open = archive_bytes::Store(*doc);
    CWevraDoc withPlane;
    withPlane.Design().GetPlanes().push_back(std::make_unique<CPour>());
    const Bytes empty = archive_bytes::Store(*doc);
    const Bytes planes = archive_bytes::Store(withPlane);
    size_t at = 0;
    while (at < empty.size() && empty[at] == planes[at])
        ++at;
    Bytes failing(empty.begin(), empty.begin() + std::ptrdiff_t(at));
    failing = Concat({failing, AllocationFailureRecord()});
    const fs::path design = folder / "failing.PCB";
    archive_bytes::WriteFile(design, failing);
    EXPECT_FALSE(doc->OpenDesignFile(design.string()));
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{
                  "Unexpected file contents in failing; the design has not been opened."});
    EXPECT_EQ(archive_bytes::Store(*doc), open);

    const fs::path library = folder / "failing.SHP";
    archive_bytes::WriteFile(
        library, Concat({archive_bytes::I32(802), archive_bytes::Str("Set"), archive_bytes::I32(0),
                         archive_bytes::I32(0), archive_bytes::I32(0), AllocationFailureRecord()}));
    CShapeLibArray libraries;
    try {
        libraries.Load(library);
        ADD_FAILURE() << "loaded";
    } catch (const CArchiveException& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Not enough memory to read \"" + library.string() + "\".");
    }
}

} // namespace
