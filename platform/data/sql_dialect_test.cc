#include "platform/data/sql_dialect.h"

#include <gtest/gtest.h>

#include "platform/automation/error_record.h"
#include "platform/data/ado_constants.h"

namespace quorvan::data {
namespace {

TEST(SqlDialectTest, RewritesTheComponentDialectAndNeverTouchesLiterals) {
  struct Case {
    const char* input;
    const char* sqlite;
    const char* postgres;
  };
  const Case cases[] = {
      {"SELECT TOP 1 A FROM T WHERE B=1", "SELECT A FROM T WHERE B=1 LIMIT 1",
       "SELECT A FROM T WHERE B=1 LIMIT 1"},
      {"select distinct top (5) a from t order by a", "select distinct a from t order by a LIMIT 5",
       "select distinct a from t order by a LIMIT 5"},
      {"SELECT 'TOP 5' FROM T", "SELECT 'TOP 5' FROM T", "SELECT 'TOP 5' FROM T"},
      {"INSERT ALERT(A,B) VALUES (1,'INSERT X(')", "INSERT INTO ALERT(A,B) VALUES (1,'INSERT X(')",
       "INSERT INTO ALERT(A,B) VALUES (1,'INSERT X(')"},
      {"INSERT INTO ATTACHMENT(A, B) (SELECT A, B FROM ATTACHMENT WHERE C=1)",
       "INSERT INTO ATTACHMENT(A, B) SELECT A, B FROM ATTACHMENT WHERE C=1",
       "INSERT INTO ATTACHMENT(A, B) SELECT A, B FROM ATTACHMENT WHERE C=1"},
      {"SET TRANSACTION ISOLATION LEVEL READ COMMITTED", "",
       "SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL READ COMMITTED"},
      {"DELETE FROM T WHERE A='x;y';", "DELETE FROM T WHERE A='x;y'",
       "DELETE FROM T WHERE A='x;y'"},
      {"SELECT A FROM T WHERE (USERID='a' OR USERID='b''c' OR userid = 'd') AND X = 1",
       "SELECT A FROM T WHERE (USERID IN ('a', 'b''c', 'd')) AND X = 1",
       "SELECT A FROM T WHERE (USERID IN ('a', 'b''c', 'd')) AND X = 1"},
      {"SELECT A FROM T WHERE (USERID='a' OR OTHER='b') AND (X=1 OR X=2 AND Y=3)",
       "SELECT A FROM T WHERE (USERID='a' OR OTHER='b') AND (X=1 OR X=2 AND Y=3)",
       "SELECT A FROM T WHERE (USERID='a' OR OTHER='b') AND (X=1 OR X=2 AND Y=3)"},
      {"UPDATE T SET A='it''s; DROP TABLE T' WHERE B=2",
       "UPDATE T SET A='it''s; DROP TABLE T' WHERE B=2",
       "UPDATE T SET A='it''s; DROP TABLE T' WHERE B=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(RewriteForProvider(c.input, Provider::kSQLite).sql, c.sqlite);
    EXPECT_EQ(RewriteForProvider(c.input, Provider::kPostgreSQL).sql, c.postgres);
  }
}

TEST(SqlDialectTest, RefusesASecondStatement) {
  using namespace std::string_literals;
  for (const std::string& text :
       {"DELETE FROM T; DROP TABLE T"s, "SELECT 1;;"s, "SELECT 1; -- x\n SELECT 2"s,
        "UPDATE T SET A='x'; DELETE FROM T"s, "DELETE FROM T WHERE A='x\0'; DROP TABLE T"s}) {
    SCOPED_TRACE(text);
    try {
      RewriteForProvider(text, Provider::kSQLite);
      ADD_FAILURE() << "accepted";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.record().number, data_error::kSyntaxError);
    }
  }
  EXPECT_EQ(RewriteForProvider("SELECT 1; -- trailing comment", Provider::kSQLite).sql,
            "SELECT 1 -- trailing comment");
}

TEST(SqlDialectTest, UpdatableTables) {
  EXPECT_EQ(UpdatableTableOf("SELECT * FROM ALERTSSUBSCRIPTION WHERE USERID = 'x'"),
            "ALERTSSUBSCRIPTION");
  EXPECT_EQ(UpdatableTableOf("SELECT A, B FROM T ORDER BY A"), "T");
  EXPECT_EQ(UpdatableTableOf("SELECT A FROM T LIMIT 1"), "T");
  EXPECT_FALSE(UpdatableTableOf("SELECT ALERT.A FROM ALERT,ALERTSSUBSCRIPTION WHERE 1=1"));
  EXPECT_FALSE(UpdatableTableOf("SELECT COUNT(A) FROM T"));
  EXPECT_FALSE(UpdatableTableOf("SELECT DISTINCT A FROM T"));
  EXPECT_FALSE(UpdatableTableOf("SELECT A FROM T GROUP BY A"));
  EXPECT_EQ(AddSelectColumns("SELECT A FROM T WHERE B=(SELECT 1 FROM U)", {"rowid AS QVKEY0"}),
            "SELECT A , rowid AS QVKEY0 FROM T WHERE B=(SELECT 1 FROM U)");
}

}  // namespace
}  // namespace quorvan::data
