#pragma once

#include <cstdint>

#include <QWidget>

#include "model/CDialogService.h"

class COutput;
class CPreviewFrame;
class QListWidget;

// The "Output" page of the design configuration: the design's output jobs, the items of the
// chosen job and a picture of the chosen item as it is output. Add, Edit and Delete change the
// design at once.
class CConfigOutput : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t idItems = 1347;
    static constexpr int32_t idJobs = 1334;
    static constexpr int32_t idAddJob = 1323;
    static constexpr int32_t idEditJob = 1331;
    static constexpr int32_t idDeleteJob = 1326;
    static constexpr int32_t idAddItem = 1324;
    static constexpr int32_t idEditItem = 1332;
    static constexpr int32_t idDeleteItem = 1327;
    static constexpr int32_t idPreview = 1357;

    explicit CConfigOutput(const CDialogService::DesignParts& parts, QWidget* parent = nullptr);

    // The page's caption: "Output: " and the design's name.
    QString Caption() const;
    // Lists the jobs and the current job's items, the current ones chosen.
    void Fill();

private:
    COutput* CurrentJob() const;
    void FillItems();
    void SelectJob(int row);
    void SelectItem(int row);
    void AddJob();
    void EditJob();
    void DeleteJob();
    void AddItem();
    void EditItem();
    void DeleteItem();

    CDialogService::DesignParts m_parts;
    QListWidget* m_jobs;
    QListWidget* m_items;
    CPreviewFrame* m_preview;
};
