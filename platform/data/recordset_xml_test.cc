// Row sets saved to and opened from files in the XML persistence format.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/automation/automation_date.h"
#include "platform/data/ado_constants.h"
#include "platform/data/recordset.h"
#include "platform/files/file_system.h"
#include "tests/support/error_capture.h"

namespace quorvan::data {
namespace {

class RecordsetXmlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvan-xml-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::shared_ptr<Recordset> Fabricated() {
    auto rows = Recordset::Create();
    rows->SetLockType(kLockBatchOptimistic);
    rows->SetCursorLocation(kUseClient);
    rows->AppendField("FIELDNAME", kTypeLongVarWChar, -1, kFieldKeyColumn);
    rows->AppendField("FIELDVALUE", kTypeLongVarWChar, -1, kFieldUpdatable);
    rows->Open(Variant(), Variant(), Variant(), Variant(), Variant());
    return rows;
  }
  std::shared_ptr<Recordset> Load(const std::string& path) {
    auto rows = Recordset::Create();
    rows->Open(Variant(path), Variant(), Variant(), Variant(), Variant());
    return rows;
  }

  std::string dir_;
};

TEST_F(RecordsetXmlTest, AnyPostedTextSurvivesASaveAndALoad) {
  const std::string texts[] = {
      "plain",
      "quotes ' and \" & <tag> >",
      "tab\there, CR\rLF\nCRLF\r\n end",
      std::string("nul\0 and \x01\x1F controls", 21),
      "emoji \xF0\x9F\x98\x80 and private \xEE\x80\x80 use",
      "  blanks kept  ",
      "",
  };
  auto rows = Fabricated();
  int i = 0;
  for (const std::string& text : texts) {
    rows->AddNew(Variant(), Variant());
    rows->SetValue(Variant("FIELDNAME"), Variant("F" + std::to_string(i++)));
    rows->SetValue(Variant("FIELDVALUE"), Variant(text));
  }
  rows->AddNew(Variant(), Variant());
  rows->SetValue(Variant("FIELDNAME"), Variant("NULLVALUE"));  // FIELDVALUE stays Null
  const std::string path = dir_ + "/cache.sca";
  rows->Save(Variant(path), Variant(1));
  auto loaded = Load(path);
  const auto all = loaded->AllRows();
  ASSERT_EQ(all.size(), std::size(texts) + 1);
  for (size_t k = 0; k < std::size(texts); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(all[k][1], Variant(texts[k]));
  }
  EXPECT_TRUE(all.back()[1].IsNull());
  EXPECT_EQ(loaded->EditMode(), kEditAdd);  // still pending inserts, as saved
  EXPECT_EQ(loaded->Column(0).type, kTypeLongVarWChar);
  EXPECT_EQ(loaded->FieldAttributes(0), kFieldKeyColumn);
  EXPECT_EQ(loaded->FieldAttributes(1), kFieldUpdatable);
  const std::string file = files::ReadWholeFile(path);
  EXPECT_EQ(file.rfind("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'", 0), 0u);
  EXPECT_NE(file.find("<s:datatype dt:type='string' dt:maxLength='4294967295' rs:long='true'/>"),
            std::string::npos);
  EXPECT_NE(file.find("<rs:insert>"), std::string::npos);
}

TEST_F(RecordsetXmlTest, ChangesOfALoadedFileAreSavedAsUpdates) {
  auto rows = Fabricated();
  rows->AddNew(Variant(), Variant());
  rows->SetValue(Variant("FIELDNAME"), Variant("A"));
  rows->SetValue(Variant("FIELDVALUE"), Variant("1"));
  rows->UpdateBatch(Variant());
  const std::string path = dir_ + "/c.sca";
  rows->Save(Variant(path), Variant(1));
  auto loaded = Load(path);
  loaded->SetValue(Variant("FIELDVALUE"), Variant("2"));
  loaded->Update(Variant(), Variant());
  loaded->Save(Variant(path), Variant());
  auto again = Load(path);
  EXPECT_EQ(again->Value(Variant("FIELDVALUE")), Variant("2"));
  EXPECT_EQ(again->OriginalValue(1), Variant("1"));
  EXPECT_EQ(again->EditMode(), kEditInProgress);
}

TEST_F(RecordsetXmlTest, ReadsTheOriginalLibrarysLayout) {
  const std::string path = dir_ + "/original.sca";
  std::ofstream(path, std::ios::binary)
      << "<?xml version=\"1.0\"?>\r\n"
         "<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\" "
         "xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\"\r\n"
         "  xmlns:rs=\"urn:schemas-microsoft-com:rowset\" xmlns:z=\"#RowsetSchema\">\r\n"
         "<s:Schema id=\"RowsetSchema\">\r\n"
         "\t<s:ElementType name=\"row\" content=\"eltOnly\" rs:updatable=\"true\">\r\n"
         "\t\t<s:AttributeType name=\"FIELDNAME\" rs:number=\"1\" rs:keycolumn=\"true\">\r\n"
         "\t\t\t<s:datatype dt:type=\"string\" dt:maxLength=\"4294967295\" rs:long=\"true\"/>\r\n"
         "\t\t</s:AttributeType>\r\n"
         "\t\t<s:AttributeType name=\"FIELDVALUE\" rs:number=\"2\" rs:write=\"true\">\r\n"
         "\t\t\t<s:datatype dt:type=\"string\" dt:maxLength=\"4294967295\" rs:long=\"true\"/>\r\n"
         "\t\t</s:AttributeType>\r\n"
         "\t\t<s:extends type=\"rs:rowbase\"/>\r\n"
         "\t</s:ElementType>\r\n"
         "</s:Schema>\r\n"
         "<rs:data>\r\n"
         "\t<rs:insert>\r\n"
         "\t\t<z:row FIELDNAME=\"TXT_A\" FIELDVALUE=\"a &amp; b\x01\"/>\r\n"
         "\t\t<z:row FIELDNAME=\"TXT_B\"/>\r\n"
         "\t</rs:insert>\r\n"
         "</rs:data>\r\n"
         "</xml>\r\n";
  auto rows = Load(path);
  const auto all = rows->AllRows();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0][1], Variant("a & b\x01"));
  EXPECT_TRUE(all[1][1].IsNull());
}

TEST_F(RecordsetXmlTest, DamagedFilesAreClearErrors) {
  const std::string path = dir_ + "/bad.sca";
  std::ofstream(path) << "<xml><unclosed>";
  EXPECT_EQ(quorvan::testing::ErrorNumberOf([&] { Load(path); }), data_error::kArgumentsWrongType);
  std::ofstream(path) << "<xml></xml>";
  EXPECT_EQ(quorvan::testing::ErrorNumberOf([&] { Load(path); }), data_error::kArgumentsWrongType);
}

}  // namespace
}  // namespace quorvan::data
