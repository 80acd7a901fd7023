#include "imaging/PelCodec.h"
#include "platform/SharedLibrary.h"
#include "tests/support/BitmapSamples.h"
#include "tests/support/BuiltProgramFolder.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstddef>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Encodes through the program's binding and decodes through the library's own export.
class Base64 : public ::testing::Test {
  protected:
    BuiltProgramFolder programFolder;
    QTemporaryDir dir;
    QString in = dir.filePath(QStringLiteral("in.bin"));
    QString out = dir.filePath(QStringLiteral("out.bin"));

    QByteArray Encode(const QByteArray& bytes) {
        WriteWholeFile(in, bytes);
        int result = 0;
        EXPECT_TRUE(b64encode(in, out, result));
        EXPECT_EQ(result, 1);
        return ReadWholeFile(out);
    }

    QByteArray Decode(const QByteArray& text) {
        WriteWholeFile(in, text);
        EXPECT_EQ(CallDecode(in, out), 1);
        return ReadWholeFile(out);
    }

    int CallDecode(const QString& from, const QString& to) {
        static SharedLibrary library("libpelcodec.so");
        QString error;
        auto decode = reinterpret_cast<int (*)(const char*, const char*)>(
            library.Resolve("b64decode", error));
        EXPECT_NE(decode, nullptr) << error.toStdString();
        return decode
                   ? decode(QFile::encodeName(from).constData(), QFile::encodeName(to).constData())
                   : -1;
    }

    // What coreutils base64 makes of in (with the arguments given).
    QByteArray Coreutils(const QStringList& arguments) {
        QProcess base64;
        base64.start(QStringLiteral("base64"), arguments + QStringList{in});
        EXPECT_TRUE(base64.waitForFinished(30000));
        EXPECT_EQ(base64.exitCode(), 0);
        return base64.readAllStandardOutput();
    }
};

} // namespace

TEST_F(Base64, ShortInputsPadTheirLastGroup) {
    EXPECT_EQ(Encode(""), "");
    EXPECT_EQ(Encode("a"), "YQ==");
    EXPECT_EQ(Encode("ab"), "YWI=");
    EXPECT_EQ(Encode("abc"), "YWJj");
    EXPECT_EQ(Encode("abcd"), "YWJjZA==");
    EXPECT_EQ(Encode(QByteArray("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(Decode("YWJj"), "abc");
    EXPECT_EQ(Decode("YQ=="), "a");
    EXPECT_EQ(Decode("YWI="), "ab");
    EXPECT_EQ(Decode(""), "");
}

TEST_F(Base64, LineBreaksAreIgnored) {
    const QByteArray text = Encode("The quick brown fox jumps over the lazy dog.");
    QByteArray crlf;
    QByteArray lf;
    for (int at = 0; at < text.size(); at += 8) {
        crlf += text.mid(at, 8) + "\r\n";
        lf += text.mid(at, 8) + "\n";
    }
    EXPECT_EQ(Decode(crlf), "The quick brown fox jumps over the lazy dog.");
    EXPECT_EQ(Decode(lf), "The quick brown fox jumps over the lazy dog.");
    EXPECT_EQ(Decode("YW\r\nJj\n"), "abc");
}

TEST_F(Base64, ShortLastGroupsDecodeTheirWholeBytes) {
    EXPECT_EQ(Decode("YWJjYQ"), "abca");
    EXPECT_EQ(Decode("YWJjYWI"), "abcab");
    EXPECT_EQ(Decode("YWJjY"), "abc");
    EXPECT_EQ(Decode("YQ="), "a");
    EXPECT_EQ(Decode("===="), "");
    // Characters outside the alphabet count as 0, "=" inside the text too.
    EXPECT_EQ(Decode("Y*I=YQ=="), QByteArray("\x60\x02\x00"
                                             "a",
                                             4));
    EXPECT_EQ(Decode("YQ==YWJj"), QByteArray("a\0\0abc", 6));
}

TEST_F(Base64, RandomFilesAgreeWithCoreutils) {
    QRandomGenerator random(20240611);
    QList<int> sizes;
    for (int size = 0; size < 70; ++size)
        sizes << size;
    sizes << 1023 << 1024 << 1025 << 65535 << 196608 << 196609 << 196610 << 1000003;
    for (int size : sizes) {
        QByteArray bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        const QByteArray text = Encode(bytes);
        ASSERT_EQ(text, Coreutils({QStringLiteral("-w0")})) << size;
        ASSERT_EQ(text.size(), (size + 2) / 3 * 4);
        ASSERT_EQ(Decode(text), bytes) << size;
        // Line-broken text as coreutils writes it, back to the bytes coreutils decodes.
        WriteWholeFile(in, bytes);
        const QByteArray wrapped = Coreutils({});
        WriteWholeFile(in, wrapped);
        ASSERT_EQ(Coreutils({QStringLiteral("-d")}), bytes);
        ASSERT_EQ(Decode(wrapped), bytes) << size;
    }
}

TEST_F(Base64, EncodesAFileIntoItself) {
    WriteWholeFile(in, "abcd");
    int result = 0;
    ASSERT_TRUE(b64encode(in, in, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadWholeFile(in), "YWJjZA==");
    EXPECT_EQ(CallDecode(in, in), 1);
    EXPECT_EQ(ReadWholeFile(in), "abcd");
}

TEST_F(Base64, AnOutputThatIsNoRegularFileIsNeverRemoved) {
    // A pipe stands for a device: writing into it may fail, removing it must not happen.
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    WriteWholeFile(in, "abc");
    int result = -1;
    ASSERT_TRUE(b64encode(in, pipe, result));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(Base64, FileErrorsAnswerZero) {
    int result = -1;
    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder.asc"));
    ASSERT_TRUE(b64encode(missing, out, result));
    EXPECT_EQ(result, 0);
    WriteWholeFile(in, "abc");
    ASSERT_TRUE(b64encode(in, unwritable, result));
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(b64encode(dir.path(), out, result)); // a folder is no file
    EXPECT_EQ(result, 0);
    EXPECT_EQ(CallDecode(missing, out), 0);
    EXPECT_EQ(CallDecode(in, unwritable), 0);
}

namespace {

// From now on the process can start no thread: clone and clone3 fail with EAGAIN.
bool ForbidNewThreads() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone3, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN),
    };
    sock_fprog program{sizeof filter / sizeof filter[0], filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Whether the process still maps the file at path.
bool IsMapped(const QString& path) {
    return ReadWholeFile(QStringLiteral("/proc/self/maps")).contains(QFile::encodeName(path));
}

} // namespace

TEST_F(Base64, ALargeFileEncodesWhereNoThreadCanStart) {
    // Large enough for the mapped output; a whole number of huge pages of text and some more.
    QByteArray bytes(9 << 20, '\0');
    QRandomGenerator random(20261209);
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    WriteWholeFile(in, bytes);
    int result = 0;
    ASSERT_TRUE(b64encode(in, out, result)); // binds the library before the fork
    ASSERT_EQ(result, 1);
    QFile::remove(out);

    // The child reports through its exit code: 1 the call succeeded, 2 the output stayed mapped,
    // 4 no filter could be installed.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!ForbidNewThreads())
            _exit(4);
        int answer = 0;
        const bool bound = b64encode(in, out, answer);
        _exit((bound && answer == 1 ? 1 : 0) | (IsMapped(out) ? 2 : 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status) & 4, 4) << "no seccomp filter";
    EXPECT_EQ(WEXITSTATUS(status) & 1, 1) << "b64encode failed";
    EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "the output stayed mapped";
    EXPECT_TRUE(ReadWholeFile(out) == bytes.toBase64()); // too long to print
}

TEST(SharedLibrary, ReportsTheLoadersMessage) {
    BuiltProgramFolder programFolder;
    SharedLibrary missing("libpelnothing.so");
    QString error;
    EXPECT_FALSE(missing.Load(error));
    EXPECT_TRUE(error.contains(QStringLiteral("libpelnothing.so"))) << error.toStdString();
    EXPECT_EQ(missing.Resolve("b64encode", error), nullptr);

    SharedLibrary codec("libpelcodec.so");
    EXPECT_NE(codec.Resolve("b64encode", error), nullptr);
    // Only the two functions leave the library.
    EXPECT_EQ(codec.Resolve("_ZN12_GLOBAL__N_16EncodeEPKcS1_", error), nullptr);
    EXPECT_FALSE(error.isEmpty());
}
