#include "File.h"

#include "SourceFile.h"
#include "Text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

using platform_detail::FromUtf8;
using platform_detail::ToCString;

namespace {

// FNV-1a: a change anywhere in the file changes it; no security rests on it.
std::uint64_t HashOf(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

CFileStamp StampOf(const QFileInfo& info, std::string_view bytes) {
    return {bytes.size(), info.lastModified().toMSecsSinceEpoch(), HashOf(bytes)};
}

void SetDetail(CString* pDetail, const QString& detail) {
    if (pDetail != nullptr)
        *pDetail = ToCString(detail);
}

// The file a write goes to: the final target of a symbolic link (so that
// the link stays), else the path itself.
QString WriteTarget(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 32; ++hops) {
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            break;
        info = QFileInfo(target);
    }
    return info.absoluteFilePath();
}

// Why a write failed, from the system's error number where it says, else
// from what the folder and file allow now.
FileError WriteError(int code, const QString& target) {
    const QFileInfo info(target);
    const QFileInfo folder(info.absolutePath());
    if (code == ENOSPC || code == EDQUOT)
        return FileError::DiskFull;
    if (!folder.exists() || code == ENOENT)
        return FileError::FolderGone;
    if (code == EACCES || code == EPERM || code == EROFS || !folder.isWritable() ||
        (info.exists() && !info.isWritable()))
        return FileError::PermissionDenied;
    return FileError::WriteFailed;
}

} // namespace

FileError CTextFile::Read(std::string_view pathName, std::string& text, CFileStamp& stamp,
                          CString* pDetail) {
    text.clear();
    const QString path = FromUtf8(pathName);
    const QFileInfo info(path);
    if (!info.exists())
        return FileError::NotFound;
    if (info.isDir())
        return FileError::Unreadable;
    if (static_cast<std::uint64_t>(info.size()) > kMaxSourceFileBytes)
        return FileError::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetDetail(pDetail, file.errorString());
        return FileError::Unreadable;
    }
    // Read one byte past the limit, so that a file grown since it was
    // measured is still refused.
    const QByteArray bytes = file.read(static_cast<qint64>(kMaxSourceFileBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        SetDetail(pDetail, file.errorString());
        return FileError::Unreadable;
    }
    if (static_cast<std::size_t>(bytes.size()) > kMaxSourceFileBytes)
        return FileError::TooLarge;
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!IsSourceText(view))
        return FileError::NotText;
    text.assign(view);
    stamp = StampOf(info, view);
    return FileError::None;
}

bool CTextFile::IsUnchanged(std::string_view pathName, const CFileStamp& stamp) {
    const QString path = FromUtf8(pathName);
    const QFileInfo info(path);
    if (!info.exists() || static_cast<std::uint64_t>(info.size()) != stamp.size)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError &&
           HashOf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) ==
               stamp.hash;
}

FileError CTextFile::Write(std::string_view pathName, std::string_view text, CFileStamp& stamp,
                           CString* pDetail) {
    const QString target = WriteTarget(FromUtf8(pathName));
    if (!QFileInfo::exists(QFileInfo(target).absolutePath()))
        return FileError::FolderGone;
    const bool bExisted = QFileInfo::exists(target);
    const QFileDevice::Permissions permissions = QFile::permissions(target);

    // Never fall back to writing the file in place: that is the write that
    // can leave half a file behind.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int code = errno;
        SetDetail(pDetail, file.errorString());
        return WriteError(code, target);
    }
    errno = 0;
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size || !file.flush()) {
        const int code = errno;
        SetDetail(pDetail, file.errorString());
        file.cancelWriting();
        return WriteError(code, target);
    }
    errno = 0;
    if (!file.commit()) {
        const int code = errno;
        SetDetail(pDetail, file.errorString());
        return WriteError(code, target);
    }
    if (bExisted && QFile::permissions(target) != permissions)
        QFile::setPermissions(target, permissions);
    stamp = StampOf(QFileInfo(target), text);
    return FileError::None;
}

CString FileErrorMessage(FileError error, std::string_view pathName, std::string_view detail) {
    const std::string name(pathName);
    const std::string because = detail.empty() ? std::string() : " (" + std::string(detail) + ")";
    const std::string unchanged = " The file on disk is unchanged.";
    switch (error) {
    case FileError::None:
        return {};
    case FileError::NotFound:
        return CString(name + " was not found.");
    case FileError::Unreadable:
        return CString(name + " cannot be read" + because + ".");
    case FileError::TooLarge:
        return CString(name + " is larger than 16 MiB, too large to open.");
    case FileError::NotText:
        return CString(name + " is not a text file.");
    case FileError::NoArray:
        return CString(name + " holds no array of numbers to draw.");
    case FileError::ArrayTooLarge:
        return CString("This array in " + name +
                       " is too large for the grid, which takes up to 32 x 16 pixels" + because +
                       ".");
    case FileError::Changed:
        return CString(name + " has changed on disk since it was opened.");
    case FileError::PermissionDenied:
        return CString(name + " was not saved: permission denied." + unchanged);
    case FileError::DiskFull:
        return CString(name + " was not saved: the disk is full." + unchanged);
    case FileError::FolderGone:
        return CString(name + " was not saved: its folder no longer exists.");
    case FileError::WriteFailed:
        return CString(name + " was not saved" + because + "." + unchanged);
    }
    return CString(name + " cannot be used.");
}
