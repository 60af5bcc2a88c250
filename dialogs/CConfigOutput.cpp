#include "dialogs/CConfigOutput.h"

#include <memory>
#include <optional>
#include <string>

#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/CNewJobDlg.h"
#include "dialogs/COutputItemDlg.h"
#include "dialogs/CPreviewFrame.h"
#include "dialogs/CWevraDialog.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CUnusableValues.h"
#include "framework/CNumberText.h"
#include "framework/CPrinterService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"

namespace {

// Job offsets are shown and typed in inch, whether a job is added or edited.
constexpr int32_t offsetUnit = 0;

std::string ShownScale(double scale)
{
    return CNumberText::FormatFixed(scale, 4, 6);
}

// Where the design lies, so that the job dialog shows where the files go.
void PlaceInDesign(const CDialogService::DesignParts& parts, CNewJobDlg::Values& values)
{
    values.designFolder = parts.folder;
    values.designTitle = parts.name;
}

// A length left as the dialog showed it, rounded to the inch's digits, is kept as the job has
// it; another is refused, with the field and the range named, beyond where a point of the board
// can lie.
std::optional<int32_t> TakeOffset(const std::string& text, int32_t current, const char* axis)
{
    if (CLengthText::ReadsAs(offsetUnit, text, current))
        return current;
    return FieldRanges::position.TakeLength(offsetUnit, text,
                                            std::string("Output job offset ") + axis);
}

// A scale no device can plot at is refused, with the range named; one left as the dialog
// showed it is kept as the job has it.
std::optional<double> TakeScale(const std::string& text, double current)
{
    const double scale = CNumberText::ParseDouble(text);
    if (scale == CNumberText::ParseDouble(ShownScale(current)))
        return current;
    // Written so that a scale that is not a number is refused as well.
    if (scale >= CUnusableValues::minScale && scale <= CUnusableValues::maxScale)
        return scale;
    CFieldRange::Refuse("Output job scale", text,
                        "outside " + CNumberText::FormatFixed(CUnusableValues::minScale, 4) +
                            " to " + CNumberText::FormatFixed(CUnusableValues::maxScale, 4));
    return std::nullopt;
}

// All or nothing: a value refused leaves the job as it was. False when one was refused.
bool TakeJobValues(const CNewJobDlg::Values& values, COutput& job)
{
    const std::optional<int32_t> offsetX = TakeOffset(values.offsetX, job.GetOffsetX(), "x");
    const std::optional<int32_t> offsetY =
        offsetX ? TakeOffset(values.offsetY, job.GetOffsetY(), "y") : std::nullopt;
    const std::optional<double> scale =
        offsetY ? TakeScale(values.scale, job.GetScale()) : std::nullopt;
    if (!scale)
        return false;
    job.SetDevice(values.device);
    job.SetDirectory(values.directory);
    job.SetJobName(values.name);
    job.SetPrinterName(values.printer);
    job.SetOrientation(values.landscape ? COutput::orientationLandscape
                                        : COutput::orientationPortrait);
    job.SetOffset(*offsetX, *offsetY);
    job.SetScale(*scale);
    job.SetUseDefaultPrinter(values.useDefaultPrinter);
    // A printer that cannot be opened leaves the job to the default printer.
    if (job.GetDevice() == COutput::deviceWindows && !job.UseDefaultPrinter() &&
        !CServices::Printers().CanOpenPrinter(job.GetPrinterName()))
        job.SetUseDefaultPrinter(true);
    return true;
}

} // namespace

CConfigOutput::CConfigOutput(const CDialogService::DesignParts& parts, QWidget* parent)
    : QWidget(parent), m_parts(parts), m_jobs(CWevraDialog::WithId(new QListWidget(this), idJobs)),
      m_items(CWevraDialog::WithId(new QListWidget(this), idItems)),
      m_preview(CWevraDialog::WithId(new CPreviewFrame(
                                         [this](CDeviceContext& dc, int width, int height) {
                                             if (m_jobs->currentRow() >= 0 &&
                                                 m_items->currentRow() >= 0)
                                                 m_parts.paint.DrawOutputPreview(dc, width, height);
                                         },
                                         Qt::white, this),
                                     idPreview))
{
    const auto group =
        [this](const char* title, QListWidget* list,
               std::initializer_list<std::pair<int32_t, void (CConfigOutput::*)()>> buttons) {
            auto* box = new QGroupBox(QString::fromLatin1(title), this);
            auto* layout = new QVBoxLayout(box);
            layout->addWidget(list);
            auto* row = new QHBoxLayout;
            const char* texts[] = {"Add", "Edit", "Delete"};
            int i = 0;
            for (const auto& [id, handler] : buttons) {
                auto* button =
                    CWevraDialog::WithId(new QPushButton(QString::fromLatin1(texts[i++]), box), id);
                connect(button, &QPushButton::clicked, this, handler);
                row->addWidget(button);
            }
            layout->addLayout(row);
            return box;
        };
    auto* layout = new QGridLayout(this);
    layout->addWidget(group("Joblist", m_jobs,
                            {{idAddJob, &CConfigOutput::AddJob},
                             {idEditJob, &CConfigOutput::EditJob},
                             {idDeleteJob, &CConfigOutput::DeleteJob}}),
                      0, 0);
    layout->addWidget(group("Sheet list", m_items,
                            {{idAddItem, &CConfigOutput::AddItem},
                             {idEditItem, &CConfigOutput::EditItem},
                             {idDeleteItem, &CConfigOutput::DeleteItem}}),
                      1, 0);
    layout->addWidget(m_preview, 0, 1, 2, 1);
    layout->setColumnStretch(1, 1);

    connect(m_jobs, &QListWidget::currentRowChanged, this, &CConfigOutput::SelectJob);
    connect(m_jobs, &QListWidget::itemDoubleClicked, this, &CConfigOutput::EditJob);
    connect(m_items, &QListWidget::currentRowChanged, this, &CConfigOutput::SelectItem);
    connect(m_items, &QListWidget::itemDoubleClicked, this, &CConfigOutput::EditItem);
    Fill();
}

QString CConfigOutput::Caption() const
{
    return QStringLiteral("Output: ") + CQtText::FromDesignText(m_parts.name);
}

COutput* CConfigOutput::CurrentJob() const
{
    COutputArray& jobs = m_parts.design.GetOutputJobs();
    return jobs.GetJob(jobs.GetCurrent());
}

void CConfigOutput::Fill()
{
    {
        const QSignalBlocker blocker(m_jobs);
        m_jobs->clear();
        const COutputArray& jobs = m_parts.design.GetOutputJobs();
        for (int32_t i = 0; i < jobs.GetCount(); ++i)
            m_jobs->addItem(CQtText::FromDesignText(jobs.GetJob(i)->GetJobName()));
        if (jobs.GetCount() > 0)
            m_jobs->setCurrentRow(jobs.GetCurrent());
    }
    FillItems();
}

void CConfigOutput::FillItems()
{
    {
        const QSignalBlocker blocker(m_items);
        m_items->clear();
        if (const COutput* job = CurrentJob()) {
            for (int32_t i = 0; i < job->GetItemCount(); ++i)
                m_items->addItem(CQtText::FromDesignText(job->GetItem(i)->GetDisplayName()));
            if (job->GetItemCount() > 0)
                m_items->setCurrentRow(job->GetCurrentItem());
        }
    }
    m_preview->update();
}

void CConfigOutput::SelectJob(int row)
{
    if (row >= 0)
        m_parts.design.GetOutputJobs().SetCurrent(row);
    FillItems();
}

void CConfigOutput::SelectItem(int row)
{
    if (COutput* job = CurrentJob(); job && row >= 0)
        job->SetCurrentItem(row);
    m_preview->update();
}

void CConfigOutput::AddJob()
{
    CNewJobDlg::Values values;
    values.device = COutput::deviceWindows;
    values.printer = CServices::Printers().DefaultPrinterName();
    values.offsetX = CLengthText::FormatLength(offsetUnit, 0);
    values.offsetY = values.offsetX;
    values.useDefaultPrinter = true;
    PlaceInDesign(m_parts, values);
    CNewJobDlg dialog(values, this);
    if (dialog.Run() != CWevraDialog::idOk)
        return;
    auto job = std::make_unique<COutput>();
    if (!TakeJobValues(dialog.GetValues(), *job))
        return;
    COutputArray& jobs = m_parts.design.GetOutputJobs();
    jobs.SetCurrent(jobs.AddJob(std::move(job)));
    m_parts.session.SetModified();
    Fill();
}

void CConfigOutput::EditJob()
{
    COutput* job = CurrentJob();
    if (!job)
        return;
    CNewJobDlg::Values values;
    values.device = job->GetDevice();
    values.directory = job->GetDirectory();
    values.name = job->GetJobName();
    values.printer = job->GetPrinterName();
    values.landscape = job->GetOrientation() == COutput::orientationLandscape;
    values.offsetX = CLengthText::FormatLength(offsetUnit, job->GetOffsetX());
    values.offsetY = CLengthText::FormatLength(offsetUnit, job->GetOffsetY());
    values.scale = ShownScale(job->GetScale());
    values.useDefaultPrinter = job->UseDefaultPrinter();
    PlaceInDesign(m_parts, values);
    CNewJobDlg dialog(values, this);
    dialog.setWindowTitle(QStringLiteral("Edit Output job"));
    if (dialog.Run() != CWevraDialog::idOk)
        return;
    if (!TakeJobValues(dialog.GetValues(), *job))
        return;
    m_parts.session.SetModified();
    Fill();
}

void CConfigOutput::DeleteJob()
{
    // Nothing chosen, nothing deleted.
    const int row = m_jobs->currentRow();
    COutputArray& jobs = m_parts.design.GetOutputJobs();
    if (row < 0 || row >= jobs.GetCount())
        return;
    jobs.RemoveJob(row);
    m_parts.session.SetModified();
    Fill();
}

void CConfigOutput::AddItem()
{
    COutput* job = CurrentJob();
    if (!job)
        return;
    job->SetCurrentItem(job->AddItem(nullptr));
    m_parts.session.SetModified();
    FillItems();
    EditItem();
}

void CConfigOutput::EditItem()
{
    const COutput* job = CurrentJob();
    if (!job || job->GetItemCount() == 0)
        return;
    COutputItemDlg dialog(m_parts.design, m_parts.session, m_parts.paint, this);
    dialog.Run();
    FillItems();
}

void CConfigOutput::DeleteItem()
{
    COutput* job = CurrentJob();
    if (!job || job->GetItemCount() == 0)
        return;
    job->RemoveItem(job->GetCurrentItem());
    m_parts.session.SetModified();
    FillItems();
}
