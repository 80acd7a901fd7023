#include "settings/ResponseSettingFiles.h"
#include "settings/ResponseSettingCollection.h"
#include "settings/modFileAccess.h"

#include "tests/settings/SettingsFilesFixture.h"

#include <QDir>

namespace {

CResAccount Named(const QString& name) {
    CResAccount setting;
    setting.Name = name;
    return setting;
}

QStringList Names(const std::vector<CResAccount>& settings) {
    QStringList names;
    for (const CResAccount& setting : settings)
        names << setting.Name;
    return names;
}

// A complete file for a setting of this name with the default values.
QString CspText(const QString& name) {
    return QStringLiteral("//\r\n// Responce Account\r\n//\r\n\r\nName=") + name +
           QStringLiteral("\r\nDoReduction=1\r\nReductionWidth=200\r\nReductionType=0\r\n"
                          "RotationType=0\r\nColorBit=24\r\nFormatType=0\r\nJPEGProgressive=0\r\n"
                          "JPEGCompression=1\r\nAcceptedMailAddrs=\r\nSendMail_Subject=\r\n"
                          "SendMail_Body=\r\n\r\n");
}

} // namespace

class ResponseSettingFilesTest : public SettingsFilesFixture {
  protected:
    QStringList CspFiles() const {
        return QDir(Options()).entryList({QStringLiteral("*.csp")}, QDir::Files, QDir::Name);
    }
    void Load(int expectedCount, bool expectedError) {
        int count = -1;
        bool isError = !expectedError;
        LoadResponseSettingFiles(Options(), count, isError);
        EXPECT_EQ(count, expectedCount);
        EXPECT_EQ(isError, expectedError);
    }
};

TEST_F(ResponseSettingFilesTest, FileIsByteExactAndAddressesKeepListOrTextForm) {
    CResAccount withAddresses = Named(QString::fromUtf8("家族"));
    withAddresses.DoReduction = 0;
    withAddresses.ReductionWidth = 640;
    withAddresses.RotationType = 3;
    withAddresses.ColorBit = 8;
    withAddresses.FormatType = 2;
    withAddresses.JPEGCompression = 100;
    withAddresses.vAcceptedMailAddrs =
        QStringList{QStringLiteral("a@x.jp"), QStringLiteral("b@y.jp")};
    withAddresses.SendMail_Subject = QString::fromUtf8("カメラ画像");
    withAddresses.SendMail_Body = QStringLiteral("Here = it is, enjoy");
    SaveResponseSettingFiles(Options(), {withAddresses, Named(QStringLiteral("nobody"))});

    EXPECT_EQ(ReadOption(QStringLiteral("001.csp")),
              QByteArray("//\r\n// Responce Account\r\n//\r\n\r\nName=\x89\xc6\x91\xb0\r\n"
                         "DoReduction=0\r\nReductionWidth=640\r\nReductionType=0\r\n"
                         "RotationType=3\r\nColorBit=8\r\nFormatType=2\r\nJPEGProgressive=0\r\n"
                         "JPEGCompression=100\r\nAcceptedMailAddrs,=a@x.jp,b@y.jp\r\n"
                         "SendMail_Subject=\x83\x4a\x83\x81\x83\x89\x89\xe6\x91\x9c\r\n"
                         "SendMail_Body=Here = it is, enjoy\r\n\r\n"));
    EXPECT_EQ(OptionText(QStringLiteral("002.csp")), CspText(QStringLiteral("nobody")));

    Load(2, false);
    ASSERT_EQ(ResponseSettings.size(), 2u);
    const CResAccount& first = ResponseSettings[0];
    EXPECT_EQ(first.Name, withAddresses.Name);
    EXPECT_EQ(first.DoReduction, 0);
    EXPECT_EQ(first.ReductionWidth, 640);
    EXPECT_EQ(first.RotationType, 3);
    EXPECT_EQ(first.ColorBit, 8);
    EXPECT_EQ(first.FormatType, 2);
    EXPECT_EQ(first.JPEGCompression, 100);
    EXPECT_EQ(first.vAcceptedMailAddrs, withAddresses.vAcceptedMailAddrs);
    EXPECT_EQ(first.SendMail_Subject, withAddresses.SendMail_Subject);
    EXPECT_EQ(first.SendMail_Body, withAddresses.SendMail_Body);
    // Never given addresses: an empty text, not an empty list.
    EXPECT_EQ(ResponseSettings[1].vAcceptedMailAddrs, ParamValue(QString()));
}

TEST_F(ResponseSettingFilesTest, SubjectAndBodyWrittenInTheFileSurviveALoadAndASave) {
    const QByteArray file = "//\r\n// Responce Account\r\n//\r\n\r\nName=n\r\nDoReduction=1\r\n"
                            "ReductionWidth=200\r\nReductionType=1\r\nRotationType=0\r\n"
                            "ColorBit=24\r\nFormatType=1\r\nJPEGProgressive=1\r\n"
                            "JPEGCompression=1\r\nAcceptedMailAddrs,=\r\n"
                            "SendMail_Subject=\x8e\xca\x90\x5e\r\nSendMail_Body=body text\r\n\r\n";
    folder.Write(QStringLiteral("options/001.csp"), file);
    Load(1, false);
    ASSERT_EQ(ResponseSettings.size(), 1u);
    EXPECT_EQ(ResponseSettings[0].SendMail_Subject, QString::fromUtf8("写真"));
    EXPECT_EQ(ResponseSettings[0].SendMail_Body, QStringLiteral("body text"));
    EXPECT_EQ(ResponseSettings[0].vAcceptedMailAddrs, ParamValue(QStringList()));
    SaveResponseSettingFiles(Options(), ResponseSettings);
    EXPECT_EQ(ReadOption(QStringLiteral("001.csp")), file);
}

TEST_F(ResponseSettingFilesTest, DeletingTheSecondOfFiveSavesExactlyThreeFilesInOrder) {
    std::vector<CResAccount> settings;
    for (const char* name : {"one", "two", "three", "four", "five"})
        settings.push_back(Named(QString::fromLatin1(name)));
    SaveResponseSettingFiles(Options(), settings);
    EXPECT_EQ(CspFiles().size(), 5);
    settings.erase(settings.begin() + 1);
    settings.pop_back();
    SaveResponseSettingFiles(Options(), settings);
    EXPECT_EQ(CspFiles(), (QStringList{"001.csp", "002.csp", "003.csp"}));
    Load(3, false);
    EXPECT_EQ(Names(ResponseSettings), (QStringList{"one", "three", "four"}));
}

TEST_F(ResponseSettingFilesTest, FilesLoadInTheOrderOfTheirNumbers) {
    for (const char* file : {"010.csp", "002.csp", "001.csp", "003.csp"})
        WriteOption(QString::fromLatin1(file), CspText(QString::fromLatin1(file).left(3)));
    Load(4, false);
    EXPECT_EQ(Names(ResponseSettings), (QStringList{"001", "002", "003", "010"}));
}

TEST_F(ResponseSettingFilesTest, DamagedFilesAreDroppedAndFlaggedEmptyOnesSkipped) {
    Load(0, false); // no file at all
    WriteOption(QStringLiteral("001.csp"), CspText(QStringLiteral("good")));
    WriteOption(QStringLiteral("002.csp"), CspText(QString()));
    WriteOption(QStringLiteral("003.csp"),
                CspText(QStringLiteral("nocolor")).remove(QStringLiteral("ColorBit=24\r\n")));
    WriteOption(QStringLiteral("004.csp"),
                CspText(QStringLiteral("badnumber"))
                    .replace(QStringLiteral("=200"), QStringLiteral("=wide")));
    Load(1, true);
    EXPECT_EQ(Names(ResponseSettings), QStringList{"good"});

    QDir(Options()).remove(QStringLiteral("002.csp"));
    QDir(Options()).remove(QStringLiteral("003.csp"));
    QDir(Options()).remove(QStringLiteral("004.csp"));
    WriteOption(QStringLiteral("005.csp"), QString()); // zero bytes: as if missing
    Load(1, false);
}

TEST_F(ResponseSettingFilesTest, AFileOverSixteenMebibytesIsDamaged) {
    WriteOption(QStringLiteral("001.csp"),
                PaddedTo(CspText(QStringLiteral("largest")), LargestSettingsFile));
    WriteOption(QStringLiteral("002.csp"),
                PaddedTo(CspText(QStringLiteral("too large")), LargestSettingsFile + 1));
    WriteOption(QStringLiteral("003.csp"), CspText(QStringLiteral("small")));
    Load(2, true);
    EXPECT_EQ(Names(ResponseSettings), (QStringList{"largest", "small"}));
}

TEST_F(ResponseSettingFilesTest, SecondFileWithALoadedNameIsDroppedSilentlyButCounted) {
    WriteOption(QStringLiteral("001.csp"), CspText(QStringLiteral("same")));
    WriteOption(
        QStringLiteral("002.csp"),
        CspText(QStringLiteral("same")).replace(QStringLiteral("=200"), QStringLiteral("=999")));
    WriteOption(QStringLiteral("003.csp"), CspText(QStringLiteral("Same")));
    Load(3, false);
    ASSERT_EQ(Names(ResponseSettings), (QStringList{"same", "Same"}));
    EXPECT_EQ(ResponseSettings[0].ReductionWidth, 200);
}

TEST_F(ResponseSettingFilesTest, NumbersRoundHalfToEvenAndFailingKeysKeepTheirDefaults) {
    CParams params = TextToParams(
        CspText(QStringLiteral("n"))
            .replace(QStringLiteral("ReductionWidth=200"), QStringLiteral("ReductionWidth=320.5"))
            .replace(QStringLiteral("ColorBit=24"), QStringLiteral("ColorBit=eight"))
            .replace(QStringLiteral("RotationType=0"), QStringLiteral("RotationType=2.5")));
    CResAccount setting;
    EXPECT_FALSE(ParamsToResponseSetting(params, setting));
    EXPECT_EQ(setting.ReductionWidth, 320);
    EXPECT_EQ(setting.RotationType, 2);
    EXPECT_EQ(setting.ColorBit, 24);
    EXPECT_EQ(setting.Name, QStringLiteral("n")); // later keys are still read
}

TEST_F(ResponseSettingFilesTest, NamesStayUniqueAndPositionsCountFromOne) {
    EXPECT_EQ(FindResponseSettingByName(QStringLiteral("a")), 0);
    EXPECT_TRUE(AddResponseSetting(Named(QStringLiteral("a"))));
    EXPECT_TRUE(AddResponseSetting(Named(QStringLiteral("b"))));
    EXPECT_TRUE(AddResponseSetting(Named(QStringLiteral("A"))));
    EXPECT_FALSE(AddResponseSetting(Named(QStringLiteral("b"))));
    EXPECT_EQ(ResponseSettings.size(), 3u);
    EXPECT_EQ(FindResponseSettingByName(QStringLiteral("b")), 2);
    EXPECT_EQ(FindResponseSettingByName(QStringLiteral("A")), 3);
}

TEST_F(ResponseSettingFilesTest, FindingTheSettingOfAnAddressSkipsOneAndEmptyEntries) {
    CResAccount first = Named(QStringLiteral("first")), second = Named(QStringLiteral("second"));
    first.vAcceptedMailAddrs = QStringList{QString(), QStringLiteral("a@example.jp")};
    second.vAcceptedMailAddrs =
        QStringList{QStringLiteral("b@example.jp"), QStringLiteral("a@example.jp")};
    CResAccount none = Named(QStringLiteral("none")); // never given addresses: a text
    none.vAcceptedMailAddrs = QStringLiteral("c@example.jp");
    ResponseSettings = {first, second, none};

    const struct {
        const char* address;
        int skipIndex;
        bool found;
        int index;
    } cases[] = {
        {"a@example.jp", 0, true, 1},
        {"a@example.jp", 1, true, 2},
        {"a@example.jp", 2, true, 1},
        {"b@example.jp", 2, false, -1},
        {"A@example.jp", 0, false, -1},
        {" a@example.jp", 0, false, -1},
        {"", 0, false, -1},
        {"c@example.jp", 0, false, -1},
    };
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(FindResponseSetting(QString::fromLatin1(c.address), index, c.skipIndex), c.found)
            << c.address << " skipping " << c.skipIndex;
        EXPECT_EQ(index, c.index) << c.address << " skipping " << c.skipIndex;
    }
}

// Each save below fails at one file; whatever the old files held must still load.
TEST_F(ResponseSettingFilesTest, AFailedWriteLosesNoSetting) {
    std::vector<CResAccount> before;
    for (const char* name : {"one", "two", "three", "four", "five"})
        before.push_back(Named(QString::fromLatin1(name)));
    std::vector<CResAccount> after = before;
    after.erase(after.begin()); // the first deleted: every later one moves down a file
    after[1].ReductionWidth = 111;
    after.push_back(Named(QStringLiteral("six")));
    for (int failing = 0; failing <= static_cast<int>(after.size()); ++failing) {
        SaveResponseSettingFiles(Options(), before);
        WriteOption(QStringLiteral("stray.csp"), CspText(QStringLiteral("stray")));
        int writes = 0;
        SetSaveTextFileCheck([&](const QString&) { return writes++ < failing; });
        SaveResponseSettingFiles(Options(), after);
        SetSaveTextFileCheck({});

        int count = 0;
        bool isError = true;
        LoadResponseSettingFiles(Options(), count, isError);
        EXPECT_FALSE(isError);
        const QStringList loaded = Names(ResponseSettings);
        // Every setting that was on disk before is there, old or new ("six" never was).
        for (const CResAccount& kept : after)
            EXPECT_TRUE(kept.Name == QStringLiteral("six") || loaded.contains(kept.Name))
                << failing << " lost " << kept.Name.toStdString();
        if (failing < static_cast<int>(after.size())) {
            // Interrupted: the files not yet replaced stay, the stray file included.
            EXPECT_TRUE(loaded.contains(QStringLiteral("stray"))) << failing;
        } else {
            EXPECT_EQ(loaded, Names(after));
            EXPECT_EQ(ResponseSettings[1].ReductionWidth, 111);
        }
    }
}
