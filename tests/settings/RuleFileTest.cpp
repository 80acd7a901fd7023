#include "settings/RuleFile.h"

#include "tests/settings/SettingsFilesFixture.h"

namespace {
const QByteArray Header = "//\r\n// Received UIDL List\r\n//\r\n\r\n";
}

class RuleFileTest : public SettingsFilesFixture {
  protected:
    QString Path() const { return Options() + QStringLiteral("/main.rul"); }
};

TEST_F(RuleFileTest, CommentOnlyFileGivesAnAbsentListWrittenBackAsTheHeaderAlone) {
    WriteOption(QStringLiteral("main.rul"),
                QStringLiteral("//\r\n// Received UIDL List\r\n//\r\n\r\n  // old\r\n"));
    std::optional<QStringList> list = QStringList{QStringLiteral("stale")};
    ASSERT_TRUE(LoadRuleFile(Path(), list));
    EXPECT_FALSE(list.has_value());
    SaveRuleFile(Path(), list);
    EXPECT_EQ(ReadOption(QStringLiteral("main.rul")), Header);
}

TEST_F(RuleFileTest, IdentifiersKeepTheirSpacesAndOrderThroughALoadAndASave) {
    WriteOption(QStringLiteral("main.rul"),
                QStringLiteral("//\r\n\r\nz-last\r\n   \r\n  spaced id \r\n\ttabbed\r\na//b\r\n"
                               "// note\r\nuidl-2"));
    std::optional<QStringList> list;
    ASSERT_TRUE(LoadRuleFile(Path(), list));
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, (QStringList{QStringLiteral("z-last"), QStringLiteral("  spaced id "),
                                  QStringLiteral("\ttabbed"), QStringLiteral("a//b"),
                                  QStringLiteral("uidl-2")}));
    SaveRuleFile(Path(), list);
    EXPECT_EQ(ReadOption(QStringLiteral("main.rul")),
              Header + "z-last\r\n  spaced id \r\n\ttabbed\r\na//b\r\nuidl-2\r\n\r\n");
    std::optional<QStringList> again;
    ASSERT_TRUE(LoadRuleFile(Path(), again));
    EXPECT_EQ(again, list);
}

TEST_F(RuleFileTest, AbsentAndEmptyListsStayApartAndEmptyEntriesAreNotWritten) {
    SaveRuleFile(Path(), std::optional<QStringList>(QStringList{}));
    EXPECT_EQ(ReadOption(QStringLiteral("main.rul")), Header + "\r\n");
    SaveRuleFile(Path(), QStringList{QString(), QStringLiteral("a"), QString()});
    EXPECT_EQ(ReadOption(QStringLiteral("main.rul")), Header + "a\r\n\r\n");
}

TEST_F(RuleFileTest, MissingOrEmptyFileLeavesTheListAsItWas) {
    std::optional<QStringList> list = QStringList{QStringLiteral("kept")};
    EXPECT_FALSE(LoadRuleFile(Path(), list));
    WriteOption(QStringLiteral("main.rul"), QString());
    EXPECT_FALSE(LoadRuleFile(Path(), list));
    EXPECT_EQ(list, QStringList{QStringLiteral("kept")});
}
