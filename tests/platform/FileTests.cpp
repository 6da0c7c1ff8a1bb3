// Files the editor opens as documents: a read refuses what no document is,
// a write either replaces the whole file or leaves it as it was, and a file
// changed on disk since it was read is noticed.

#include "File.h"
#include "StateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The most a read in these tests takes.
constexpr std::size_t kLimit = std::size_t{1} << 20;

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

// What `run` gives (a small number) when a user without privileges runs it:
// root writes anywhere, so for root it runs in a child process that gives
// them up first; -1 if that child fails.
template <typename Run>
int RunUnprivileged(Run run) {
    if (geteuid() != 0)
        return run();
    const pid_t child = fork();
    if (child == 0) {
        const bool bDropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(bDropped ? run() : 100);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) != 100 ? WEXITSTATUS(status) : -1;
}

FileError WriteUnprivileged(const std::string& path, const std::string& text) {
    const int result = RunUnprivileged([&] {
        CFileStamp stamp;
        return static_cast<int>(CTextFile::Write(path, text, stamp));
    });
    return result < 0 ? FileError::WriteFailed : static_cast<FileError>(result);
}

TEST(TextFile, ReadRefusesWhatIsNoDocument) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Put(Path(dir, "big.h"), "");
    ASSERT_TRUE(
        QFile::resize(QString::fromStdString(Path(dir, "big.h")), static_cast<qint64>(kLimit) + 1));
    Put(Path(dir, "ok.h"), "int a[] = {1};\r\n");

    struct Case {
        std::string path;
        FileError error;
    };
    const Case cases[] = {
        {Path(dir, "missing.h"), FileError::NotFound},
        {dir.path().toStdString(), FileError::Unreadable},
        {Path(dir, "big.h"), FileError::TooLarge},
        {Path(dir, "ok.h"), FileError::None},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        std::string text = "stale";
        CFileStamp stamp;
        EXPECT_EQ(CTextFile::Read(entry.path, kLimit, text, stamp), entry.error);
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
    ASSERT_EQ(CTextFile::Read(path, kLimit, text, stamp), FileError::None);
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

// ---------------------------------------------------------------------------
// State kept between runs

// Sets an environment variable (or unsets it, given null) until the end of
// the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value)
        : m_name(name), m_bHad(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        Set(value);
    }
    ~ScopedVariable() { Set(m_bHad ? m_old.constData() : nullptr); }
    void Set(const char* value) {
        if (value)
            qputenv(m_name, value);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_bHad;
    QByteArray m_old;
};

TEST(StateFile, TheFolderIsAnAbsoluteXdgStateHomeElseInTheHome) {
    ScopedVariable home("HOME", "/home/ada");
    ScopedVariable state("XDG_STATE_HOME", nullptr);
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "/home/ada/.local/state/glimmet"},
        {"", "/home/ada/.local/state/glimmet"},
        {"relative/state", "/home/ada/.local/state/glimmet"},
        {"/var/state/ada", "/var/state/ada/glimmet"},
    };
    for (const auto& [value, folder] : cases) {
        SCOPED_TRACE(value ? value : "(unset)");
        state.Set(value);
        EXPECT_EQ(AfxGetStateFolder("glimmet"), folder);
    }
}

TEST(StateFile, AMissingFolderIsMadeOnTheFirstWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.filePath("deep/state");
    ScopedVariable state("XDG_STATE_HOME", base.toUtf8().constData());
    std::string text = "stale";
    EXPECT_FALSE(AfxReadStateFile("glimmet", "history", kLimit, text));
    EXPECT_EQ(text, "");

    ASSERT_TRUE(AfxWriteStateFile("glimmet", "history", "one\n"));
    EXPECT_EQ(QFile::permissions(base + "/glimmet") & (QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
    ASSERT_TRUE(AfxWriteStateFile("glimmet", "history", "two\n"));
    EXPECT_TRUE(AfxReadStateFile("glimmet", "history", kLimit, text));
    EXPECT_EQ(text, "two\n");
    EXPECT_EQ(QDir(base + "/glimmet").entryList(QDir::Files | QDir::Hidden),
              QStringList{"history"});
}

TEST(StateFile, AReadOnlyFolderLeavesTheOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedVariable state("XDG_STATE_HOME", dir.path().toUtf8().constData());
    ASSERT_TRUE(AfxWriteStateFile("glimmet", "history", "old\n"));
    const QString folder = dir.filePath("glimmet");
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner |
                          QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, readable));
    EXPECT_EQ(
        RunUnprivileged([] { return AfxWriteStateFile("glimmet", "history", "new\n") ? 1 : 0; }),
        0);
    QFile::setPermissions(folder, readable | QFile::WriteOwner);
    std::string text;
    EXPECT_TRUE(AfxReadStateFile("glimmet", "history", kLimit, text));
    EXPECT_EQ(text, "old\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"history"});
}

} // namespace
