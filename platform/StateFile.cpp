#include "StateFile.h"

#include "File.h"
#include "Text.h"

#include <QDir>
#include <QFile>

using platform_detail::FromUtf8;
using platform_detail::ToCString;

namespace {

QString StatePath(std::string_view appName, std::string_view fileName) {
    return QDir(FromUtf8(AfxGetStateFolder(appName))).filePath(FromUtf8(fileName));
}

} // namespace

CString AfxGetStateFolder(std::string_view appName) {
    // The XDG base directories: a relative path in the variable is to be
    // ignored. (The toolkit's own lookup of this folder is newer than the
    // toolkit the program is built with.)
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return ToCString(QDir(base).filePath(FromUtf8(appName)));
}

bool AfxReadStateFile(std::string_view appName, std::string_view fileName, std::size_t nMaxBytes,
                      std::string& text) {
    CFileStamp stamp;
    return CTextFile::Read(StatePath(appName, fileName).toStdString(), nMaxBytes, text, stamp) ==
           FileError::None;
}

bool AfxWriteStateFile(std::string_view appName, std::string_view fileName, std::string_view text) {
    const QString folder = FromUtf8(AfxGetStateFolder(appName));
    if (!QDir(folder).exists()) {
        if (!QDir().mkpath(folder))
            return false;
        // The folder is the user's alone, as the base directories ask.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    CFileStamp stamp;
    return CTextFile::Write(StatePath(appName, fileName).toStdString(), text, stamp) ==
           FileError::None;
}
