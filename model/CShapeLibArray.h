#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/CInputFile.h"
#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "model/CShapeLib.h"

class CArchive;
class CShapeLibImporter;

// The content of one shape library file (".SHP"): a named list of shape libraries. The
// application keeps one set, loaded at start-up from the configured library file, for the Get
// Shape dialog and for importing shapes by name.
class CShapeLibArray : public CObject {
    WEVRA_DECLARE_SERIAL(CShapeLibArray)

public:
    static constexpr uint32_t fileVersion = 802;
    // Far more than any real library file: thousands of shapes fit in a few megabytes.
    static constexpr uintmax_t maxFileSize = 64 * CInputFile::megabyte;
    static constexpr char defaultName[] = "Default";

    // No libraries, named "Default", library 0 current.
    CShapeLibArray();
    ~CShapeLibArray() override;

    // Whether a stream of the right version was read or written completely.
    bool IsLoaded() const { return m_loaded; }

    int32_t GetCount() const { return static_cast<int32_t>(m_libs.size()); }
    // nullptr / "" for an index that names no library.
    CShapeLib* GetLib(int32_t i);
    const CShapeLib* GetLib(int32_t i) const;
    std::string GetLibName(int32_t i) const;
    // Appends a library to the set; returns its index.
    int32_t AddLib(std::unique_ptr<CShapeLib> library);
    // Deletes library i; the current library stays within the set. False for no library.
    bool RemoveLib(int32_t i);

    // Libraries i and j change places; false when either names no library.
    bool SwapLibs(int32_t i, int32_t j);

    int32_t GetCurLib() const { return m_curLib; }
    // i when below the count (-1 at least), else the last library.
    void SetCurLib(int32_t i);

    // The first library of exactly that name, -1 when none.
    int32_t FindLib(const std::string& name) const;
    CShapeLib* GetLibByName(const std::string& name);
    const CShapeLib* GetLibByName(const std::string& name) const;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // The library file that Save writes.
    const std::filesystem::path& GetPath() const { return m_path; }
    void SetPath(const std::filesystem::path& path) { m_path = path; }

    // Kept with the file for the shape dialog: the group it shows, its filter choice and its
    // filter history.
    int32_t GetCurGroup() const { return m_curGroup; }
    void SetCurGroup(int32_t group) { m_curGroup = group; }
    int32_t GetFilterChoice() const { return m_filterChoice; }
    void SetFilterChoice(int32_t choice) { m_filterChoice = choice; }
    std::vector<std::string>& GetFilterHistory() { return m_filterHistory; }
    const std::vector<std::string>& GetFilterHistory() const { return m_filterHistory; }

    // Reads the library file and normalises every shape; the file becomes the one Save
    // writes. False, with the set and its file unchanged, when no file exists there yet: its
    // path is kept so that Save creates it. A file that cannot be read, one of another version,
    // a damaged one and one with bytes after its last record throw CArchiveException and change
    // nothing. Repairs made while reading are shown once.
    bool Load(const std::filesystem::path& path);
    // Writes the set to its library file, replacing the old file only after a complete write.
    // False when there is no file or it cannot be written.
    bool Save();

    // Hands the set to the reader of DOS component libraries, which adds a library per file
    // and saves the set.
    void ImportDosLibraries(CShapeLibImporter& importer, const std::string& configPath,
                            const std::string& folder);

    // Version 802, name, current library, the two dialog words, the libraries and the filter
    // history. A stream of another version is not read and leaves the set as it was, not
    // loaded; otherwise the set is replaced only when the whole stream was read.
    void Serialize(CArchive& ar) override;

private:
    bool m_loaded = false;
    std::vector<std::unique_ptr<CShapeLib>> m_libs;
    int32_t m_curLib = 0;
    std::string m_name = defaultName;
    std::filesystem::path m_path;
    int32_t m_curGroup = 0;
    int32_t m_filterChoice = 0;
    std::vector<std::string> m_filterHistory;
};
