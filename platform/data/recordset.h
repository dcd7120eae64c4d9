// Recordset: a set of rows read by a statement (or fabricated from appended fields), with a
// current row, edits, and writing back, as the row-set platform offers them.
//
// Every row set holds its rows in memory once opened (MaxRecords limits how many are read).
// A row set over one table, opened with a lock type other than read-only, fetches the table's
// key (SQLite rowid, PostgreSQL primary key) as hidden columns: writes identify exactly the
// rows that were read by that key, never by comparing other values.
//
// States and transitions (the function behind each):
//
//   closed --Open/OpenResult--> open, at the first row (BOF and EOF when empty)
//   open --Field.Value= / Update(f, v)--> editing (EditMode 1) --Update--> open
//   open --AddNew--> adding (EditMode 2) --Update--> open, on the new row
//   editing/adding --CancelUpdate--> open (adding returns to the row current before AddNew)
//   open --Close--> closed          (pending edits are dropped)
//   closed --Open(file path, no connection)--> open, from a saved XML file
//   open --Save(path, 1)--> open    (the file holds the rows and their pending changes)
//
// Lock type optimistic (3): Update writes the row at once (INSERT ... RETURNING reads the new
// identity back into the row). Batch optimistic (4): Update only marks the row; EditMode keeps
// showing the change until UpdateBatch writes every pending row in one database transaction,
// or CancelBatch drops them all. A write that finds no row with the key and the original values
// fails with 0x80040E38 and changes nothing. Fabricated row sets accept UpdateBatch in memory.
// Detaching (ActiveConnection = Nothing) keeps the rows; re-attaching allows UpdateBatch again.
//
// Errors: 3704 closed, 3705 open (settings only while closed), 3021 no current row (BOF/EOF),
// 3265 unknown field, 3251 read-only row set, 3001 bad argument. One thread at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/automation/object.h"
#include "platform/data/ado_constants.h"
#include "platform/data/database_session.h"

namespace quorvan::data {

class Connection;

class Recordset : public Object {
 public:
  static std::shared_ptr<Recordset> Create();
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  // --- automation members ---
  Variant ActiveConnection() const;
  void SetActiveConnection(const Variant& connection);
  int32_t CursorType() const { return cursor_type_; }
  void SetCursorType(int32_t type);
  int32_t LockType() const { return lock_type_; }
  void SetLockType(int32_t type);
  int32_t CursorLocation() const { return cursor_location_; }
  void SetCursorLocation(int32_t location);
  int32_t MaxRecords() const { return max_records_; }
  void SetMaxRecords(int32_t count);
  std::string Source() const { return source_; }
  int32_t State() const { return open_ ? kStateOpen : kStateClosed; }
  bool AtEnd() const;    // published as EOF
  bool AtStart() const;  // published as BOF
  int32_t RecordCount() const;
  int32_t EditMode() const;
  ObjectPtr Fields();

  void Open(const Variant& source, const Variant& active_connection, const Variant& cursor_type,
            const Variant& lock_type, const Variant& options);
  void Close();
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  void AddNew(const Variant& field_list, const Variant& values);
  void Update(const Variant& field_list, const Variant& values);
  void CancelUpdate();
  void UpdateBatch(const Variant& affect_records);
  void CancelBatch(const Variant& affect_records);
  void Delete(const Variant& affect_records);
  void Find(const std::string& criteria, int32_t skip_records, int32_t search_direction,
            const Variant& start);
  // Saves the rows, pending changes included, to a file in the XML persistence format
  // (PersistFormat 1); the file is replaced whole. Format 0 (binary) is not supported.
  void Save(const Variant& destination, const Variant& persist_format);

  // --- C++ access ---
  void OpenResult(ResultSet result, std::shared_ptr<Connection> connection, std::string source);
  size_t FieldCount() const;
  const ColumnInfo& Column(size_t index) const;
  int32_t FieldAttributes(size_t index) const;
  // Index of a visible field by name (ignoring case) or ordinal; error 3265 when unknown.
  size_t FieldIndex(const Variant& name_or_ordinal) const;
  Variant Value(const Variant& field) const;  // of the current row
  Variant Value(size_t index) const;
  Variant OriginalValue(size_t index) const;
  void SetValue(size_t index, const Variant& value);
  void SetValue(const Variant& field, const Variant& value) { SetValue(FieldIndex(field), value); }
  void AppendField(const std::string& name, int32_t type, int32_t defined_size, int32_t attributes);
  // Every row's visible values in order (deleted rows left out), whatever the position.
  std::vector<std::vector<Variant>> AllRows() const;
  // The XML persistence format (recordset_xml.cc): text of the whole file, and reading a file
  // into this closed row set (it opens as a client-side, batch-optimistic, static row set).
  std::string ToXml() const;
  void OpenXmlFile(const std::string& path);

 private:
  enum class RowStatus { kUnchanged, kModified, kNew, kDeleted };
  struct Row {
    std::vector<Variant> values;    // visible columns
    std::vector<Variant> original;  // as read; empty for a new row
    std::vector<Variant> key;       // hidden key columns
    RowStatus status = RowStatus::kUnchanged;
  };

  Recordset() = default;
  void RequireOpen() const;
  void RequireClosed() const;
  Row& CurrentRow();
  const Row& CurrentRow() const;
  bool Updatable() const;
  bool BatchMode() const { return lock_type_ == kLockBatchOptimistic; }
  void BeginEdit();
  void FinishEdit();       // Update of the row being edited or added
  void DropPendingEdit();  // CancelUpdate
  void WriteRow(Row& row);
  void AssignFields(const Variant& field_list, const Variant& values);
  void Reset();

  bool open_ = false;
  int32_t cursor_type_ = kOpenForwardOnly;
  int32_t lock_type_ = kLockReadOnly;
  int32_t cursor_location_ = kUseServer;
  int32_t max_records_ = 0;
  std::string source_;
  std::shared_ptr<Connection> connection_;

  std::vector<ColumnInfo> columns_;
  std::vector<int32_t> attributes_;
  std::string table_;                     // empty: not writable to a database
  std::vector<std::string> key_columns_;  // hidden, in the order of Row::key
  bool fabricated_ = false;
  std::vector<Row> rows_;
  int64_t position_ = 0;  // -1 BOF, rows_.size() EOF

  int32_t edit_mode_ = kEditNone;  // of the current edit (immediate mode)
  int64_t editing_row_ = -1;
  std::vector<Variant> edit_snapshot_;  // values before the edit began
  int64_t position_before_add_ = -1;
  ObjectPtr fields_;  // cached Fields collection
};

}  // namespace quorvan::data
