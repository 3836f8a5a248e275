// The mapping store against the fake registry: the calls it makes and what
// it returns or raises.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/raised_error.h"
#include "fake/fake_platform.h"
#include "unit/param_label.h"
#include "mapping_store/mapping_store.h"
#include "platform/win32_values.h"

namespace velistra::testing {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kAbsolutePath = "\\Software\\Tarnhollow\\Velistra\\Mappings";

class MappingStoreTest : public ::testing::Test {
 protected:
  // An open store over the mapping key with these values.
  MappingStore& OpenWith(const std::vector<FakeValue>& values) {
    fake_.SetMappings(values);
    EXPECT_TRUE(store_.Open(kAbsolutePath));
    return store_;
  }

  FakePlatform fake_;
  MappingStore store_{fake_, win32::kKeyRead};
};

TEST_F(MappingStoreTest, OpenHandsTheRegistryThePathWithoutItsBackslashForReading) {
  fake_.SetMappings({});

  ASSERT_TRUE(store_.Open(kAbsolutePath));

  const std::vector<Call> opens = fake_.CallsOf(CallKind::kOpenKey);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].key, kCurrentUserKey);
  EXPECT_EQ(opens[0].text, kMappingsKey);
  EXPECT_EQ(opens[0].options, 0u);
  EXPECT_EQ(opens[0].number, 0x20019u);
  EXPECT_TRUE(store_.is_open());
  EXPECT_EQ(store_.current_path(), kMappingsKey);
}

TEST_F(MappingStoreTest, OpenFailsQuietlyAndLeavesTheStoreAsItWas) {
  fake_.AddKey("Software\\Other");
  ASSERT_TRUE(store_.Open("\\Software\\Other"));

  fake_.DenyAccess(kMappingsKey);
  EXPECT_FALSE(store_.Open(kAbsolutePath));
  EXPECT_FALSE(store_.Open("\\Software\\Missing"));

  EXPECT_TRUE(store_.is_open());
  EXPECT_EQ(store_.current_path(), "Software\\Other");
  EXPECT_THAT(fake_.CallsOf(CallKind::kCloseKey), IsEmpty());
}

TEST_F(MappingStoreTest, OpenClosesTheEarlierKeyOnlyAfterTheNewOneIsOpen) {
  fake_.AddKey("Software\\Other");
  fake_.SetMappings({});
  ASSERT_TRUE(store_.Open("\\Software\\Other"));
  ASSERT_TRUE(store_.Open(kAbsolutePath));

  const std::vector<Call>& calls = fake_.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].kind, CallKind::kOpenKey);
  EXPECT_EQ(calls[2].kind, CallKind::kCloseKey);
  EXPECT_EQ(fake_.OpenHandleCount(), 1u);
  EXPECT_EQ(store_.current_path(), kMappingsKey);
}

TEST_F(MappingStoreTest, RelativePathsOpenBelowTheCurrentKey) {
  fake_.AddKey("Software\\Tarnhollow");
  fake_.SetMappings({});
  ASSERT_TRUE(store_.Open("\\Software\\Tarnhollow"));
  const RegKey parent = fake_.CallsOf(CallKind::kOpenKey)[0].key;
  ASSERT_TRUE(store_.Open("Velistra\\Mappings"));

  const Call relative = fake_.CallsOf(CallKind::kOpenKey)[1];
  EXPECT_NE(relative.key, parent);  // the open Tarnhollow key, not the root
  EXPECT_EQ(relative.text, "Velistra\\Mappings");
  EXPECT_EQ(store_.current_path(), kMappingsKey);
}

TEST_F(MappingStoreTest, CloseClosesOnceAndTheStoreClosesWhatIsLeftOpen) {
  fake_.SetMappings({});
  {
    MappingStore store(fake_, win32::kKeyRead);
    store.Close();  // nothing open: no call
    ASSERT_TRUE(store.Open(kAbsolutePath));
    store.Close();
    store.Close();
    EXPECT_FALSE(store.is_open());
    EXPECT_EQ(store.current_path(), "");
    ASSERT_TRUE(store.Open(kAbsolutePath));
  }
  EXPECT_EQ(fake_.CallsOf(CallKind::kCloseKey).size(), 2u);
  EXPECT_EQ(fake_.OpenHandleCount(), 0u);
  EXPECT_EQ(fake_.BadCloseCount(), 0u);
}

TEST_F(MappingStoreTest, SettingTheSameRootChangesNothingAndAnotherClosesTheKey) {
  fake_.SetMappings({});
  ASSERT_TRUE(store_.Open(kAbsolutePath));

  store_.SetRootKey(kCurrentUserKey);
  EXPECT_TRUE(store_.is_open());

  store_.SetRootKey(0x80000002u);
  EXPECT_FALSE(store_.is_open());
  EXPECT_EQ(fake_.CallsOf(CallKind::kCloseKey).size(), 1u);
}

TEST_F(MappingStoreTest, ListingQueriesOnceThenEnumeratesEveryIndexWithOneBufferLength) {
  OpenWith({{"P:", win32::kRegSz, Sz("D:\\A")},
            {"Longer name", win32::kRegSz, Sz("x")},
            {"", win32::kRegSz, Sz("default")}});
  NameList names = {"stale entry"};

  store_.ListValueNames(names);

  EXPECT_THAT(names, ElementsAre("P:", "Longer name", ""));
  EXPECT_EQ(fake_.CallsOf(CallKind::kQueryInfoKey).size(), 1u);
  const std::vector<Call> enums = fake_.CallsOf(CallKind::kEnumValueName);
  ASSERT_EQ(enums.size(), 3u);
  for (std::uint32_t i = 0; i < enums.size(); ++i) {
    EXPECT_EQ(enums[i].number, i);
    EXPECT_EQ(enums[i].length_in, std::string("Longer name").size() + 1);
  }
  EXPECT_THAT(fake_.CallsOf(CallKind::kQueryValue), IsEmpty());
}

TEST_F(MappingStoreTest, ListingKeepsIndexOrderUnsorted) {
  OpenWith({{"Z:", win32::kRegSz, Sz("z")}, {"A:", win32::kRegSz, Sz("a")},
            {"M:", win32::kRegSz, Sz("m")}});
  NameList names;
  store_.ListValueNames(names);
  EXPECT_THAT(names, ElementsAre("Z:", "A:", "M:"));
}

TEST_F(MappingStoreTest, AnEmptyKeyOrAFailedKeyQueryListsNothing) {
  OpenWith({});
  NameList names = {"stale"};
  store_.ListValueNames(names);
  EXPECT_THAT(names, IsEmpty());

  fake_.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});
  fake_.query_info_failure = win32::kErrorAccessDenied;
  names = {"stale"};
  store_.ListValueNames(names);
  EXPECT_THAT(names, IsEmpty());
  EXPECT_THAT(fake_.CallsOf(CallKind::kEnumValueName), IsEmpty());
}

TEST_F(MappingStoreTest, AFailedIndexListsAnEmptyNameNotTheOneBeforeIt) {
  OpenWith({{"P:", win32::kRegSz, Sz("D:\\A")},
            {"Q:", win32::kRegSz, Sz("D:\\B")},
            {"R:", win32::kRegSz, Sz("D:\\C")}});
  // The failing call leaves "P:" in the buffer.
  fake_.enum_failures[1] = win32::kErrorMoreData;

  NameList names;
  store_.ListValueNames(names);

  EXPECT_THAT(names, ElementsAre("P:", "", "R:"));
}

TEST_F(MappingStoreTest, ValuesDeletedDuringTheListingLeaveEmptyNames) {
  OpenWith({{"P:", win32::kRegSz, Sz("D:\\A")}, {"Q:", win32::kRegSz, Sz("D:\\B")}});
  fake_.after_call = [this](const Call& call) {
    if (call.kind == CallKind::kQueryInfoKey) fake_.DeleteValue(kMappingsKey, "P:");
  };

  NameList names;
  store_.ListValueNames(names);

  // Index 0 is now Q:, index 1 is past the end.
  EXPECT_THAT(names, ElementsAre("Q:", ""));
  EXPECT_EQ(fake_.CallsOf(CallKind::kEnumValueName)[1].status, win32::kErrorNoMoreItems);
}

// A name of four bytes that the registry counts as two characters.
const FakeValue kDoubleByteName{"\x93\xfa\x96\x7b", win32::kRegSz, Sz("D:\\A"), 2};

struct LocaleCase {
  ThreadLocaleInfo locale;
  std::uint32_t buffer_length;
  std::string listed;
};

class FarEastListingTest : public MappingStoreTest,
                           public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(FarEastListingTest, DoublesTheNameBufferForFarEasternLocales) {
  OpenWith({kDoubleByteName});
  fake_.thread_locale = GetParam().locale;

  NameList names;
  store_.ListValueNames(names);

  const std::vector<Call> enums = fake_.CallsOf(CallKind::kEnumValueName);
  ASSERT_EQ(enums.size(), 1u);
  EXPECT_EQ(enums[0].length_in, GetParam().buffer_length);
  EXPECT_THAT(names, ElementsAre(GetParam().listed));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, FarEastListingTest,
    ::testing::Values(
        // Japanese with code page 932: room for two bytes per character.
        LocaleCase{{0x11, true}, 5, kDoubleByteName.name},
        // English: the buffer is too small and the name is not listed.
        LocaleCase{{win32::kLangEnglish, false}, 3, ""},
        LocaleCase{{win32::kLangGerman, true}, 3, ""}));

struct ReadCase {
  std::string label;
  std::uint32_t type;
  std::string data;
  std::string expected;  // the text read, or the message raised
  bool raises;
};

class ReadTextTest : public MappingStoreTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTextTest, AppliesTheTypeTable) {
  const ReadCase& c = GetParam();
  OpenWith({{"P:", c.type, c.data}});

  if (c.raises) {
    try {
      store_.ReadText("P:");
      ADD_FAILURE() << "no error raised";
    } catch (const ERegistryException& error) {
      EXPECT_EQ(error.Message(), c.expected);
      EXPECT_EQ(error.ClassName(), "ERegistryException");
    }
    // An error leaves the key open for the caller to close.
    EXPECT_TRUE(store_.is_open());
  } else {
    EXPECT_EQ(store_.ReadText("P:"), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Types, ReadTextTest,
    ::testing::Values(
        ReadCase{"Sz", win32::kRegSz, Sz("D:\\Projects\\Current"), "D:\\Projects\\Current", false},
        ReadCase{"SzOnlyNul", win32::kRegSz, "\0"s, "", false},
        ReadCase{"SzEmbeddedNul", win32::kRegSz, "D:\\A\0more\0"s, "D:\\A", false},
        ReadCase{"SzWithoutTerminator", win32::kRegSz, "D:\\B", "D:\\B", false},
        ReadCase{"SzNoData", win32::kRegSz, "", "", false},
        ReadCase{"SzKeepsBlanks", win32::kRegSz, Sz("  D:\\A\t"), "  D:\\A\t", false},
        ReadCase{"ExpandSzIsLiteral", win32::kRegExpandSz, Sz("%USERPROFILE%\\Work"),
                 "%USERPROFILE%\\Work", false},
        ReadCase{"BinaryNoData", win32::kRegBinary, "", "", false},
        ReadCase{"DwordNoData", win32::kRegDword, "", "", false},
        ReadCase{"Dword", win32::kRegDword, "\x04\0\0\0"s, "Invalid data type for 'P:'", true},
        ReadCase{"Binary", win32::kRegBinary, "D:\\A", "Invalid data type for 'P:'", true},
        ReadCase{"None", win32::kRegNone, Sz("D:\\A"), "Invalid data type for 'P:'", true},
        ReadCase{"MultiSz", win32::kRegMultiSz, "D:\\A\0\0"s, "Invalid data type for 'P:'",
                 true},
        ReadCase{"Qword", win32::kRegQword, std::string(8, '\1'), "Invalid data type for 'P:'",
                 true},
        ReadCase{"UnknownType", 0x1234, "x", "Invalid data type for 'P:'", true}),
    ByLabel());

TEST_F(MappingStoreTest, EveryNonStringTypeWithDataRaises) {
  for (std::uint32_t type = 0; type <= 11; ++type) {
    if (type == win32::kRegSz || type == win32::kRegExpandSz) continue;
    OpenWith({{"Q:", type, "data"}});
    EXPECT_THROW(store_.ReadText("Q:"), ERegistryException) << "type " << type;
  }
}

TEST_F(MappingStoreTest, ReadAsksTheSizeWithoutABufferThenTheDataWithThatSize) {
  OpenWith({{"P:", win32::kRegSz, Sz("D:\\Work")}});

  EXPECT_EQ(store_.ReadText("P:"), "D:\\Work");

  const std::vector<Call> queries = fake_.CallsOf(CallKind::kQueryValue);
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].text, "P:");
  EXPECT_FALSE(queries[0].with_buffer);
  EXPECT_EQ(queries[1].text, "P:");
  EXPECT_TRUE(queries[1].with_buffer);
  EXPECT_EQ(queries[1].length_in, Sz("D:\\Work").size());
}

TEST_F(MappingStoreTest, OnlyTheBytesTheDataQueryWroteAreText) {
  fake_.size_query_overstates = true;
  for (const std::string& stored : {"D:\\B"s, Sz("D:\\B"), "D:\\B\0tail"s}) {
    OpenWith({{"P:", win32::kRegSz, stored}});
    EXPECT_EQ(store_.ReadText("P:"), "D:\\B") << "stored: " << stored;
  }
}

TEST_F(MappingStoreTest, AMissingValueReadsAsEmptyText) {
  OpenWith({});
  EXPECT_EQ(store_.ReadText("P:"), "");
  EXPECT_EQ(fake_.CallsOf(CallKind::kQueryValue).size(), 1u);
  EXPECT_THAT(fake_.CallsOf(CallKind::kConsultFilter), IsEmpty());
}

// The value changes between the size query and the data query.
struct ChangeCase {
  std::string label;
  std::function<void(FakePlatform&)> change;
  std::string expected;
  bool raises;
};

class ChangeBetweenQueriesTest : public MappingStoreTest,
                                 public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeBetweenQueriesTest, FollowsWhatTheDataQueryFinds) {
  OpenWith({{"P:", win32::kRegSz, Sz("D:\\Original\\Folder")}});
  fake_.after_call = [this](const Call& call) {
    if (call.kind == CallKind::kQueryValue && !call.with_buffer) GetParam().change(fake_);
  };

  if (GetParam().raises) {
    try {
      store_.ReadText("P:");
      ADD_FAILURE() << "no error raised";
    } catch (const ERegistryException& error) {
      EXPECT_EQ(error.Message(), GetParam().expected);
    }
  } else {
    EXPECT_EQ(store_.ReadText("P:"), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangeBetweenQueriesTest,
    ::testing::Values(
        ChangeCase{"Vanished",
                   [](FakePlatform& f) { f.DeleteValue(kMappingsKey, "P:"); },
                   "Failed to get data for 'P:'", true},
        ChangeCase{"Grew",
                   [](FakePlatform& f) {
                     f.SetValue(kMappingsKey, {"P:", win32::kRegSz, Sz(std::string(300, 'x'))});
                   },
                   "Failed to get data for 'P:'", true},
        // Only what the data query wrote is text, even without a terminator.
        ChangeCase{"ShrankWithoutTerminator",
                   [](FakePlatform& f) { f.SetValue(kMappingsKey, {"P:", win32::kRegSz, "E:\\X"}); },
                   "E:\\X", false},
        ChangeCase{"BecameDword",
                   [](FakePlatform& f) {
                     f.SetValue(kMappingsKey, {"P:", win32::kRegDword, "\1\0\0\0"s});
                   },
                   "Invalid data type for 'P:'", true}),
    ByLabel());

}  // namespace
}  // namespace velistra::testing
