#pragma once

#include <cstdint>
#include <string>

class CConfigFiles;
class CWevraDoc;

// The design time and the numbered automatic backups of one open design. The main window's
// one-minute timer ticks every open design: a minute counts as design time only when the user
// clicked or typed in it, and a design that stayed changed for longer than the configured
// interval is backed up as "<title> BAK <nn>.PCB", keeping at most the configured number.
//
// A backup is written completely to a temporary file before any older backup is touched, so a
// failing write never costs a backup that was good. A backup is not a save: the design stays
// modified. A failing timed backup is reported once; the next report follows only after a backup
// succeeded again, so a full disk does not raise a message every minute. A backup the user is
// waiting for (before a netlist import) reports every failure, since the action stops with it.
//
// Away from the design's folder each series carries a short hash of that folder, so designs of
// one title from different folders never rotate each other's backups away.
class CDesignBackup {
public:
    explicit CDesignBackup(CWevraDoc& document) : m_document(document) {}
    CDesignBackup(const CDesignBackup&) = delete;
    CDesignBackup& operator=(const CDesignBackup&) = delete;

    // A click or key in the design: the running minute counts as design time.
    void NoteActivity() { m_activity = true; }
    bool HasActivity() const { return m_activity; }
    // Minutes counted since the design changed after its last backup.
    int32_t GetTickCount() const { return m_ticks; }
    // A new or freshly loaded design: nothing counted yet.
    void Reset();

    // One minute of the timer. True when a backup was written.
    bool OnTimer(const CConfigFiles& files);
    // Writes one backup whatever the timing settings say (also before a netlist import) and
    // returns its path; empty when it could not be written, which has been reported: in a
    // message, or, when `failure` is given, in that text for the caller to put to the user.
    std::string Backup(const CConfigFiles& files, std::string* failure = nullptr);

    // "<title> BAK <number>.PCB", the number with at least two digits.
    static std::string BackupFileName(const std::string& title, int32_t number);
    // The title a series is named by: the design's title in capitals beside the design, else
    // followed by a blank and eight hex digits of the design's folder.
    static std::string SeriesTitle(const std::string& title, const std::string& designFolder,
                                   const std::string& backupFolder);

private:
    // Numbers above `maxFiles` make room: number 1 goes, the others move down by one where
    // the lower name is free.
    static void Rotate(const std::string& folder, const std::string& title, int32_t count);
    std::string Write(const CConfigFiles& files, bool reportEveryFailure,
                      std::string* failure = nullptr);
    // On the status line always; in a message once per streak of failures unless
    // `reportEveryFailure`; with the system's reason. Into `failure` instead of a message when
    // it is given.
    void ReportFailure(const std::string& path, const std::string& reason, bool reportEveryFailure,
                       std::string* failure = nullptr);

    CWevraDoc& m_document;
    bool m_activity = false;
    int32_t m_ticks = 0;
    bool m_failing = false;
};
