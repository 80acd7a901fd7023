#include "platform/CodePage.h"
#include "settings/CParams.h"
#include "settings/SettingKeys.h"
#include "settings/modFileAccess.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QString Value(const CParams& params, const QString& key) {
    const CParamItem* item = params.Item(key);
    return item ? item->Text() : QStringLiteral("<absent>");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SettingsReader, CommentsKeysAndValues) {
    const CParams params = TextToParams(QStringLiteral("//\r\n"
                                                       "   // comment=1\r\n"
                                                       "\r\n"
                                                       "k = v\r\n"
                                                       "a=b=c\r\n"
                                                       "no equals sign\r\n"
                                                       "=empty key\r\n"
                                                       "\ttabbed = x \r\n"));
    EXPECT_EQ(params.Count(), 3);
    EXPECT_EQ(Value(params, "k"), "v");
    EXPECT_EQ(Value(params, "a"), "b=c");
    EXPECT_EQ(Value(params, "\ttabbed"), "x"); // tabs are not trimmed
    EXPECT_EQ(Value(params, "comment"), "<absent>");
}

TEST(SettingsReader, ListValues) {
    const CParams params =
        TextToParams(QStringLiteral("AcceptedMailAddrs,=p,q\r\nEmpty,=\r\nSpaced,=p, q\r\n"));
    ASSERT_TRUE(params.Item("AcceptedMailAddrs")->IsList());
    EXPECT_EQ(params.Item("AcceptedMailAddrs")->List(), QStringList({"p", "q"}));
    ASSERT_TRUE(params.Item("Empty")->IsList());
    EXPECT_TRUE(params.Item("Empty")->List().isEmpty());
    EXPECT_EQ(params.Item("Spaced")->List(), QStringList({"p", " q"}));
}

TEST(SettingsReader, KeysIgnoreAsciiCaseAndKeepTheirFirstValue) {
    const CParams params =
        TextToParams(QStringLiteral("WINDOWLEFT=10\r\nwindowleft=20\r\nb=2\r\n"));
    EXPECT_EQ(params.Count(), 2);
    EXPECT_EQ(Value(params, "WindowLeft"), "10");
    EXPECT_EQ(params.Item(1)->Cmd, "WINDOWLEFT");
    EXPECT_EQ(params.Item(2)->Cmd, "b");
    EXPECT_EQ(params.Item(3), nullptr);
    EXPECT_EQ(params.Item(0), nullptr);
}

TEST(SettingsParams, LookUpFoldsOnlyAsciiLettersAndSurvivesRemoval) {
    CParams params;
    ASSERT_NE(params.Add("Alpha", QStringLiteral("1")), nullptr);
    ASSERT_NE(params.Add(QString::fromUtf8("Ärger"), QStringLiteral("2")), nullptr);
    ASSERT_NE(params.Add("Gamma", QStringList({"x"})), nullptr);
    ASSERT_NE(params.Add(QString::fromUtf8("ｋｅｙ"), QStringLiteral("4")), nullptr);
    EXPECT_EQ(params.Add("ALPHA", QStringLiteral("again")), nullptr);
    EXPECT_EQ(params.Add(QString(), QStringLiteral("empty")), nullptr);
    // Letters beyond ASCII are compared as they are.
    EXPECT_EQ(Value(params, QString::fromUtf8("ärger")), "<absent>");
    EXPECT_EQ(Value(params, QString::fromUtf8("ÄRGER")), "2");
    EXPECT_EQ(Value(params, QString::fromUtf8("ＫＥＹ")), "<absent>");
    EXPECT_EQ(Value(params, "alpha"), "1");

    // Removing one keeps the others under their keys and in their order.
    EXPECT_TRUE(params.Remove("alpha"));
    EXPECT_FALSE(params.Remove("Alpha"));
    EXPECT_EQ(params.Count(), 3);
    EXPECT_EQ(Value(params, "Alpha"), "<absent>");
    EXPECT_EQ(Value(params, QString::fromUtf8("Ärger")), "2");
    EXPECT_EQ(params.Item("gamma")->List(), QStringList({"x"}));
    EXPECT_EQ(params.Item(1)->Cmd, QString::fromUtf8("Ärger"));
    EXPECT_EQ(params.Item(3)->Cmd, QString::fromUtf8("ｋｅｙ"));
    // A removed key can be added again and comes last.
    ASSERT_NE(params.Add("aLPHA", QStringLiteral("new")), nullptr);
    EXPECT_EQ(Value(params, "Alpha"), "new");
    EXPECT_EQ(params.Item(4)->Cmd, "aLPHA");
    QStringList order;
    for (const CParamItem& item : params)
        order << item.Cmd;
    EXPECT_EQ(order, QStringList({QString::fromUtf8("Ärger"), "Gamma", QString::fromUtf8("ｋｅｙ"),
                                  "aLPHA"}));
}

TEST(SettingsReader, LineFeedAloneDoesNotEndALine) {
    const CParams params = TextToParams(QStringLiteral("a=1\nb=2\n"));
    EXPECT_EQ(params.Count(), 1);
    EXPECT_EQ(Value(params, "a"), "1\nb=2\n");
}

TEST(SettingsWriter, WritesTheTableOrderUnderTheCommentBlock) {
    CParams params;
    params.Add("Second", ParamNumberText(-7));
    params.Add("First", QStringLiteral("テキスト"));
    params.Add("List", QStringList({"p@x", "q@y"}));
    params.Add("Unlisted", QStringLiteral("dropped"));
    EXPECT_EQ(ParamsToText("Title", params, {"First", "Second", "List", "Missing"}),
              QStringLiteral("//\r\n// Title\r\n//\r\n\r\n"
                             "First=テキスト\r\nSecond=-7\r\nList,=p@x,q@y\r\n\r\n"));
}

TEST(SettingsWriter, ValueWithALineEndKeepsItsFirstLine) {
    CParams params;
    params.Add("Subject", QStringLiteral("one\r\ntwo=2"));
    const QString text = ParamsToText("T", params, {"Subject"});
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nSubject=one\r\n\r\n")));
    EXPECT_EQ(TextToParams(text).Count(), 1);
}

TEST(SettingsWriter, RoundTripKeepsKeysTextsAndLists) {
    CParams params;
    params.Add("Name", QStringLiteral("カメラ 1"));
    params.Add("Width", ParamNumberText(100.5f));
    params.Add("Addrs", QStringList({"a@b", "", "c@d"}));
    params.Add("None", QStringList());
    const QStringList table{"Name", "Width", "Addrs", "None"};
    const CParams back = TextToParams(ParamsToText("T", params, table));
    ASSERT_EQ(back.Count(), 4);
    EXPECT_EQ(Value(back, "Name"), QStringLiteral("カメラ 1"));
    EXPECT_EQ(Value(back, "Width"), "100.5");
    EXPECT_EQ(back.Item("Addrs")->List(), QStringList({"a@b", "", "c@d"}));
    EXPECT_TRUE(back.Item("None")->IsList());
}

TEST(SettingsNumbers, TextOfNumbers) {
    EXPECT_EQ(ParamNumberText(100.0f), "100");
    EXPECT_EQ(ParamNumberText(100.5f), "100.5");
    EXPECT_EQ(ParamNumberText(100.4667f), "100.4667");
    EXPECT_EQ(ParamNumberText(-2147483647 - 1), "-2147483648");
}

TEST(SettingsNumbers, ReadingRoundsHalvesToEvenAndRefusesWhatIsNoNumber) {
    const std::pair<const char*, int> good[] = {{"2.5", 2},       {"3.5", 4},
                                                {"-2.5", -2},     {" 12 ", 12},
                                                {"-5", -5},       {"2147483647", 2147483647},
                                                {"100.4667", 100}};
    for (const auto& [text, expected] : good) {
        int value = 99;
        EXPECT_TRUE(ReadParamNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"", "abc", "12abc", "2147483648", "-2147483649", "nan", "inf"}) {
        int value = 99;
        EXPECT_FALSE(ReadParamNumber(text, value)) << text;
        EXPECT_EQ(value, 99) << text;
    }
}

TEST(SettingsKeys, TablesHoldTheirKeysInOrder) {
    InitSettingKeys();
    EXPECT_EQ(OptionKeys().size(), 8);
    EXPECT_EQ(MailAccountKeys().size(), 9);
    EXPECT_EQ(ResponseSettingKeys().size(), 12);
    EXPECT_EQ(OptionKeys().first(), "WindowLeft");
    EXPECT_EQ(ResponseSettingKeys().last(), "SendMail_Body");
}

TEST(SettingsKeysDeathTest, AMismatchedCountEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CheckKeyCount(7, OptionKeys()), testing::ExitedWithCode(EXIT_FAILURE),
                "failed to count");
    CheckKeyCount(8, OptionKeys()); // a matching count returns
}

TEST(SettingsFiles, TextFilesAreCodePage932AndEmptyCountsAsMissing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.opt");
    QString text;
    EXPECT_FALSE(LoadTextFile(path, text));
    ASSERT_TRUE(SaveTextFile(path, QStringLiteral("件名=あ\r\n")));
    EXPECT_EQ(ReadAll(path), ToCodePage932(QStringLiteral("件名=あ\r\n")));
    EXPECT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text, QStringLiteral("件名=あ\r\n"));
    ASSERT_TRUE(SaveTextFile(path, QString()));
    EXPECT_FALSE(LoadTextFile(path, text));
    QByteArray bytes;
    EXPECT_FALSE(LoadBinaryFile(path, bytes));
}

TEST(SettingsFiles, SaveReplacesTheFileWholeInsteadOfRewritingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("main.opt");
    const QString link = dir.filePath("previous");
    ASSERT_TRUE(SaveTextFile(path, QStringLiteral("old=1\r\n")));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(SaveTextFile(path, QStringLiteral("new=2\r\n")));
    // The old file was never opened for writing: a second name for it still holds it whole.
    EXPECT_EQ(ReadAll(path), QByteArray("new=2\r\n"));
    EXPECT_EQ(ReadAll(link), QByteArray("old=1\r\n"));
}

TEST(SettingsFiles, AFailedSaveLeavesTheOldFileAndNoDebris) {
    QTemporaryDir dir;
    const QString path = dir.filePath("main.mla");
    ASSERT_TRUE(SaveTextFile(path, QStringLiteral("good=1\r\n")));
    // A file size limit makes the write fail part-way, as a full disk would.
    // Small files too: they reach the disk only when the buffer is flushed.
    for (const qsizetype size : {100000, 10}) {
        bool ok;
        {
            const FileSizeLimit limit(size > 4096 ? 4096 : 0);
            ok = SaveTextFile(path, QString(size, u'x'));
        }
        EXPECT_FALSE(ok) << size;
        EXPECT_EQ(ReadAll(path), QByteArray("good=1\r\n")) << size;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"main.mla"})) << size;
    }
}

TEST(SettingsFiles, FolderHelpers) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("options");
    MakeFolder(folder);
    MakeFolder(folder); // exists: ignored
    MakeFolder(dir.filePath("no/such/parent"));
    EXPECT_TRUE(QDir(folder).exists());
    for (const char* name : {"002.csp", "1000.csp", "010.csp", "001.csp", "main.opt", "999.csp"})
        ASSERT_TRUE(SaveTextFile(folder + "/" + name, "x"));
    QDir(folder).mkdir("999.csp"); // a folder is not a file
    QStringList paths;
    ASSERT_TRUE(ListFiles(folder, "*.csp", paths));
    EXPECT_EQ(paths, QStringList({folder + "/001.csp", folder + "/002.csp", folder + "/010.csp",
                                  folder + "/999.csp", folder + "/1000.csp"}));
    EXPECT_FALSE(ListFiles(folder + "/", "*.rul", paths));
    EXPECT_TRUE(paths.isEmpty());
    DeleteFiles(folder + "/", "*.csp");
    EXPECT_FALSE(ListFiles(folder, "*.csp", paths));
    EXPECT_TRUE(QFile::exists(folder + "/main.opt"));
}
