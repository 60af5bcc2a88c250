#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The files of one output, replaced all or none: a set a fab takes as one must never be two
// runs. Each file's bytes reach the disk in a temporary beside it, as
// CPathHelper::WriteFileAtomically writes them, and only once every file of the set is written
// are the temporaries renamed over the files. A set that fails to take a file, or that is never
// committed, removes its temporaries and leaves every file of the earlier run as it was.
class CFileSet {
public:
    CFileSet() = default;
    CFileSet(const CFileSet&) = delete;
    CFileSet& operator=(const CFileSet&) = delete;
    // Removes the temporaries of a set not committed.
    ~CFileSet();

    // Writes the bytes for the file into its temporary. False when they cannot be written, or
    // when a file failed before: the set then takes no more and commits nothing. The same file
    // given again takes the later bytes.
    bool Add(const std::filesystem::path& path, const std::string& bytes);
    // Puts every file in place. False, with every file as it was before, when a file failed to
    // be added or to be put in place.
    bool Commit();
    // Removes the temporaries; the files stay as they were.
    void Discard();

    // The file that failed (as given) and why; empty while none did.
    const std::filesystem::path& GetFailedFile() const { return m_failedFile; }
    const std::string& GetFailure() const { return m_failure; }
    // The files of the set as given, in the order first added; none after a failure.
    std::vector<std::filesystem::path> GetFiles() const;

private:
    struct Entry {
        std::filesystem::path path;
        std::filesystem::path target;
        std::filesystem::path temporary;
        // The earlier file under a second name while the set is put in place; empty when
        // there was none or it could not be kept.
        std::filesystem::path earlier;
    };
    bool Fail(const std::filesystem::path& path, const std::string& why);
    // Takes the files renamed so far back to their earlier bytes.
    static void Restore(std::vector<Entry>& entries, size_t placed);

    std::vector<Entry> m_entries;
    std::filesystem::path m_failedFile;
    std::string m_failure;
};
