#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Names and finds files on disk: splits paths into folder, title and extension, tests and
// creates folders, lists the files that match a pattern, and renames and deletes files for the
// automatic backups. Paths are native ('/' separators) and are never changed in case: only the
// extension and the file-name pattern of a listing are compared without regard to case.
//
// A path's extension belongs to its file name: a dot in a folder name, or the leading dot of a
// hidden name, starts none. Every operation reports through its result and shows no message.
class CPathHelper {
public:
    // Makes the path the process's current directory; a failure is ignored.
    void SetCurrentDir(const std::string& path);
    const std::string& GetCurrentDir() const { return m_currentDir; }

    static bool IsExistingDirectory(const std::string& path);
    // True for a path whose status can be read and that is not a directory.
    static bool IsExistingFile(const std::string& path);

    // The folder part of a path that names a file (its file name has an extension); any other
    // path is taken to name a folder and comes back unchanged. A bare file name has the empty
    // folder, which stands for the current directory.
    static std::string GetDirectory(const std::string& path);
    // The file name without folder and extension: "/d/Board.PCB" gives "Board", "a.b.c" "a.b".
    static std::string GetFileTitle(const std::string& path);
    // The extension with its dot (".PCB"); empty when the file name has none.
    static std::string GetExtension(const std::string& path);
    // The name of the innermost folder of GetDirectory(path): "/lib/RES/R.LMC" gives "RES".
    static std::string GetLastFolderName(const std::string& path);
    // Creates every missing folder level of GetDirectory(path). True when that folder exists
    // afterwards.
    static bool CreateDirectoryChain(const std::string& path);

    void SetListFullPath(bool fullPath) { m_listFullPath = fullPath; }
    void SetListWithExtension(bool withExtension) { m_listWithExtension = withExtension; }
    // Replaces the list by the files (never folders) whose names match the pattern's last part,
    // with '*' and '?' as wildcards and case ignored, in the pattern's folder (relative to the
    // current directory). Each entry is the file name, or the full path when so set, without
    // its extension unless so set; sorted as the file system would show them: ignoring case
    // first. False when no file matches.
    bool ListFiles(const std::string& pattern, std::vector<std::string>& list) const;

    // Sorts list[first..last] ascending, byte by byte. Indexes outside the list are clipped.
    static void QuickSortStrings(std::vector<std::string>& list, int32_t first, int32_t last);

    // True when the file is gone afterwards (also when it never existed).
    static bool DeleteFile(const std::string& path);
    // Renames an existing file to a name no file has yet. True only when the file was renamed.
    static bool RenameFile(const std::string& oldPath, const std::string& newPath);
    // The one way the program replaces a file. The bytes go to "<file>.tmp~" beside the file,
    // reach the disk, and the temporary is renamed over the file only after every write, the
    // flush and the close succeeded: a failure leaves the old file and no temporary. A symbolic
    // link is followed, so its target gets the content and the link stays. The new file keeps
    // the old one's permissions (and owner, where the process may set it). A read-only file is
    // refused and left alone, and so is anything that is not a regular file (a device, a pipe).
    // False on failure, with the reason in `reason`, which names the temporary only when
    // something that cannot be removed (a folder) stands where it would go.
    static bool WriteFileAtomically(const std::filesystem::path& path, const void* data,
                                    size_t size, std::string* reason = nullptr);
    static bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                                    std::string* reason = nullptr);
    // Its first half, for a set of files that are replaced together: the bytes reach the disk in
    // the temporary, which `temporary` then names, beside `target`, the file the path finally
    // names; the file itself is untouched. The caller renames the temporary over the target or
    // removes it. On failure nothing is left, as with WriteFileAtomically.
    static bool WriteTemporary(const std::filesystem::path& path, const void* data, size_t size,
                               std::filesystem::path& target, std::filesystem::path& temporary,
                               std::string* reason = nullptr);
    // True for an existing file that must not be overwritten: one without any write permission
    // bit (even for a process that could write it anyway), or one this process may not write.
    static bool IsReadOnlyFile(const std::filesystem::path& path);
    // The same for an existing folder: no file can be made in it.
    static bool IsReadOnlyFolder(const std::filesystem::path& path);
    // Both paths lead to one file (through links or other spellings); paths of which one does
    // not exist are the same only when spelt alike.
    static bool IsSameFile(const std::filesystem::path& first, const std::filesystem::path& second);
    // The file a path finally names, its symbolic links followed (relative ones from the
    // folder of the link); the path itself when it is no link. A dangling link gives the file
    // it names; a chain of links too long to be real gives the last link reached.
    static std::filesystem::path FollowLinks(const std::filesystem::path& path);
    // The entry of that name in the folder, matched without regard to case when no entry has
    // exactly that name (the first such in the listing's order); folder / name when none matches.
    static std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder,
                                                  const std::string& name);
    // The path taken from the current folder, without "." and ".." parts; the path as it is when
    // the current folder cannot be known. A design keeps such a path, so that neither its own
    // folder nor the folders below it depend on the current folder.
    static std::string AbsolutePath(const std::string& path);
    // Translates a Windows path stored in a design ("C:\GERBER", "A:\", "\LIB\X.SHP") into a
    // path on this system, leaving the stored text as it is. A drive or a leading backslash names
    // the design's own folder; backslashes separate folders, each found there without regard to
    // case. With `createFolders` the stored path names a folder whose missing levels are created
    // as stored (output folders). Text with
    // neither a drive nor a backslash is a path typed on this system and is used as it is.
    static std::filesystem::path ResolveStoredPath(const std::string& stored,
                                                   const std::filesystem::path& designFolder,
                                                   bool createFolders);
    // The folder of the running program, where its language pack, font and help pages lie; the
    // current folder when the program's file cannot be found.
    static std::filesystem::path GetProgramFolder();
    // Whether the file lies in the program's folder or below it: installed with the program,
    // for every user, and never written by it.
    static bool IsInstalledFile(const std::filesystem::path& file);
    // The user's data folder of the desktop (XDG_DATA_HOME when it is absolute, else
    // ~/.local/share); empty when neither is known.
    static std::filesystem::path GetUserDataFolder();
    // The user's own folder for what the program keeps between runs (backups, copies handed to
    // other programs): "wevra-pcb" in XDG_STATE_HOME when it is absolute, else in
    // ~/.local/state; empty when neither is known.
    static std::filesystem::path GetUserStateFolder();
    // Creates the folder and its missing parents; the folder itself is readable by its owner
    // alone. False with the system's reason when it cannot be made or is not a folder.
    static bool CreatePrivateFolder(const std::filesystem::path& folder, std::string* reason);
    // The regular file of that name in the first folder of the PATH variable holding one;
    // empty when none does. Relative folders of PATH are skipped.
    static std::filesystem::path FindOnSearchPath(const std::string& name);

private:
    std::string m_currentDir;
    bool m_listFullPath = false;
    bool m_listWithExtension = false;
};
