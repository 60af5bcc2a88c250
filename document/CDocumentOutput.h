#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "interchange/COutputDocument.h"

class CDesign;
class CDocumentPlanes;
class COutput;

// The design as the Gerber and drill writers see it, and the run of one output job: the user
// picks the job, unfilled planes are filled, and the job's device decides what is made.
class CDocumentOutput : public COutputDocument {
public:
    // `designFolder` and `designTitle`: the folder and the file title of the design file.
    CDocumentOutput(CDesign& design, CDocumentPlanes& planes, std::string designFolder,
                    std::string designTitle);

    // Lets the user pick an output job and produces it: Gerber files, a drill program per
    // item, or a printout through `print` (the window system's Print command). Files an earlier
    // run left under the job's names that this run does not write are named first and removed
    // on yes; written files end with a message naming their folder. False when the user
    // cancelled the choice (nothing changed), true otherwise, also when the job produced
    // nothing.
    bool RunOutputJob(const std::function<void()>& print);
    // Fills every plane that has no fill or one older than the copper, in list order: a design
    // just opened holds none, a board routed after its fill would have the plane over the new
    // copper, and what goes out of the program shows the copper the planes will have. A plane
    // whose fill fails or pours no copper is named in a question under `caption`: false when
    // the user would rather have nothing made than go on without it.
    bool RefillStalePlanes(const std::string& caption);
    // The same for a design and its planes without an output job (a job's printout).
    static bool RefillStalePlanes(const CDesign& design, CDocumentPlanes& planes,
                                  const std::string& caption);

    const COutputArray& GetOutputJobs() const override;
    std::string GetDesignTitle() const override;
    std::filesystem::path GetDesignFolder() const override;
    std::string GetTimeStamp() const override;
    int32_t GetBoardWidth() const override;
    int32_t GetBoardHeight() const override;
    int32_t GetBoardOutlineCount() const override;
    CPoint GetBoardOutlinePoint(int32_t i) const override;
    bool IsBoardOutlineRunStart(int32_t i) const override;
    const CDrawRecArray& GetLines() const override;
    const CNetArray& GetNets() const override;
    const CComponentArray& GetComponents() const override;
    const CShapeLib& GetShapeCache() const override;
    int32_t GetPlaneCount() const override;
    const CPour& GetPlane(int32_t i) const override;
    // Only a plane whose fill is older than the copper: after RefillStalePlanes a plane without
    // copper is one the user chose to go on without.
    void RefillPlane(int32_t i) override;
    const CTextArray& GetTexts() const override;
    const CWevraFont& GetFont() const override;

private:
    // Asks before the job writes into a folder where another job of the design left files of
    // the names it writes; yes adds those files to `removals`. False when the user says no.
    bool MayReplaceOtherJobsFiles(int32_t job, std::vector<std::filesystem::path>& removals);
    // Names the files of the job's names that this run does not write and adds them to
    // `removals` when the user says yes.
    void OfferToRemoveStaleFiles(const COutput& job, std::vector<std::filesystem::path>& removals);
    // Removes the files, naming each one that stays.
    static void RemoveFiles(const std::vector<std::filesystem::path>& files);
    // Says in which folder the job's files are.
    void TellWhereFilesWent(const COutput& job, const std::filesystem::path& folder);

    CDesign& m_design;
    CDocumentPlanes& m_planes;
    std::string m_designFolder;
    std::string m_designTitle;
};
