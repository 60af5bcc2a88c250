#include "framework/qt/CQtText.h"

#include <QByteArray>
#include <QFile>

#include "framework/CWindows1252.h"

QString CQtText::FromDesignText(std::string_view text)
{
    return QString::fromStdString(CWindows1252::ToUtf8(text));
}

std::string CQtText::ToDesignText(const QString& text)
{
    return CWindows1252::FromUtf8(text.toStdString());
}

QString CQtText::FromPath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

std::string CQtText::ToPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
