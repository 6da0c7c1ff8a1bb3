// Files the editor opens as documents: a read refuses what no document is,
// a write either replaces the whole file or leaves it as it was, and a file
// changed on disk since it was read is noticed.

#include "File.h"
#include "SourceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Path(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(name).toStdString();
}

void Put(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

std::string Get(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
}

// The write as a user without privileges makes it: root writes anywhere, so
// for root the write runs in a child process that gives them up first.
FileError WriteUnprivileged(const std::string& path, const std::string& text) {
    CFileStamp stamp;
    if (geteuid() != 0)
        return CTextFile::Write(path, text, stamp);
    const pid_t child = fork();
    if (child == 0) {
        const bool bDropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(bDropped ? static_cast<int>(CTextFile::Write(path, text, stamp)) : 100);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? static_cast<FileError>(WEXITSTATUS(status)) : FileError::WriteFailed;
}

TEST(TextFile, ReadRefusesWhatIsNoDocument) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Put(Path(dir, "nul.h"), std::string("int a[] = {1};\0", 15));
    Put(Path(dir, "big.h"), "");
    ASSERT_TRUE(QFile::resize(QString::fromStdString(Path(dir, "big.h")),
                              static_cast<qint64>(kMaxSourceFileBytes) + 1));
    Put(Path(dir, "ok.h"), "int a[] = {1};\r\n");

    struct Case {
        std::string path;
        FileError error;
    };
    const Case cases[] = {
        {Path(dir, "missing.h"), FileError::NotFound},
        {dir.path().toStdString(), FileError::Unreadable},
        {Path(dir, "nul.h"), FileError::NotText},
        {Path(dir, "big.h"), FileError::TooLarge},
        {Path(dir, "ok.h"), FileError::None},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        std::string text = "stale";
        CFileStamp stamp;
        EXPECT_EQ(CTextFile::Read(entry.path, text, stamp), entry.error);
        EXPECT_EQ(text, entry.error == FileError::None ? "int a[] = {1};\r\n" : "");
    }
}

TEST(TextFile, WriteReplacesTheTargetOfALinkAndKeepsPermissions) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string target = Path(dir, "real.h");
    const std::string link = Path(dir, "link.h");
    Put(target, "old");
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(target),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(QString::fromStdString(target), QString::fromStdString(link)));

    CFileStamp stamp;
    ASSERT_EQ(CTextFile::Write(link, "new\r\n", stamp), FileError::None);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(Get(target), "new\r\n");
    EXPECT_EQ(QFile::permissions(QString::fromStdString(target)),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser |
                  QFile::WriteUser);
    EXPECT_TRUE(CTextFile::IsUnchanged(link, stamp));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

TEST(TextFile, AFailedWriteLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder the user may not write in, inside one every user may enter.
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::string locked = (folder + "/icons.h").toStdString();
    Put(locked, "original");
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner |
                          QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, readable));
    EXPECT_EQ(WriteUnprivileged(locked, "changed"), FileError::PermissionDenied);
    EXPECT_EQ(Get(locked), "original");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
    QFile::setPermissions(folder, readable | QFile::WriteOwner);

    // The folder gone since the file was read.
    const QString gone = dir.filePath("gone");
    ASSERT_TRUE(QDir().mkdir(gone));
    const std::string orphan = (gone + "/sprites.h").toStdString();
    Put(orphan, "x");
    ASSERT_TRUE(QDir(gone).removeRecursively());
    CFileStamp stamp;
    EXPECT_EQ(CTextFile::Write(orphan, "y", stamp), FileError::FolderGone);
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST(TextFile, NoticesAFileChangedBehindItsBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = Path(dir, "sprites.h");
    Put(path, "unsigned char a[] = {1};\n");
    std::string text;
    CFileStamp stamp;
    ASSERT_EQ(CTextFile::Read(path, text, stamp), FileError::None);
    EXPECT_TRUE(CTextFile::IsUnchanged(path, stamp));

    // Rewritten with the same bytes: no change worth asking about.
    Put(path, "unsigned char a[] = {1};\n");
    EXPECT_TRUE(CTextFile::IsUnchanged(path, stamp));
    // The same size, other contents.
    Put(path, "unsigned char a[] = {2};\n");
    EXPECT_FALSE(CTextFile::IsUnchanged(path, stamp));
    QFile::remove(QString::fromStdString(path));
    EXPECT_FALSE(CTextFile::IsUnchanged(path, stamp));
}

TEST(TextFile, EveryErrorHasAMessageNamingTheFile) {
    for (int error = static_cast<int>(FileError::NotFound);
         error <= static_cast<int>(FileError::WriteFailed); ++error) {
        const CString message = FileErrorMessage(static_cast<FileError>(error), "/x/icons.h");
        EXPECT_NE(message.str().find("/x/icons.h"), std::string::npos) << error;
    }
    EXPECT_TRUE(FileErrorMessage(FileError::None, "/x/icons.h").IsEmpty());
}

} // namespace
