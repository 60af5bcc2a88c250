#include "framework/qt/CQtClipboardService.h"

#include <memory>

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* Clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

bool CQtClipboardService::HasFormat(const std::string& format) const
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data != nullptr && data->hasFormat(QString::fromStdString(format));
}

std::optional<std::vector<uint8_t>> CQtClipboardService::GetData(const std::string& format) const
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    const QString name = QString::fromStdString(format);
    if (data == nullptr || !data->hasFormat(name))
        return std::nullopt;
    const QByteArray bytes = data->data(name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool CQtClipboardService::SetData(const std::string& format, const std::vector<uint8_t>& data)
{
    QClipboard* clipboard = Clipboard();
    if (clipboard == nullptr)
        return false;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QString::fromStdString(format),
                  QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size())));
    // The clipboard takes the data over.
    clipboard->setMimeData(mime.release());
    return true;
}
